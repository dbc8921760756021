// The main window's recorder headless: SyncView with the simulated camera, view-only REC,
// the 30-second limit and freezing end a recording like REC; the endings that used to lose
// or misreport a recording (an AVI that cannot be made, a failed write, a failed transcode);
// and the "SEL" compressor kept across recordings while the encoder is made per recording.
#include <filesystem>
#include <fstream>

#include "CoreFixture.h"
#include "app/core/CaptureRecorder.h"
#include "app/core/RecorderPort.h"
#include "archive/recorder/AviFrameSink.h"
#include "platform/AtomicFile.h"
#include "platform/camera/SimulatedCamera.h"
#include "tests/recorder/WatchedSink.h"

using namespace coretest;
using namespace maindlg;
namespace fs = std::filesystem;

namespace {

class FakePreviewHost : public recorder::ICameraPreviewHost {
public:
    void CreatePreview(const camera::ICamera&, const recorder::PreviewPlacement& p) override {
        created = true;
        shown = true;
        place = p;
    }
    void PlacePreview(const recorder::PreviewPlacement& p) override { place = p; }
    void ShowPreview(bool show) override { shown = show; }
    void DestroyPreview() override { created = shown = false; }
    bool created = false;
    bool shown = false;
    recorder::PreviewPlacement place;
};

class FakeRecorderUi : public IRecorderUi {
public:
    int RunRecordingDialog(const RecordingDialogRequest& request, RecordingDialogResult& result) override {
        requests.push_back(request);
        result.folder = folder;
        result.fileName = "clip";
        result.camera = request.cameras.empty() ? "" : request.cameras.front();
        result.quality = quality;
        return answer;
    }
    bool ChooseCompressor(exportfile::VideoCodecChoice& choice) override {
        ++compressorChoices;
        choice.encoder = "mjpeg";
        return true;
    }
    recorder::ICameraPreviewHost* PreviewHost() override { return &preview; }
    void SetMaximiseAllowed(bool allowed) override { maximiseAllowed = allowed; }
    int Enlargement() const override { return enlargement; }
    void BeginEncoding() override {
        ++encodings;
        if (onEncoding)
            onEncoding();
    }
    void EncodingProgress(int) override {}
    void EndEncoding() override {}
    Image32 RenderImageArea() override {
        ++renders;
        std::this_thread::sleep_for(std::chrono::milliseconds(renderMs));
        return Image32(480, 480, 0x808080);
    }
    Image32 CaptionIcon() override { return {}; }

    std::string folder;
    int renderMs = 0;  // a window that draws slowly
    int renders = 0;
    int quality = recorder::kQualityHigh;
    int answer = kRecordingDialogOk;
    int enlargement = 0;
    int compressorChoices = 0;
    int encodings = 0;
    std::function<void()> onEncoding;
    bool maximiseAllowed = true;
    std::vector<RecordingDialogRequest> requests;
    FakePreviewHost preview;
};

class RecorderPortTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        recordings = dir.path() + "/rec/";
        fs::create_directories(recordings);
        fakeUi.folder = recordings;
        Attach();
        port = std::make_unique<CRecorderPort>(fakeUi, [this](IRecorderUi& u) {
            const auto sinks = [this](const exportfile::VideoCodecChoice& codec) {
                return recordertest::Watched(recorder::AviSinkFactory(codec), written);
            };
            auto* made = new CCaptureRecorder(u, sinks, [this](std::function<void(int)>) -> recorder::Transcoder {
                return [this](const std::string& avi, const std::string& mp4, int row, std::string& error) {
                    rows.push_back(row);
                    if (!transcodeWorks) {
                        error = "no encoder";
                        return false;
                    }
                    std::ofstream(mp4) << "mp4 of " << avi;
                    return true;
                };
            });
            made->m_nLimitFrames = limitFrames;
            return made;
        });
        MainDlgPorts ports = side.Ports();
        ports.recorder = port.get();
        InitWith(ports, [this](CKALVEXDlg& d) {
            d.m_strPatientId = "0001";
            d.m_strPatientName = "Name";
            port->Attach(&d, &side.live);
        });
        Unfreeze();
    }
    void TearDown() override {
        platform::SetWriteFaultHook({});
        CoreTest::TearDown();
        port.reset();
    }

    void Rec() {
        dlg->ExecCommand(kCmdPrintRecord);
        ui.RunPending();
    }
    // Lets the recording run over a few of its 77 ms ticks with frames drawn: one frame drawn
    // and one more written a tick.
    void Record(int ticks = 4) {
        for (int i = 0; i < ticks; ++i) {
            const int want = written.count + 1;
            ASSERT_TRUE(Step(1));
            ASSERT_TRUE(testsupport::WaitUntil([&] { return written.count >= want; },
                                               "recorded frame " + std::to_string(want)));
        }
    }
    // SyncView on, REC, a frame written, then Quit answered with OK.
    void RecordAndQuit() {
        port->ToggleCamera();
        Rec();
        ASSERT_EQ(port->State(), 1);
        Record(1);
        dlg->ExecCommand(kCmdQuit);
        ASSERT_TRUE(dlg->m_bClosed);
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(recordings))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    bool Shown(const std::string& prefix) const {
        return std::any_of(boxes.shown().begin(), boxes.shown().end(),
                           [&](const auto& b) { return b.text.rfind(prefix, 0) == 0; });
    }

    testsupport::ScopedEnv simCamera{"TORVIK_CAMERA", "sim"};
    std::string recordings;
    FakeRecorderUi fakeUi;
    std::unique_ptr<CRecorderPort> port;
    std::vector<int> rows;
    bool transcodeWorks = true;
    recordertest::WrittenFrames written;  // by every recording of the test
    int limitFrames = recorder::kRecordLimitFrames;
};

}  // namespace

TEST_F(RecorderPortTest, ViewOnlyRecordingEndsWithItsRecorderAndAnEmptyCameraSetting) {
    Rec();
    ASSERT_NE(g_pCaptureRecorder, nullptr);
    EXPECT_TRUE(dlg->m_bSyncView);
    EXPECT_EQ(port->State(), 1);
    EXPECT_EQ(side.live.buttons[IDC_LIVE_REC].caption, "Stop");
    EXPECT_FALSE(fakeUi.maximiseAllowed);
    EXPECT_FALSE(side.live.buttons[IDC_LIVE_SYNCVIEW].enabled);
    EXPECT_TRUE(fakeUi.requests.at(0).cameras.empty());
    Record();
    Rec();
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_FALSE(dlg->m_bSyncView);
    EXPECT_EQ(side.live.buttons[IDC_LIVE_REC].caption, "REC");
    EXPECT_TRUE(fakeUi.maximiseAllowed);
    EXPECT_TRUE(side.live.buttons[IDC_LIVE_SYNCVIEW].enabled);
    EXPECT_EQ(rows, std::vector<int>{3});
    const auto files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].substr(files[0].size() - 9), "_clip.mp4");
    EXPECT_EQ(GetSettingString(SettingSectionApp, SettingKeyTable::camera), "");
}

TEST_F(RecorderPortTest, SyncViewRecorderSurvivesStopsAndFreezingEndsItsRecording) {
    fakeUi.enlargement = 12;
    port->ToggleCamera();
    ASSERT_NE(g_pCaptureRecorder, nullptr);
    EXPECT_TRUE(port->HasVideoWindow());
    EXPECT_EQ(side.live.buttons[IDC_LIVE_SYNCVIEW].sub1, "stop");
    EXPECT_TRUE(fakeUi.preview.created);
    EXPECT_EQ(fakeUi.preview.place.x, 908 + 12);
    EXPECT_EQ(fakeUi.preview.place.y, 372);
    EXPECT_EQ(fakeUi.preview.place.width, 240);
    EXPECT_EQ(fakeUi.preview.place.height, 180);  // 640 x 480
    EXPECT_EQ(GetSettingString(SettingSectionApp, SettingKeyTable::camera), camera::kSimulatedCameraName);

    Rec();
    Record();
    Rec();
    ASSERT_NE(g_pCaptureRecorder, nullptr);
    EXPECT_EQ(port->State(), 0);
    EXPECT_EQ(side.live.buttons[IDC_LIVE_SYNCVIEW].sub1, "stop");

    // A second recording in the same recorder; freezing stops it and hides the preview.
    Rec();
    Record();
    Freeze();
    ASSERT_NE(g_pCaptureRecorder, nullptr);
    EXPECT_FALSE(fakeUi.preview.shown);
    EXPECT_EQ(port->State(), 0);
    EXPECT_EQ(rows, (std::vector<int>{0, 0}));
    EXPECT_EQ(Files().size(), 2u);

    Unfreeze();
    EXPECT_TRUE(fakeUi.preview.shown);
    port->ToggleCamera();
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_FALSE(fakeUi.preview.created);
    EXPECT_EQ(side.live.buttons[IDC_LIVE_SYNCVIEW].sub1, "camera prep");
}

TEST_F(RecorderPortTest, FreezingEndsAViewOnlyRecordingAndDeletesItsRecorder) {
    Rec();
    Record(2);
    Freeze();
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_FALSE(dlg->m_bSyncView);
    EXPECT_TRUE(fakeUi.maximiseAllowed);
    EXPECT_EQ(rows, std::vector<int>{3});
    EXPECT_EQ(Files().size(), 1u);
}

TEST_F(RecorderPortTest, TheThirtySecondLimitStopsLikeRec) {
    Rec();
    Record(2);
    dlg->OnRecordLimit();
    ui.RunPending();
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_EQ(side.live.buttons[IDC_LIVE_REC].caption, "REC");
    EXPECT_EQ(Files().size(), 1u);
}

// The window draws slower than the probe delivers and no tick runs: the recording still ends
// at its limit on the writer's clock, nothing is written past it, and the image area is
// rendered for the writer's pictures, not again for every drawn frame.
TEST_F(RecorderPortTest, ASlowWindowStillEndsTheRecordingAtItsLimit) {
    limitFrames = 13;  // one second of the recording's clock
    fakeUi.renderMs = 120;
    Rec();
    ASSERT_EQ(port->State(), 1);
    int drawn = 0;
    const auto deadline = std::chrono::steady_clock::now() + testsupport::kPatience;
    while (g_pCaptureRecorder && std::chrono::steady_clock::now() < deadline) {
        ASSERT_TRUE(Step(2));
        drawn += 2;
        ui.RunPending();
    }
    ASSERT_EQ(g_pCaptureRecorder, nullptr) << "timed out waiting for the recording to end by its limit";
    EXPECT_EQ(side.live.buttons[IDC_LIVE_REC].caption, "REC");
    const recorder::FinishOutcome& done = port->LastFinish();
    EXPECT_GE(done.stop.framesWritten, 1);
    EXPECT_LE(done.stop.lastIndex, 12) << "nothing past the limit";
    EXPECT_EQ(Files().size(), 1u);
    // One render per picture the writer takes, not per frame drawn (on a loaded machine the
    // window may draw no faster than the writer takes pictures).
    EXPECT_LE(fakeUi.renders, done.stop.framesWritten + 1) << drawn << " frames drawn";
}

// While the writer is busy with its picture, frames drawn meanwhile are not rendered for it
// again: the next picture is rendered once.
TEST_F(RecorderPortTest, FramesDrawnWhileTheWriterIsBusyAreNotRenderedForIt) {
    written.hold = true;
    Rec();
    ASSERT_EQ(port->State(), 1);
    const bool busy =
        testsupport::WaitUntil([&] { return written.entered >= 1; }, "the writer's first write");
    const int renders = fakeUi.renders;
    const bool stepped = busy && Step(6);
    const int rendersWhileBusy = fakeUi.renders - renders;
    written.hold = false;
    Rec();
    ASSERT_TRUE(busy);
    ASSERT_TRUE(stepped);
    EXPECT_LE(rendersWhileBusy, 1) << "six frames drawn while one picture was being written";
    EXPECT_EQ(Files().size(), 1u);
}

TEST_F(RecorderPortTest, AnAviThatCannotBeMadeIsReportedAndNothingLooksLikeARecording) {
    fakeUi.folder = dir.path() + "/missing/";
    Rec();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.rfind("save error\n\u3000" + fakeUi.folder + "0001_", 0), 0u)
        << boxes.shown()[0].text;
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Error);
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_FALSE(dlg->m_bSyncView);
    EXPECT_NE(side.live.buttons[IDC_LIVE_REC].caption, "Stop");
    EXPECT_TRUE(fakeUi.maximiseAllowed);
    EXPECT_TRUE(side.live.buttons[IDC_LIVE_SYNCVIEW].enabled);
}

TEST_F(RecorderPortTest, AFailedWriteIsReportedOnceAndEndsTheRecordingWithoutAPartialFile) {
    Rec();
    Record(2);
    platform::SetWriteFaultHook(
        [](const std::string& path) { return path.find("/rec/") != std::string::npos; });
    ASSERT_TRUE(RunUntil([&] { return Shown("error camera"); }, "the \"error camera\" message"));
    ui.RunPending();
    const auto errors = std::count_if(boxes.shown().begin(), boxes.shown().end(),
                                      [](const auto& b) { return b.text.rfind("error camera(", 0) == 0; });
    EXPECT_EQ(errors, 1);
    EXPECT_NE(boxes.shown()[0].text.find("\nThere is not enough free space on the disk."), std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_EQ(g_pCaptureRecorder, nullptr);  // ended as REC ends a view-only recording
    EXPECT_EQ(side.live.buttons[IDC_LIVE_REC].caption, "REC");
    EXPECT_TRUE(Files().empty());  // the AVI could not be finished: removed, and no MP4
}

TEST_F(RecorderPortTest, AFailedTranscodeKeepsTheAviAndSaysSo) {
    transcodeWorks = false;
    Rec();
    Record();
    Rec();
    const auto files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].substr(files[0].size() - 14), "_clip_temp.avi");
    ASSERT_FALSE(boxes.shown().empty());
    EXPECT_EQ(boxes.shown().back().text.rfind("save error\n\u3000" + recordings + files[0], 0), 0u)
        << boxes.shown().back().text;
}

TEST_F(RecorderPortTest, SelectKeepsTheChosenCompressorForEveryRecordingWhileSyncViewIsOn) {
    fakeUi.quality = recorder::kQualitySelect;
    port->ToggleCamera();
    ASSERT_NE(g_pCaptureRecorder, nullptr);
    for (int i = 0; i < 2; ++i) {
        Rec();
        Record(2);
        Rec();
    }
    EXPECT_EQ(fakeUi.compressorChoices, 1);
    EXPECT_TRUE(rows.empty());
    const auto files = Files();
    ASSERT_EQ(files.size(), 2u);
    for (const std::string& f : files) {
        // Two recordings within one second: the second gets "_2".
        EXPECT_TRUE(f.ends_with("_clip.avi") || f.ends_with("_clip_2.avi")) << f;
        EXPECT_GT(fs::file_size(recordings + f), 1000u) << f;
    }
}

TEST_F(RecorderPortTest, NoCameraIsReportedAndSyncViewStaysOff) {
    testsupport::ScopedEnv noCamera{"TORVIK_CAMERA", "none-such"};
    port->ToggleCamera();
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_FALSE(dlg->m_bSyncView);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "no camera");
}

TEST_F(RecorderPortTest, SwitchingSyncViewOffWhileAStopRunsWaitsForTheStop) {
    port->ToggleCamera();
    Rec();
    Record(2);
    // Something handled during the stop switches SyncView off: the recorder must outlive its Stop.
    bool stillThere = false;
    fakeUi.onEncoding = [&] {
        port->ToggleCamera();
        stillThere = g_pCaptureRecorder != nullptr;
    };
    Rec();
    EXPECT_TRUE(stillThere);
    EXPECT_EQ(g_pCaptureRecorder, nullptr);  // deleted once the stop was done
    EXPECT_FALSE(dlg->m_bSyncView);
    EXPECT_EQ(rows, std::vector<int>{0});
    EXPECT_EQ(Files().size(), 1u);
}

// A recording's limit or failed-write notice still queued when REC has ended that recording
// and started the next (a REC pressed during the encode runs before posted work) belongs to
// the ended one: it must not end the next. The failure is still reported.
TEST_F(RecorderPortTest, ANoticeOfAnEndedRecordingLeavesTheNextOneRunning) {
    const struct {
        const char* cause;
        bool failWrite;
    } cases[] = {{"the limit", false}, {"a failed write", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cause);
        limitFrames = c.failWrite ? recorder::kRecordLimitFrames : 26;  // two seconds
        port->ToggleCamera();  // SyncView: one recorder for both recordings
        ASSERT_NE(g_pCaptureRecorder, nullptr);
        dlg->ExecCommand(kCmdPrintRecord);
        ASSERT_EQ(port->State(), 1);
        if (c.failWrite)
            platform::SetWriteFaultHook(
                [](const std::string& path) { return path.find("/rec/") != std::string::npos; });
        ASSERT_TRUE(testsupport::WaitUntil([&] { return ui.PendingCount() > 0; },
                                           std::string("the first recording's notice of ") + c.cause));
        platform::SetWriteFaultHook({});
        dlg->ExecCommand(kCmdPrintRecord);
        ASSERT_EQ(port->State(), 0);
        // The second recording's writer waits in its first write, so it reaches no limit of its
        // own; a stop lets it go.
        written.hold = true;
        fakeUi.onEncoding = [&] { written.hold = false; };
        const int entered = written.entered;
        dlg->ExecCommand(kCmdPrintRecord);
        ASSERT_EQ(port->State(), 1);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return written.entered > entered; },
                                           "the second recording's first write"));
        ASSERT_LT(g_pCaptureRecorder->FrameClock(), limitFrames) << "the second recording began at its limit";
        ui.RunPending();
        EXPECT_EQ(port->State(), 1) << "the first recording's notice ended the second";
        EXPECT_EQ(Shown("error camera"), c.failWrite);
        written.hold = false;
        fakeUi.onEncoding = {};
        if (port->State() == 1)
            Rec();
        port->ToggleCamera();
        ASSERT_EQ(g_pCaptureRecorder, nullptr);
    }
}

// Quitting while SyncView records: the recording is stopped as REC would stop it (written
// out, transcoded, a failure said) before the recorder is deleted, so a quit never leaves a
// half-written AVI in place of the clip.
TEST_F(RecorderPortTest, QuitDuringASyncViewRecordingFinishesTheClipBeforeTheRecorderGoes) {
    ASSERT_NO_FATAL_FAILURE(RecordAndQuit());
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_EQ(fakeUi.encodings, 1);
    EXPECT_EQ(rows.size(), 1u);
    const auto files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].ends_with("_clip.mp4")) << files[0];
    EXPECT_EQ(boxes.shown().size(), 1u);  // the Quit question only
}

TEST_F(RecorderPortTest, QuitDuringARecordingWhoseTranscodeFailsKeepsTheAviAndSaysSo) {
    transcodeWorks = false;
    ASSERT_NO_FATAL_FAILURE(RecordAndQuit());
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_EQ(rows.size(), 1u);
    const auto files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].ends_with("_clip_temp.avi")) << files[0];
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown().back().text.rfind("save error\n\u3000" + recordings + files[0], 0), 0u)
        << boxes.shown().back().text;
}

// The caption's depth comes from the main window's one depth function: trunc(470 / (470 / d))
// showed 108 for 109 mm.
TEST(RecorderCaption, DepthIsTheMainWindowsDepth) {
    CImageProc proc;
    proc.SetProbeGeometry(LinearProbeGeometry(ProbeTypeLinear, 1024, 128, 0, true, 38.0, 38.0, 120.0));
    for (int depth : {109, 111, 115, 90}) {
        proc.SetDepth(depth);
        EXPECT_EQ(CaptionValuesOf(proc).depth, depth) << depth;
    }
}
