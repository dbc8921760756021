// Support for the export window tests: a script run inside the next modal loop, the shown
// dialog of a type, button clicks as the button's own event, and screenshots read from the
// X server (the dialogs hold native controls only the server has drawn).
#pragma once

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/toplevel.h>

#include <functional>
#include <string>

#include "app/WxImage.h"
#include "tests/app/WxTestSupport.h"

namespace exportuitest {

template <typename T>
T* FindShown() {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* t = dynamic_cast<T*>(w); t && t->IsShown())
            return t;
    return nullptr;
}

inline void Settle(int rounds = 5) {
    for (int i = 0; i < rounds; ++i) {
        wxMilliSleep(10);
        wxtest::Flush();
    }
}

// Runs `script` from the event loop once the next modal loop has started.
inline void RunInsideModal(std::function<void()> script) {
    wxTheApp->CallAfter([script = std::move(script)] {
        Settle(3);
        wxtest::PlacedModal();
        script();
    });
}

inline void Click(wxButton* button) {
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
}

// What the display shows of the window's client area, written as artifacts/<name>.png.
inline std::string SaveDisplayArtifact(wxWindow* window, const std::string& name) {
    window->Refresh();
    window->Update();
    Settle(30);
    const wxSize size = window->GetClientSize();
    const wxPoint at = window->ClientToScreen(wxPoint(0, 0));
    wxBitmap bitmap(size.x, size.y, 24);
    {
        wxMemoryDC mem(bitmap);
        wxScreenDC screen;
        mem.Blit(0, 0, size.x, size.y, &screen, at.x, at.y);
    }
    return wxtest::SaveArtifact(FromWxImage(bitmap.ConvertToImage()), name);
}

// The whole display (GTK's own dialogs have no wx window), written as artifacts/<name>.png.
inline std::string SaveScreenArtifact(const std::string& name) {
    const wxSize size = wxGetDisplaySize();
    wxBitmap bitmap(size.x, size.y, 24);
    {
        wxMemoryDC mem(bitmap);
        wxScreenDC screen;
        mem.Blit(0, 0, size.x, size.y, &screen, 0, 0);
    }
    return wxtest::SaveArtifact(FromWxImage(bitmap.ConvertToImage()), name);
}

}  // namespace exportuitest
