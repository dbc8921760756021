// The SyncView recorder in the real main window with the simulated probe and camera: the
// SyncView and REC buttons clicked through the window system, the preview at (768, 372),
// 240 x 180, hidden on freeze, a maximise undone while recording, and a three-second
// recording decoded back. Artifacts: the window with the preview, a decoded frame, and the
// dialog with its camera list.
#include <gtest/gtest.h>
#include <wx/choicdlg.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/CstmButton.h"
#include "app/LSideDxUnFreeze.h"
#include "app/MainFrame.h"
#include "app/WxImage.h"
#include "app/WxRecorderUi.h"
#include "app/WxUiDispatcher.h"
#include "app/core/CaptureRecorder.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/RecorderPort.h"
#include "common/SettingsStore.h"
#include "imaging/ProcessExit.h"
#include "platform/camera/SimulatedCamera.h"
#include "platform/usbdriver/UsbDriver.h"
#include "sim/SimBridge.h"
#include "tests/app/WxTestSupport.h"
#include "tests/export/DecodeBack.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

using wxtest::Flush;

// What the display shows of a window, read back from the X server.
Image32 GrabScreen(wxWindow* window) {
    const wxRect r = window->GetScreenRect();
    wxBitmap bitmap(r.width, r.height, 24);
    wxMemoryDC memory(bitmap);
    wxScreenDC screen;
    memory.Blit(0, 0, r.width, r.height, &screen, r.x, r.y);
    memory.SelectObject(wxNullBitmap);
    return FromWxImage(bitmap.ConvertToImage());
}

class RecorderWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(recordings_);
        ResetSettingsForTesting();
        usbdriver::sim::SimOptions options;
        options.pacing = usbdriver::sim::SimPacing::Stepped;
        sim_ = std::make_shared<usbdriver::sim::SimBridge>(options);
        usbdriver::AttachDevice(sim_);
        InstallWxUiDispatcher();
        SetProcessExitHandler([](int) {});
        frame_ = new CMainFrame();
        frame_->onEndDialog = [](int) {};
        frame_->RecorderUi().dialog = [this](wxWindow*, const RecordingDialogRequest& request,
                                             RecordingDialogResult& result) {
            requests_.push_back(request);
            result.folder = recordings_ + "/";
            result.fileName = "window";
            result.camera = request.cameras.empty() ? "" : request.cameras.front();
            result.quality = 0;
            return int{kRecordingDialogOk};
        };
        frame_->Show();
        Flush();
        ASSERT_TRUE(frame_->Start("0001", "Window Test"));
        frame_->Raise();
        Flush();
    }
    void TearDown() override {
        if (frame_)
            frame_->Close(true);
        Flush();
        SetProcessExitHandler(nullptr);
        UninstallWxUiDispatcher();
        usbdriver::DetachDevice(sim_);
        ResetSettingsForTesting();
    }

    void Pump(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            Flush();
        }
    }
    void Click(wxWindow* w) {
        const wxPoint centre = w->ClientToScreen(wxPoint(w->GetSize().x / 2, w->GetSize().y / 2));
        wxUIActionSimulator sim;
        sim.MouseMove(centre);
        Flush();
        sim.MouseClick();
        Pump(100);
    }
    // Probe frames at about the simulator's pace for `ms`.
    void Live(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            sim_->StepFrames(1);
            Pump(40);
        }
    }
    CCstmButton* Button(int id) { return frame_->LivePanel()->GetButton(id); }

    testsupport::TempDir dir_;
    std::string recordings_ = dir_.path() + "/rec";
    testsupport::ScopedEnv programData_{"ProgramData", dir_.path()};
    testsupport::ScopedEnv camera_{"TORVIK_CAMERA", "sim"};
    testsupport::MessageBoxRecorder boxes_;
    std::shared_ptr<usbdriver::sim::SimBridge> sim_;
    wxWeakRef<CMainFrame> frame_;
    std::vector<RecordingDialogRequest> requests_;
};

}  // namespace

TEST_F(RecorderWindowTest, SyncViewShowsThePreviewRecordsThreeSecondsAndFreezingHidesIt) {
    Click(frame_->Controls().Find(1001));  // UnFreeze
    Live(200);
    ASSERT_EQ(frame_->Core()->m_nRunState, maindlg::kLive);

    Click(Button(CLSideDxUnFreeze::IDC_SYNCVIEW));
    ASSERT_NE(g_pCaptureRecorder, nullptr);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].title, "Recording");
    EXPECT_EQ(requests_[0].cameras, std::vector<std::string>{camera::kSimulatedCameraName});
    CCameraPreviewWindow* preview = frame_->RecorderUi().Preview().Window();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->GetPosition(), wxPoint(768, 372));
    EXPECT_EQ(preview->GetSize(), wxSize(240, 180));
    EXPECT_TRUE(preview->IsShown());
    Live(500);
    EXPECT_GT(preview->PaintedPictures(), 0);
    wxtest::SaveArtifact(wxtest::ComposeWindow(frame_->ClientWindow()), "recorder-syncview-preview");
    wxtest::SaveArtifact(GrabScreen(frame_->ClientWindow()), "recorder-syncview-preview-screen");
    // A maximised window moves the preview right by its enlargement.
    frame_->ForceMaximised(true);
    Pump(200);
    ASSERT_GT(frame_->Core()->m_nEnlargement, 0);
    EXPECT_EQ(preview->GetPosition(), wxPoint(768 + frame_->Core()->m_nEnlargement, 372));
    frame_->ForceMaximised(false);
    Pump(200);
    EXPECT_EQ(preview->GetPosition(), wxPoint(768, 372));

    // Whether this display maximises at all (Xvfb has no window manager).
    frame_->Maximize(true);
    Pump(300);
    const bool displayMaximises = frame_->IsMaximized();
    frame_->Maximize(false);
    Pump(300);
    RecordProperty("display_maximises", displayMaximises ? "yes" : "no");
    EXPECT_EQ(frame_->RecorderUi().MaximisesUndone(), 0);  // not recording: left alone
    const auto recStart = std::chrono::steady_clock::now();
    Click(Button(CLSideDxUnFreeze::IDC_REC));
    ASSERT_EQ(frame_->Recorder().State(), 1);
    EXPECT_EQ(Button(CLSideDxUnFreeze::IDC_REC)->GetCaption(), "Stop");
    // A maximise during the recording is undone (the notice as the window system sends it;
    // Xvfb has no window manager to maximise for real).
    frame_->Maximize(true);
    wxMaximizeEvent maximised(frame_->GetId());
    maximised.SetEventObject(frame_);
    frame_->ProcessWindowEvent(maximised);
    Pump(300);
    EXPECT_EQ(frame_->RecorderUi().MaximisesUndone(), 1);
    EXPECT_FALSE(frame_->IsMaximized());
    Live(3000);
    const double recorded =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - recStart).count();
    Click(Button(CLSideDxUnFreeze::IDC_REC));
    EXPECT_EQ(frame_->Recorder().State(), 0);
    EXPECT_EQ(Button(CLSideDxUnFreeze::IDC_REC)->GetCaption(), "REC");
    ASSERT_NE(g_pCaptureRecorder, nullptr);  // SyncView stays on

    std::vector<std::string> mp4s;
    for (const auto& e : fs::directory_iterator(recordings_))
        mp4s.push_back(e.path().string());
    ASSERT_EQ(mp4s.size(), 1u);
    EXPECT_TRUE(mp4s[0].ends_with("_window.mp4")) << mp4s[0];
    const exporttest::DecodedVideo v = exporttest::DecodeVideo(mp4s[0], true);
    ASSERT_EQ(v.status, 0);
    EXPECT_EQ(v.width, 960);
    EXPECT_EQ(v.height, 480);
    EXPECT_EQ(v.profile & 0xFF, 66);
    EXPECT_NEAR(v.durationSeconds, recorded, 0.4);  // about 3 s: the clock's length, not the frames'
    wxtest::SaveArtifact(v.lastColourFrame, "recorder-decoded-frame");
    const exporttest::MeanRgb camera = exporttest::MeanColour(v.lastColourFrame, 480, 0, 960, 360);
    EXPECT_GT(camera.b, camera.r + 60);  // the simulated camera's blue
    const exporttest::MeanRgb image = exporttest::MeanColour(v.lastColourFrame, 0, 60, 480, 420);
    EXPECT_GT(image.r + image.g + image.b, 15.0);  // the phantom, not a black half

    frame_->Core()->ExecCommand(maindlg::kCmdFreeze);
    Pump(100);
    EXPECT_FALSE(preview->IsShown());
    Click(Button(CLSideDxUnFreeze::IDC_SYNCVIEW));  // frozen: the panel is gone, nothing happens
}

TEST_F(RecorderWindowTest, TheDialogOffersTheCameraList) {
    // The stand-in dialog, shown without its modal loop for the screenshot.
    wxArrayString names;
    for (const std::string& n : camera::EnumerateCameraNames())
        names.Add(wxString::FromUTF8(n));
    ASSERT_EQ(names.size(), 1u);
    auto* dlg = new wxSingleChoiceDialog(frame_, "0001 Window Test", "Recording", names);
    dlg->Show();
    Pump(200);
    wxtest::SaveArtifact(GrabScreen(dlg), "recorder-dialog-camera-list");
    dlg->Destroy();
    Flush();
}
