#include "tests/app/MainFrameFixture.h"

#include <wx/uiaction.h>

#include <chrono>
#include <thread>

#include "app/WxUiDispatcher.h"
#include "app/core/KALVEXDlg.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "imaging/ProcessExit.h"
#include "platform/usbdriver/UsbDriver.h"
#include "probe/OpenProbe.h"
#include "probe/ProbeDataUM716C.h"
#include "tests/app/WxTestSupport.h"

namespace wxtest {

void MainFrameFixture::SetUp() {
    ResetSettingsForTesting();
    ResetAppFoldersForTesting();
    usbdriver::sim::SimOptions options;
    options.pacing = usbdriver::sim::SimPacing::Stepped;
    sim_ = std::make_shared<usbdriver::sim::SimBridge>(options);
    usbdriver::AttachDevice(sim_);
    InstallWxUiDispatcher();
    SetProcessExitHandler([this](int code) { exitCode_ = code; });
    BeforeOpen();
    if (HasFatalFailure())
        return;
    OpenWindow();
}

void MainFrameFixture::TearDown() {
    CloseWindow();
    SetProcessExitHandler(nullptr);
    UninstallWxUiDispatcher();
    usbdriver::DetachDevice(sim_);
    ResetSettingsForTesting();
    ResetAppFoldersForTesting();
}

void MainFrameFixture::OpenWindow() {
    frame_ = new CMainFrame();
    frame_->onEndDialog = [this](int) { ended_ = true; };
    BeforeShow();
    frame_->Show();
    Flush();
    ASSERT_TRUE(frame_->Start(patientId_, patientName_));
    frame_->Raise();
    frame_->SetFocus();
    Flush();
    ASSERT_TRUE(WaitUntilPlaced(frame_));
}

void MainFrameFixture::CloseWindow() {
    if (frame_)  // the close handler runs and the window destroys itself
        frame_->Close(true);
    Flush();
    EXPECT_FALSE(frame_);
}

CKALVEXDlg& MainFrameFixture::Core() {
    return *frame_->Core();
}

void MainFrameFixture::Settle(int rounds) {
    for (int k = 0; k < rounds; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Flush();
    }
}

namespace {

// Frames the probe driver dropped for want of a free raw buffer, as a busy machine drops live
// frames.
uint64_t LostFrames() {
    auto* probe = dynamic_cast<CProbeDataUM716C*>(g_pProbe.load());
    return probe ? probe->GetLostFrameCount() : 0;
}

}  // namespace

void MainFrameFixture::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        const bool live = Core().m_nRunState == maindlg::kLive;
        const int want = Core().m_pLiveProc->Cine().GetCount() + 1;
        uint64_t lost = LostFrames();
        sim_->StepFrames(1);
        // Live, each frame reaches the cine (another is sent for one dropped); frozen, the probe
        // sends none.
        if (live) {
            EXPECT_TRUE(PumpUntil(
                [&] {
                    if (LostFrames() != lost) {
                        lost = LostFrames();
                        sim_->StepFrames(1);
                    }
                    return Core().m_pLiveProc->Cine().GetCount() >= want;
                },
                "cine frame " + std::to_string(want)));
        }
    }
    Settle();  // the window draws what came
}

void MainFrameFixture::Key(int key, int modifiers) {
    wxUIActionSimulator().Char(key, modifiers);
    Settle();
}

void MainFrameFixture::Shot(const std::string& name) {
    SaveArtifact(ComposeWindow(frame_->ClientWindow()), name);
}

void MainFrameFixture::Click(wxWindow* window) {
    wxUIActionSimulator sim;
    sim.MouseMove(window->ClientToScreen(wxPoint(window->GetSize().x / 2, window->GetSize().y / 2)));
    Flush();
    sim.MouseClick();
}

void MainFrameFixture::Unfreeze() {
    Click(frame_->Controls().Find(1001));
    Settle();
    Frames(3);
}

}  // namespace wxtest
