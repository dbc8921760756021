// The SyncView recorder in the real main window with the simulated probe and camera: the
// SyncView and REC buttons clicked through the window system, the preview beside the image
// at (908 + enlargement, 372), 240 x 180, hidden on freeze, a maximise undone while
// recording, and a three-second recording decoded back; the "Recording" save dialog with its
// camera list and the settings it writes back, and a "SEL" recording through the compressor
// chooser. Artifacts: the window with the preview, a decoded frame, and the dialog with its
// camera list.
#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/display.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/CstmButton.h"
#include "app/LSideDxUnFreeze.h"
#include "app/RSideDxUnFreeze.h"
#include "app/WxImage.h"
#include "app/WxRecorderUi.h"
#include "app/core/CaptureRecorder.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/RecorderPort.h"
#include "archive/export/ui/CompressorChooser.h"
#include "archive/export/ui/SaveJpegAvi.h"
#include "common/SettingsStore.h"
#include "platform/camera/SimulatedCamera.h"
#include "tests/app/MainFrameFixture.h"
#include "tests/app/WxTestSupport.h"
#include "tests/export/DecodeBack.h"
#include "tests/exportui/ExportUiTestSupport.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

using wxtest::Flush;

// What the display shows of a screen rectangle, read back from the X server.
Image32 GrabScreen(const wxRect& r) {
    wxBitmap bitmap(r.width, r.height, 24);
    wxMemoryDC memory(bitmap);
    wxScreenDC screen;
    memory.Blit(0, 0, r.width, r.height, &screen, r.x, r.y);
    memory.SelectObject(wxNullBitmap);
    return FromWxImage(bitmap.ConvertToImage());
}

// Runs `script` on the first shown T once it shows (inside the modal loop that shows it),
// looking every 20 ms for at most 10 s. A timer, not re-posted calls: those would keep the
// loop of a dialog that is ending busy before the next one can show.
template <typename T>
void WhenShown(std::function<void(T&)> script) {
    class Poll : public wxTimer {
    public:
        explicit Poll(std::function<void(T&)> s) : script_(std::move(s)) {}
        void Notify() override {
            T* shown = exportuitest::FindShown<T>();
            if (!shown && --left_ > 0)
                return;
            Stop();
            wxTheApp->CallAfter([this, shown] {
                if (shown) {
                    exportuitest::Settle(3);
                    script_(*shown);
                } else {
                    ADD_FAILURE() << "the dialog never showed";
                }
                delete this;
            });
        }

    private:
        std::function<void(T&)> script_;
        int left_ = 6000;  // two minutes of 20 ms ticks
    };
    (new Poll(std::move(script)))->Start(20);
}

class RecorderWindowTest : public wxtest::MainFrameFixture {
protected:
    RecorderWindowTest() {
        patientId_ = "0001";
        patientName_ = "Window Test";
    }
    void BeforeOpen() override { fs::create_directories(recordings_); }
    // The real "Recording" dialog and compressor chooser only where a test scripts them.
    void BeforeShow() override {
        if (!realDialogs_)
            frame_->RecorderUi().dialog = [this](wxWindow*, const RecordingDialogRequest& request,
                                                 RecordingDialogResult& result) {
                requests_.push_back(request);
                result.folder = recordings_ + "/";
                result.fileName = "window";
                result.camera = request.cameras.empty() ? "" : request.cameras.front();
                result.quality = 0;
                return int{kRecordingDialogOk};
            };
    }

    void Pump(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            Flush();
        }
    }
    void Click(wxWindow* w) {
        MainFrameFixture::Click(w);
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

    std::string recordings_ = dir_.path() + "/rec";
    testsupport::ScopedEnv camera_{"TORVIK_CAMERA", "sim"};
    std::vector<RecordingDialogRequest> requests_;
    bool realDialogs_ = false;
};

class RecordingDialogWindowTest : public RecorderWindowTest {
protected:
    RecordingDialogWindowTest() { realDialogs_ = true; }
    void UnfreezeAndRun() {
        frame_->Core()->ExecCommand(maindlg::kCmdFreeze);
        Live(200);
        ASSERT_EQ(frame_->Core()->m_nRunState, maindlg::kLive);
    }
    std::vector<std::string> Recordings() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(recordings_))
            names.push_back(e.path().filename().string());
        return names;
    }
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
    CCameraPreviewHost& host = frame_->RecorderUi().Preview();
    CCameraPreviewWindow* preview = host.Window();
    ASSERT_NE(preview, nullptr);
    // Beside the image and the right panel, fully on the display, covering neither. The window
    // system reports a move when it has made it, the preview follows on that report.
    const auto besideTheImage = [&] {
        const wxRect want(908 + frame_->Core()->m_nEnlargement, 372, 240, 180);
        EXPECT_TRUE(
            wxtest::PumpUntil([&] { return host.RectInClient() == want; }, "the preview beside the image"));
        const wxRect r = host.RectInClient();
        EXPECT_EQ(r, want);
        EXPECT_FALSE(r.Intersects(frame_->Controls().Find(1011)->GetRect()));
        EXPECT_FALSE(r.Intersects(frame_->RightPanel()->GetRect()));
        EXPECT_TRUE(wxDisplay(0u).GetClientArea().Contains(preview->GetScreenRect()));
        EXPECT_EQ(preview->GetClientSize(), wxSize(240, 180));
        EXPECT_TRUE(preview->IsShownOnScreen());
    };
    besideTheImage();
    Live(500);
    EXPECT_GT(preview->PaintedPictures(), 0);
    wxtest::SaveArtifact(wxtest::ComposeWindow(frame_->ClientWindow()), "recorder-syncview-window");
    wxtest::SaveArtifact(GrabScreen(frame_->GetScreenRect().Union(preview->GetScreenRect())),
                         "recorder-syncview-preview-screen");
    // The preview follows the window's moves, and a maximised window moves it right by its
    // enlargement.
    frame_->Move(frame_->GetPosition() + wxPoint(-20, 10));
    besideTheImage();
    // A move whose report is lost, or comes before the window system has made the move.
    {
        wxEvtHandler swallowMoves;
        swallowMoves.Bind(wxEVT_MOVE, [](wxMoveEvent&) {});
        frame_->PushEventHandler(&swallowMoves);
        frame_->Move(frame_->GetPosition() + wxPoint(30, -15));
        besideTheImage();
        frame_->PopEventHandler();
    }
    frame_->Move(0, 0);
    frame_->ForceMaximised(true);
    ASSERT_TRUE(wxtest::PumpUntil([&] { return frame_->Core()->m_nEnlargement > 0; }, "the enlarged layout"));
    besideTheImage();
    frame_->ForceMaximised(false);
    ASSERT_TRUE(wxtest::PumpUntil([&] { return frame_->Core()->m_nEnlargement == 0; }, "the normal layout"));
    besideTheImage();

    // Only a window manager maximises (Xvfb alone has none).
    const bool displayMaximises = wxtest::WindowManagerRuns();
    if (displayMaximises) {
        frame_->Maximize(true);
        ASSERT_TRUE(wxtest::PumpUntil([&] { return frame_->IsMaximized(); }, "the window maximised"));
        frame_->Maximize(false);
        ASSERT_TRUE(wxtest::PumpUntil([&] { return !frame_->IsMaximized(); }, "the window restored"));
    }
    RecordProperty("display_maximises", displayMaximises ? "yes" : "no");
    EXPECT_EQ(frame_->RecorderUi().MaximisesUndone(), 0);  // not recording: left alone
    const auto recStart = std::chrono::steady_clock::now();
    Click(Button(CLSideDxUnFreeze::IDC_REC));
    ASSERT_EQ(frame_->Recorder().State(), 1);
    EXPECT_EQ(Button(CLSideDxUnFreeze::IDC_REC)->GetCaption(), "Stop");
    // A maximise during the recording is undone (without a window manager, the notice as the
    // window system would send it).
    frame_->Maximize(true);
    if (!displayMaximises) {
        wxMaximizeEvent maximised(frame_->GetId());
        maximised.SetEventObject(frame_);
        frame_->ProcessWindowEvent(maximised);
    }
    EXPECT_TRUE(wxtest::PumpUntil(
        [&] { return frame_->RecorderUi().MaximisesUndone() >= 1 && !frame_->IsMaximized(); },
        "the maximise undone"));
    EXPECT_EQ(frame_->RecorderUi().MaximisesUndone(), 1);
    EXPECT_FALSE(frame_->IsMaximized());
    Live(3000);
    const double recorded =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - recStart).count();
    // "Encoding" is on the display while the stop runs (the stop lets drawing happen but
    // dispatches nothing else, so the window itself tells).
    const int encodingSeen = frame_->RecorderUi().EncodingWindowsSeen();
    Click(Button(CLSideDxUnFreeze::IDC_REC));
    EXPECT_EQ(frame_->RecorderUi().EncodingWindowsSeen(), encodingSeen + 1);
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
    // About 3 s: the clock's length, not the frames'. The last frame may be written a little
    // before the stop on a busy machine; never after it.
    EXPECT_LE(v.durationSeconds, recorded + 0.2);
    EXPECT_GE(v.durationSeconds, recorded - 1.0);
    EXPECT_GE(v.durationSeconds, v.frames / 13.0 - 0.1);
    wxtest::SaveArtifact(v.lastColourFrame, "recorder-decoded-frame");
    const exporttest::MeanRgb camera = exporttest::MeanColour(v.lastColourFrame, 480, 0, 960, 360);
    EXPECT_GT(camera.b, camera.r + 60);  // the simulated camera's blue
    const exporttest::MeanRgb image = exporttest::MeanColour(v.lastColourFrame, 0, 60, 480, 420);
    EXPECT_GT(image.r + image.g + image.b, 15.0);  // the phantom, not a black half

    frame_->Core()->ExecCommand(maindlg::kCmdFreeze);
    Pump(100);
    EXPECT_FALSE(preview->IsShownOnScreen());
    Click(Button(CLSideDxUnFreeze::IDC_SYNCVIEW));  // frozen: the panel is gone, nothing happens
}

TEST_F(RecordingDialogWindowTest, SyncViewAsksTheSaveDialogWithTheCameraListAndWritesItsChoicesBack) {
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::camera_outputfolder, recordings_));
    UnfreezeAndRun();
    bool scripted = false;
    WhenShown<CSaveJpegAvi>([&](CSaveJpegAvi& d) {
        scripted = true;
        EXPECT_EQ(d.GetTitle(), "Recording");
        EXPECT_EQ(d.m_edtId->GetValue(), "0001");
        EXPECT_EQ(d.m_edtName->GetValue(), "Window Test");
        EXPECT_FALSE(d.m_edtTime->IsShown());
        EXPECT_FALSE(d.m_grpQuality->IsShown());
        ASSERT_TRUE(d.m_cmbCamera->IsShown());
        ASSERT_EQ(d.m_cmbCamera->GetCount(), 1u);
        EXPECT_EQ(d.m_cmbCamera->GetStringSelection(), camera::kSimulatedCameraName);
        EXPECT_EQ(d.m_edtFolder->GetValue(), recordings_ + "/");
        EXPECT_EQ(d.m_edtPrefix->GetValue(), "date_time_");
        EXPECT_EQ(d.m_edtExt->GetValue(), ".mp4");
        exportuitest::SaveDisplayArtifact(&d, "recorder-dialog-camera-list");
        d.m_edtFileName->ChangeValue("knee");
        exportuitest::Click(d.m_btnOk);
    });
    frame_->Recorder().ToggleCamera();
    ASSERT_TRUE(scripted);
    ASSERT_NE(g_pCaptureRecorder, nullptr);
    EXPECT_EQ(g_pCaptureRecorder->m_strCameraName, camera::kSimulatedCameraName);
    EXPECT_EQ(g_pCaptureRecorder->m_strRecFileName, "knee");
    EXPECT_NE(frame_->RecorderUi().Preview().Window(), nullptr);
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::camera_outputfolder, ""), recordings_ + "/");
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::camera, ""), camera::kSimulatedCameraName);
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::camera_quality, ""), "LOW");

    // Cancel: SyncView goes off again and nothing is written.
    frame_->Recorder().ToggleCamera();
    ASSERT_EQ(g_pCaptureRecorder, nullptr);
    SetSettingText(SettingSectionApp, SettingKeyTable::camera, "elsewhere");
    WhenShown<CSaveJpegAvi>([](CSaveJpegAvi& d) { exportuitest::Click(d.m_btnCancel); });
    frame_->Recorder().ToggleCamera();
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_FALSE(frame_->Core()->m_bSyncView);
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::camera, ""), "elsewhere");
}

TEST_F(RecordingDialogWindowTest, SelRecordsThroughTheChosenCompressorAndKeepsOnlyTheAvi) {
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::camera_outputfolder, recordings_));
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::camera_quality, "SEL"));
    UnfreezeAndRun();
    bool chose = false;
    WhenShown<CSaveJpegAvi>([&](CSaveJpegAvi& d) {
        EXPECT_FALSE(d.m_cmbCamera->IsShown());  // view-only: no camera list
        EXPECT_FALSE(d.m_grpQuality->IsShown());
        d.m_edtFileName->ChangeValue("sel");
        WhenShown<CCompressorChooser>([&](CCompressorChooser& c) {
            const auto all = exportfile::AviCompressors();
            const auto mjpeg =
                std::find_if(all.begin(), all.end(), [](const auto& e) { return e.encoder == "mjpeg"; });
            ASSERT_NE(mjpeg, all.end());
            c.m_cmbCompressor->SetSelection(static_cast<int>(mjpeg - all.begin()));
            chose = true;
            exportuitest::Click(static_cast<wxButton*>(c.FindWindow(wxID_OK)));
        });
        exportuitest::Click(d.m_btnOk);
    });
    frame_->Core()->ExecCommand(maindlg::kCmdPrintRecord);  // REC without SyncView
    ASSERT_TRUE(chose);
    ASSERT_EQ(frame_->Recorder().State(), 1);
    Live(1500);
    frame_->Core()->ExecCommand(maindlg::kCmdPrintRecord);
    Pump(100);
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::camera_quality, ""), "SEL");

    const std::vector<std::string> files = Recordings();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].starts_with("0001_")) << files[0];
    EXPECT_TRUE(files[0].ends_with("_sel.avi")) << files[0];
    const exporttest::DecodedVideo v = exporttest::DecodeVideo(recordings_ + "/" + files[0], false);
    ASSERT_EQ(v.status, 0);
    EXPECT_EQ(v.codec, "mjpeg");
    EXPECT_EQ(v.width, 480);
    EXPECT_EQ(v.height, 480);
    EXPECT_GT(v.frames, 10);
}
