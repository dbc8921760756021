#include "app/WxUiDispatcher.h"

#include <wx/app.h>
#include <wx/thread.h>

void WxUiDispatcher::Post(std::function<void()> work) {
    // CallAfter queues a thread-safe event on the application object.
    if (wxTheApp)
        wxTheApp->CallAfter(std::move(work));
}

void WxUiDispatcher::Pump() {
    if (!wxTheApp || !wxThread::IsMain())
        return;
    // A full yield, even inside another one: a long operation that waits, pumping, from a
    // handler that an outer pump runs must still see input, paints and timers. wx counts
    // the yield levels, GLib never dispatches a source (a timer) inside its own dispatch,
    // and posted work is taken off its queue in order before it runs, so nothing runs twice
    // or out of turn. "Only if needed" would run the posted work alone there.
    wxTheApp->Yield(false);
}

namespace {
WxUiDispatcher g_dispatcher;
}

void InstallWxUiDispatcher() {
    platform::SetUiDispatcher(&g_dispatcher);
}
void UninstallWxUiDispatcher() {
    platform::SetUiDispatcher(nullptr);
}
