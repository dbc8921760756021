#include "app/KALVEXApp.h"

#include <glib.h>
#include <wx/dialog.h>
#include <wx/stdpaths.h>

#include <clocale>
#include <cstdlib>
#include <vector>

#include "app/AssertLog.h"
#include "app/EULADlg.h"
#include "app/MainFrame.h"
#include "app/WxMessageBox.h"
#include "app/WxUiDispatcher.h"
#include "app/core/EulaNotice.h"
#include "archive/StartupChoice.h"
#include "archive/export/VideoLeftovers.h"
#include "archive/ui/PatientDialogsWx.h"
#include "archive/ui/StartupDlg.h"
#include "common/AppFolders.h"
#include "common/User.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "sim/SimEnvironment.h"

std::string g_strDataRoot;

namespace {

// The X11 window class of every window (WM_CLASS); the desktop file's StartupWMClass names it.
constexpr const char* kProgramName = "torvik-viewer";

std::string ExecutableFolder() {
    std::string path = wxStandardPaths::Get().GetExecutablePath().utf8_string();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace

bool CKALVEXApp::OnInit() {
    InstallWxUiDispatcher();
    InstallWxMessageBoxHandler();
    // Month and day names of the date picker in English, whatever the desktop's language.
    std::setlocale(LC_TIME, "C");
    return true;
}

int CKALVEXApp::OnRun() {
    m_instance.SetRaiseHandler([this] { RaiseForSecondStart(); });
    if (!platform::ClaimSingleInstance(m_instance))
        return 0;

    // Patient data needs a private home; without one nothing is shown but the reason.
    if (const std::optional<std::string> problem = GetAppDataFolderProblem()) {
        platform::ShowMessageBox(*problem, GetProductName(), platform::MsgIcon::Error,
                                 platform::MsgButtons::Ok);
        return 0;
    }

    {
        CEULADlg terms(nullptr);
        if (terms.DoModal() != kEulaAccepted)
            return 0;
    }

    m_strProgramFolder = ExecutableFolder();
    g_strDataRoot = GetDataFolder();
    EnsureDataRoot();
    // What killed exports and recordings left: no other viewer can be writing it now.
    exportfile::SweepVideoLeftoversAtStart();

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i].utf8_string());
    if (CUser user; OpenFromCommandLine(args, user))
        return RunMainWindow(user.m_strId, user.m_strName);

    std::string id, name;
    {
        CStartupDlg selection;
        SetTopWindow(&selection);
        if (selection.DoModal() != CStartupDlg::kResultOk)
            return 0;
        id = selection.SelId();
        name = selection.SelName();
    }
    return RunMainWindow(id, name);
}

int CKALVEXApp::RunMainWindow(const std::string& id, const std::string& name) {
    auto* frame = new CMainFrame();
    m_pPatientDialogs = std::make_unique<CPatientDialogsWx>(frame);
    frame->m_pPatientDialogs = m_pPatientDialogs.get();
    SetTopWindow(frame);
    frame->Show();
    frame->Start(id, name);
    // The main window ends the process (EndProcess(0)) on every road out.
    wxApp::OnRun();
    return 0;
}

void CKALVEXApp::RaiseForSecondStart() {
    wxTopLevelWindow* target = nullptr;
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (dialog && dialog->IsModal() && dialog->IsShown())
            target = dialog;  // the list runs oldest first: the last one is the innermost
    }
    if (!target)
        target = dynamic_cast<wxTopLevelWindow*>(GetTopWindow());
    if (!target)
        return;
    target->Iconize(false);
    target->Raise();
    // Window managers that refuse to hand the focus over mark the window instead.
    if (!target->IsActive())
        target->RequestUserAttention();
}

int CKALVEXApp::OnExit() {
    UninstallWxUiDispatcher();
    return wxApp::OnExit();
}

wxIMPLEMENT_APP_NO_MAIN(CKALVEXApp);

int main(int argc, char** argv) {
    // A failed wx check is logged; it never stops the viewer on a dialog.
    InstallAssertLogging();
    // X11 is the supported display; a backend the caller chose is kept.
    setenv("GDK_BACKEND", "x11", 0);
    // Before GTK starts: the name fixes the window class the desktop matches.
    g_set_prgname(kProgramName);
    // The only probe this build can drive is the simulated one that TORVIK_PROBE names.
    usbdriver::sim::InstallEnvironmentDevice();
    return wxEntry(argc, argv);
}
