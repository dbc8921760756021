// The viewer's application object: one running instance per user, the terms of use, the data
// root, the patient chosen in the selection dialog (or named on the command line), then the
// main window for that patient. The main window ends the process itself; every other road
// ends with exit code 0.
#pragma once

#include <wx/app.h>

#include <memory>
#include <string>

#include "platform/SingleInstance.h"

class CMainFrame;
class IPatientDialogs;

// The data root (GetDataFolder), set at start-up.
extern std::string g_strDataRoot;

class CKALVEXApp : public wxApp {
public:
    bool OnInit() override;
    int OnRun() override;
    int OnExit() override;

    // The folder of the program file, ending with '/'.
    std::string m_strProgramFolder;

private:
    // Opens the main window for the patient and runs the main loop.
    int RunMainWindow(const std::string& id, const std::string& name);
    // A second start asked for us: the innermost shown modal dialog, else the top window,
    // comes to the front.
    void RaiseForSecondStart();

    platform::SingleInstance m_instance;
    std::unique_ptr<IPatientDialogs> m_pPatientDialogs;
};
