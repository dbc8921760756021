#include "tests/app/WxTestSupport.h"

#include <dlfcn.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/toplevel.h>

#include "app/CameraPreviewWindow.h"
#include "app/DrawnControl.h"
#include "app/MainViewWindow.h"
#include "app/PictureWindow.h"
#include "app/ThumbnailListBox.h"
#include "app/WxImage.h"
#include "platform/FileSystem.h"
#include "platform/draw/Blit.h"
#include "platform/draw/Raster.h"

namespace wxtest {

namespace {

class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static char arg0[] = "window_tests";
        static char* argv[] = {arg0, nullptr};
        int argc = 1;
        wxApp::SetInstance(new wxApp);
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display: run under xvfb-run";
        wxTheApp->CallOnInit();
        wxInitAllImageHandlers();
    }
    void TearDown() override {
        Flush();
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
};

[[maybe_unused]] const auto* const g_env = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

void ComposeInto(wxWindow* window, Image32& out, wxPoint origin) {
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel())
            continue;
        const wxPoint at = origin + child->GetPosition();
        Image32 pixels;
        if (auto* drawn = dynamic_cast<CDrawnControl*>(child)) {
            pixels = drawn->Render();
        } else if (auto* preview = dynamic_cast<CCameraPreviewWindow*>(child)) {
            pixels = preview->Render();
        } else if (auto* list = dynamic_cast<CThumbnailListBox*>(child)) {
            pixels = list->Render();
        } else if (auto* view = dynamic_cast<CPictureWindow*>(child)) {
            pixels = view->Render();
        } else if (auto* mainView = dynamic_cast<CMainViewWindow*>(child);
                   mainView && mainView->Render().width()) {
            pixels = mainView->Render();
        } else {
            const wxColour bg = child->GetBackgroundColour();
            const wxSize s = child->GetSize();
            draw::FillRect(out, draw::RectOfSize(at.x, at.y, s.x, s.y),
                           MakePixel(bg.Red(), bg.Green(), bg.Blue()));
            ComposeInto(child, out, at);
            continue;
        }
        draw::CopyRect(pixels, {0, 0, pixels.width(), pixels.height()}, out, {at.x, at.y});
    }
}

}  // namespace

// A round trip to the X server on GDK's connection: what the server has done before it
// (input a test sent, a window manager's moves) has reached our event queue when it returns.
static void SyncWithDisplay() {
    using DefaultDisplay = void* (*)();
    using Sync = void (*)(void*);
    static const auto display =
        reinterpret_cast<DefaultDisplay>(dlsym(RTLD_DEFAULT, "gdk_display_get_default"));
    static const auto sync = reinterpret_cast<Sync>(dlsym(RTLD_DEFAULT, "gdk_display_sync"));
    if (void* d = display && sync ? display() : nullptr)
        sync(d);
}

void Flush() {
    SyncWithDisplay();
    for (int i = 0; i < 20; ++i) {
        wxTheApp->Yield(true);
        if (!wxTheApp->HasPendingEvents())
            break;
    }
}

::testing::AssertionResult PumpUntil(const std::function<bool()>& done, const std::string& what,
                                     std::chrono::milliseconds timeout) {
    return testsupport::WaitUntil(done, what, timeout, [] {
        wxMilliSleep(2);
        Flush();
    });
}

bool WindowManagerRuns() {
    // GDK asks the display for the window manager's check window (GDK is loaded through wx;
    // window tests run on X11).
    using DefaultScreen = void* (*)();
    using ManagerName = const char* (*)(void*);
    static const auto screen = reinterpret_cast<DefaultScreen>(dlsym(RTLD_DEFAULT, "gdk_screen_get_default"));
    static const auto name =
        reinterpret_cast<ManagerName>(dlsym(RTLD_DEFAULT, "gdk_x11_screen_get_window_manager_name"));
    void* s = screen ? screen() : nullptr;
    const char* wm = s && name ? name(s) : nullptr;
    return wm && std::string(wm) != "unknown";
}

::testing::AssertionResult WaitUntilPlaced(wxTopLevelWindow* window) {
    if (auto shown = PumpUntil([window] { return window->IsShownOnScreen(); }, "the window mapped"); !shown)
        return shown;
    if (!WindowManagerRuns())
        return ::testing::AssertionSuccess();
    // The window manager maps a new window where it places it and then gives it the focus; a
    // move it still makes shows in the window's origin on the display.
    if (auto active =
            PumpUntil([window] { return window->IsActive(); }, "the window manager to focus the window");
        !active)
        return active;
    wxPoint last = window->ClientToScreen(wxPoint(0, 0));
    int same = 0;
    return PumpUntil(
        [&] {
            const wxPoint now = window->ClientToScreen(wxPoint(0, 0));
            same = now == last ? same + 1 : 0;
            last = now;
            return same >= 25;
        },
        "the window to stay where the window manager put it");
}

wxDialog* PlacedModal() {
    wxDialog* found = nullptr;
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (dialog && dialog->IsModal() && dialog->IsShown())
            found = dialog;
    }
    if (found) {
        EXPECT_TRUE(WaitUntilPlaced(found));
    }
    return found;
}

Image32 ComposeWindow(wxWindow* window) {
    const wxSize s = window->GetClientSize();
    const wxColour bg = window->GetBackgroundColour();
    Image32 out(s.x, s.y, MakePixel(bg.Red(), bg.Green(), bg.Blue()));
    ComposeInto(window, out, {0, 0});
    return out;
}

std::string SaveArtifact(const Image32& image, const std::string& name) {
    platform::CreateDirectories("artifacts");
    const std::string path = "artifacts/" + name + ".png";
    ToWxImage(image).SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
    return path;
}

void WindowTest::SetUp() {
    frame = new wxFrame(nullptr, wxID_ANY, "test", wxPoint(20, 20), wxSize(800, 600));
    frame->SetBackgroundColour(wxColour(0, 0, 14));
    frame->Show();
    frame->Raise();
    Flush();
    ASSERT_TRUE(WaitUntilPlaced(frame));
}

void WindowTest::TearDown() {
    frame->Destroy();
    Flush();
}

}  // namespace wxtest
