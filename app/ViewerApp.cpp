// The viewer's entry point: the wx application that opens the main window. Until the patient
// selection comes, the window opens for the test patient "TEST", made on first use so that
// stores have a patient to go to.
#include <wx/app.h>

#include <cstdlib>

#include "app/MainFrame.h"
#include "app/WxMessageBox.h"
#include "app/WxUiDispatcher.h"
#include "common/User.h"
#include "sim/SimEnvironment.h"

namespace {

constexpr const char* kTestPatientId = "TEST";

class CViewerApp : public wxApp {
public:
    bool OnInit() override {
        InstallWxUiDispatcher();
        InstallWxMessageBoxHandler();
        CUser user;
        if (!user.Load(kTestPatientId)) {
            user.m_strId = kTestPatientId;
            user.m_strName = kTestPatientId;
            user.Save();
        }
        auto* frame = new CMainFrame();
        frame->Show();
        frame->Start(kTestPatientId, kTestPatientId);
        return true;
    }
    int OnExit() override {
        UninstallWxUiDispatcher();
        return wxApp::OnExit();
    }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(CViewerApp);

int main(int argc, char** argv) {
    // X11 is the supported display; a backend the caller chose is kept.
    setenv("GDK_BACKEND", "x11", 0);
    // The only probe this build can drive is the simulated one that TORVIK_PROBE names.
    usbdriver::sim::InstallEnvironmentDevice();
    return wxEntry(argc, argv);
}
