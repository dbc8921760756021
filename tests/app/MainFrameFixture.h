// The real main window on the display over the simulated convex probe in stepped mode, in a
// private data folder: the set-up the window tests of the main window share, with the steps
// they drive it by.
#pragma once

#include <gtest/gtest.h>
#include <wx/weakref.h>

#include <memory>
#include <string>

#include "app/MainFrame.h"
#include "sim/SimBridge.h"
#include "tests/support/TestSupport.h"

class CKALVEXDlg;

namespace wxtest {

class MainFrameFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Hooks for a test that needs more: settings written after the reset and before the window
    // exists, and the window's seams set before it shows.
    virtual void BeforeOpen() {}
    virtual void BeforeShow() {}

    // Creates the window, shows it and starts it for the patient below.
    void OpenWindow();
    // Closes it through its close handler; the window destroys itself.
    void CloseWindow();

    CKALVEXDlg& Core();
    // Lets posted work and paints run: `rounds` turns of 5 ms.
    static void Settle(int rounds = 20);
    // Sends n frames and lets the image thread and the window catch up.
    void Frames(int n);
    void Key(int key, int modifiers = wxMOD_NONE);
    // A real click at the window's centre through the window system; what it starts is left
    // to the caller (a modal loop, or a wait).
    static void Click(wxWindow* window);
    void Shot(const std::string& name);
    // A real click on the UnFreeze button, through the window system, then three frames.
    void Unfreeze();

    testsupport::TempDir dir_;
    testsupport::ScopedEnv programData_{"ProgramData", dir_.path()};
    testsupport::ScopedEnv home_{"HOME", dir_.path()};
    testsupport::ScopedEnv dataHome_{"XDG_DATA_HOME", dir_ / "xdg"};
    testsupport::MessageBoxRecorder boxes_;
    std::string patientId_ = "TEST";
    std::string patientName_ = "TEST";
    std::shared_ptr<usbdriver::sim::SimBridge> sim_;
    wxWeakRef<CMainFrame> frame_;
    bool ended_ = false;
    int exitCode_ = -1;
};

}  // namespace wxtest
