#include "app/WxUiDispatcher.h"

#include <wx/app.h>

void WxUiDispatcher::Post(std::function<void()> work) {
    // CallAfter queues a thread-safe event on the application object.
    if (wxTheApp)
        wxTheApp->CallAfter(std::move(work));
}

void WxUiDispatcher::Pump() {
    if (!wxTheApp)
        return;
    // Yield runs what the windowing system has waiting and then the posted events; when a
    // yield is already running further up the stack, only the posted events are run.
    if (!wxTheApp->Yield(true))
        wxTheApp->ProcessPendingEvents();
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
