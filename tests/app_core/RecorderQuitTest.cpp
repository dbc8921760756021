// Quitting the main window while SyncView records: the recording is stopped as REC would
// stop it (written out, transcoded, a failure said) before the recorder is deleted, so a
// quit never leaves a half-written AVI in place of the clip.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "CoreFixture.h"
#include "app/core/CaptureRecorder.h"
#include "app/core/RecorderPort.h"
#include "platform/camera/SimulatedCamera.h"

using namespace coretest;
using namespace maindlg;
namespace fs = std::filesystem;

namespace {

class NullPreviewHost : public recorder::ICameraPreviewHost {
public:
    void CreatePreview(const camera::ICamera&, const recorder::PreviewPlacement&) override {}
    void PlacePreview(const recorder::PreviewPlacement&) override {}
    void ShowPreview(bool) override {}
    void DestroyPreview() override {}
};

class QuitRecorderUi : public IRecorderUi {
public:
    int RunRecordingDialog(const RecordingDialogRequest& request, RecordingDialogResult& result) override {
        result.folder = folder;
        result.fileName = "clip";
        result.camera = request.cameras.empty() ? "" : request.cameras.front();
        result.quality = recorder::kQualityHigh;
        return kRecordingDialogOk;
    }
    bool ChooseCompressor(exportfile::VideoCodecChoice&) override { return false; }
    recorder::ICameraPreviewHost* PreviewHost() override { return &preview; }
    void SetMaximiseAllowed(bool) override {}
    int Enlargement() const override { return 0; }
    void BeginEncoding() override { ++encodings; }
    void EncodingProgress(int) override {}
    void EndEncoding() override {}
    Image32 RenderImageArea() override { return Image32(480, 480, 0x808080); }
    Image32 CaptionIcon() override { return {}; }

    std::string folder;
    int encodings = 0;
    NullPreviewHost preview;
};

class RecorderQuitTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        recordings = dir.path() + "/rec/";
        fs::create_directories(recordings);
        fakeUi.folder = recordings;
        Attach();
        port = std::make_unique<CRecorderPort>(fakeUi, [this](IRecorderUi& u) {
            return new CCaptureRecorder(u, {}, [this](std::function<void(int)>) -> recorder::Transcoder {
                return [this](const std::string& avi, const std::string& mp4, int, std::string& error) {
                    ++transcodes;
                    if (!transcodeWorks) {
                        error = "no encoder";
                        return false;
                    }
                    std::ofstream(mp4) << "mp4 of " << avi;
                    return true;
                };
            });
        });
        MainDlgPorts ports = side.Ports();
        ports.recorder = port.get();
        InitWith(ports, [this](CKALVEXDlg& d) { port->Attach(&d, &side.live); });
        Unfreeze();
    }
    void TearDown() override {
        CoreTest::TearDown();
        port.reset();
    }
    // SyncView on, REC, frames drawn until the writer has written one, then Quit answered with OK.
    void RecordAndQuit() {
        port->ToggleCamera();
        ASSERT_NE(g_pCaptureRecorder, nullptr);
        dlg->ExecCommand(kCmdPrintRecord);
        ASSERT_EQ(port->State(), 1);
        // The writer's clock moves at the start of each of its steps, one after another: once it
        // has moved past a value of 1 or more, the step that wrote the first frame is done.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        for (int first = -1;;) {
            ASSERT_TRUE(Step(1));
            const int clock = g_pCaptureRecorder->FrameClock();
            if (first >= 1 && clock > first)
                break;
            if (first < 1 && clock >= 1)
                first = clock;
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the writer wrote no frame";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        dlg->ExecCommand(kCmdQuit);
        ASSERT_TRUE(dlg->m_bClosed);
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(recordings))
            names.push_back(e.path().filename().string());
        return names;
    }

    testsupport::ScopedEnv simCamera{"TORVIK_CAMERA", "sim"};
    std::string recordings;
    QuitRecorderUi fakeUi;
    std::unique_ptr<CRecorderPort> port;
    int transcodes = 0;
    bool transcodeWorks = true;
};

}  // namespace

TEST_F(RecorderQuitTest, QuitDuringASyncViewRecordingFinishesTheClipBeforeTheRecorderGoes) {
    ASSERT_NO_FATAL_FAILURE(RecordAndQuit());
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_EQ(fakeUi.encodings, 1);
    EXPECT_EQ(transcodes, 1);
    const auto files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].ends_with("_clip.mp4")) << files[0];
    EXPECT_EQ(boxes.shown().size(), 1u);  // the Quit question only
}

TEST_F(RecorderQuitTest, QuitDuringARecordingWhoseTranscodeFailsKeepsTheAviAndSaysSo) {
    transcodeWorks = false;
    ASSERT_NO_FATAL_FAILURE(RecordAndQuit());
    EXPECT_EQ(g_pCaptureRecorder, nullptr);
    EXPECT_EQ(transcodes, 1);
    const auto files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].ends_with("_clip_temp.avi")) << files[0];
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown().back().text.rfind("save error\n\u3000" + recordings + files[0], 0), 0u)
        << boxes.shown().back().text;
}
