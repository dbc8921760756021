// The road a new user takes, on the display with the simulated convex probe: the terms of use,
// an empty patient list, New, a name, OK, and the main window opens for patient 0001; SPACE
// twice (live, then frozen); F1 and a changed note ("saved"); F4, "Change without saving", New,
// and the header shows patient 0002. Screenshots: the terms, the empty list and the header
// after the change.
#include <gtest/gtest.h>
#include <wx/weakref.h>

#include <chrono>
#include <memory>
#include <thread>

#include "app/EULADlg.h"
#include "app/MainFrame.h"
#include "app/WxUiDispatcher.h"
#include "app/core/EulaNotice.h"
#include "app/core/KALVEXDlg.h"
#include "archive/ui/ExamDlg.h"
#include "archive/ui/PatientDialogsWx.h"
#include "archive/ui/StartupDlg.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "common/User.h"
#include "imaging/ProcessExit.h"
#include "platform/usbdriver/UsbDriver.h"
#include "sim/SimBridge.h"
#include "tests/app/WxTestSupport.h"
#include "tests/archive_ui/DialogScript.h"
#include "tests/support/TestSupport.h"

using namespace dialogtest;

namespace {

size_t BoxesWith(const testsupport::MessageBoxRecorder& boxes, const std::string& text) {
    size_t n = 0;
    for (const auto& b : boxes.shown())
        n += b.text.find(text) != std::string::npos;
    return n;
}

}  // namespace

TEST(NewUserRoad, TermsNewPatientLiveEditAndChange) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv programData("ProgramData", dir.path());
    ResetSettingsForTesting();
    ResetAppFoldersForTesting();
    testsupport::MessageBoxRecorder boxes;
    usbdriver::sim::SimOptions options;
    options.pacing = usbdriver::sim::SimPacing::Stepped;
    auto sim = std::make_shared<usbdriver::sim::SimBridge>(options);
    usbdriver::AttachDevice(sim);
    InstallWxUiDispatcher();
    SetProcessExitHandler([](int) {});

    // 1. The terms, then the empty list and a new patient.
    {
        CEULADlg terms(nullptr);
        DialogScript script;
        script.Then<CEULADlg>([](CEULADlg& d) {
            ScreenArtifact(&d, "startup_terms_of_use");
            ClickOn(d.m_btnAccept);
        });
        ASSERT_EQ(terms.DoModal(), kEulaAccepted);
    }
    std::string id, name;
    {
        CStartupDlg selection;
        DialogScript script;
        script.Then<CStartupDlg>([](CStartupDlg& d) {
            EXPECT_EQ(d.m_lstPatients->GetItemCount(), 0);
            ScreenArtifact(&d, "startup_empty_patient_list");
            ClickOn(d.m_btnNew);
        });
        script.Then<CExamDlg>([](CExamDlg& d) {
            TypeText(d.m_edtName, "Anna Berg");
            ClickOn(d.m_btnOk);
        });
        ASSERT_EQ(selection.DoModal(), CStartupDlg::kResultOk);
        ASSERT_FALSE(script.timedOut);
        id = selection.SelId();
        name = selection.SelName();
    }
    EXPECT_EQ(id, "0001");
    EXPECT_EQ(name, "Anna Berg");

    wxWeakRef<CMainFrame> frame = new CMainFrame();
    CPatientDialogsWx dialogs(frame);
    frame->m_pPatientDialogs = &dialogs;
    frame->onEndDialog = [](int) {};
    frame->Show();
    Catch(60);
    ASSERT_TRUE(frame->Start(id, name));
    frame->Raise();
    frame->SetFocus();
    Catch(200);
    ASSERT_TRUE(wxtest::WaitUntilPlaced(frame));
    CKALVEXDlg& core = *frame->Core();
    EXPECT_EQ(core.Controls().Text(maindlg::IDC_HEADER), "ID: 0001  Name: Anna Berg");

    // 2. SPACE twice: live, then frozen with images not stored.
    Key(WXK_SPACE, frame->ClientWindow());
    EXPECT_EQ(core.m_nRunState, maindlg::kLive);
    for (int i = 0; i < 3; ++i) {
        const int want = core.m_pLiveProc->Cine().GetCount() + 1;
        sim->StepFrames(1);
        ASSERT_TRUE(wxtest::PumpUntil([&] { return core.m_pLiveProc->Cine().GetCount() >= want; },
                                      "cine frame " + std::to_string(want)));
    }
    Key(WXK_SPACE, frame->ClientWindow());
    EXPECT_EQ(core.m_nRunState, maindlg::kFrozen);

    // 3. F1: a note, OK, "saved".
    {
        DialogScript script;
        script.Then<CExamDlg>([](CExamDlg& d) {
            EXPECT_EQ(d.m_edtName->GetValue(), "Anna Berg");
            TypeText(d.m_edtNote, "first visit");
            ClickOn(d.m_btnOk);
        });
        Key(WXK_F1, frame->ClientWindow());
        Catch(200);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(BoxesWith(boxes, "saved"), 1u);
    CUser stored;
    ASSERT_TRUE(stored.Load("0001"));
    EXPECT_EQ(stored.m_strNote, "first visit");

    // 4. F4: the unsaved images are asked about, then New makes patient 0002.
    {
        DialogScript script;
        script.Then<CStartupDlg>([](CStartupDlg& d) {
            EXPECT_EQ(d.m_btnExit->GetLabel(), "Cancel");
            EXPECT_EQ(d.m_lstPatients->GetItemCount(), 1);
            ClickOn(d.m_btnNew);
        });
        script.Then<CExamDlg>([](CExamDlg& d) {
            TypeText(d.m_edtName, "Bo Lind");
            ClickOn(d.m_btnOk);
        });
        Key(WXK_F4, frame->ClientWindow());
        Catch(300);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(BoxesWith(boxes, "Change without saving"), 1u);
    EXPECT_EQ(core.Controls().Text(maindlg::IDC_HEADER), "ID: 0002  Name: Bo Lind");
    EXPECT_EQ(core.m_strPatientFolder, GetDataFolder() + "0002/");
    Catch(200);
    wxtest::SaveArtifact(wxtest::ComposeWindow(frame->ClientWindow()), "main_window_header_after_change");

    frame->Close(true);
    Catch(100);
    SetProcessExitHandler({});
    UninstallWxUiDispatcher();
    usbdriver::DetachDevice(sim);
    ResetSettingsForTesting();
    ResetAppFoldersForTesting();
}
