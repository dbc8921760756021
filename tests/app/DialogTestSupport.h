// Support for tests of our modal dialogs on the X display: a script run inside the modal
// loop, finding the open dialog, and screenshots grabbed from the display itself (the
// dialogs hold native controls, which only the X server has drawn).
#pragma once

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "app/WxImage.h"
#include "tests/app/WxTestSupport.h"

namespace wxtest {

// The first shown top-level window of type T.
template <typename T>
T* FindShown() {
    for (wxWindow* w : wxTopLevelWindows) {
        if (auto* t = dynamic_cast<T*>(w); t && t->IsShown())
            return t;
    }
    return nullptr;
}

// Runs `script` from the event loop once the next modal loop has started.
inline void RunInsideModal(std::function<void()> script) {
    wxTheApp->CallAfter([script = std::move(script)] {
        for (int i = 0; i < 5; ++i)
            Flush();
        PlacedModal();
        script();
    });
}

// Several rounds of event processing, for input that travels through the X server.
inline void Settle(int rounds = 5) {
    for (int i = 0; i < rounds; ++i) {
        wxMilliSleep(10);
        Flush();
    }
}

// What the display shows of the window's client area.
inline Image32 GrabFromDisplay(wxWindow* window) {
    // GTK paints on its frame clock: give a newly shown window time to reach the server;
    // the pointer coming onto it wakes the clock when the display has been idle. It stays
    // there: without a window manager the keyboard follows the pointer.
    window->Refresh();
    wxUIActionSimulator sim;
    sim.MouseMove(window->GetScreenRect().GetTopLeft() + wxPoint(2, 2));
    Settle(30);
    window->Update();
    Settle(5);
    const wxSize size = window->GetClientSize();
    const wxPoint at = window->ClientToScreen(wxPoint(0, 0));
    wxBitmap bitmap(size.x, size.y, 24);
    wxMemoryDC mem(bitmap);
    wxScreenDC screen;
    mem.Blit(0, 0, size.x, size.y, &screen, at.x, at.y);
    mem.SelectObject(wxNullBitmap);
    return FromWxImage(bitmap.ConvertToImage());
}

// Writes what the display shows of the window as artifacts/<name>.png, read from the X server
// by ImageMagick's import (wx's screen DC can hand back an older picture of the screen);
// falls back to GrabFromDisplay without it. Returns the path.
inline std::string SaveDisplayArtifact(wxWindow* window, const std::string& name) {
    const Image32 grabbed = GrabFromDisplay(window);  // also lets the window paint
    const std::string path = SaveArtifact(grabbed, name);
    const wxSize size = window->GetClientSize();
    const wxPoint at = window->ClientToScreen(wxPoint(0, 0));
    const std::string command = "import -window root -crop " + std::to_string(size.x) + "x" +
                                std::to_string(size.y) + "+" + std::to_string(at.x) + "+" +
                                std::to_string(at.y) + " +repage " + path + " 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        SaveArtifact(grabbed, name);
    return path;
}

}  // namespace wxtest
