// Recordings written by the export code's AVI writer and transcoder, decoded back with
// libavformat and libavcodec: the reserved name is filled (never a recording replaced), each
// frame keeps its clock number with gaps left empty, and a three-second SyncView recording
// with the simulated camera becomes a 960 x 480 Baseline MP4 of about three seconds with the
// image on the left and the camera on the right.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "archive/export/Mp4Transcode.h"
#include "archive/recorder/AviFrameSink.h"
#include "archive/recorder/RecordingFiles.h"
#include "archive/recorder/RecordingSession.h"
#include "platform/camera/SimulatedCamera.h"
#include "tests/export/DecodeBack.h"
#include "tests/recorder/WatchedSink.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

recorder::RecordingName NameIn(const std::string& folder) {
    recorder::RecordingName name;
    name.folder = folder;
    name.patientId = "0001";
    name.fileName = "clip";
    name.stamp = {2020, 8, 4, 20, 12, 34, 56, 0};
    return name;
}

std::vector<uint8_t> SolidFrame(int width, uint8_t b, uint8_t g, uint8_t r) {
    std::vector<uint8_t> frame(static_cast<size_t>(width) * 480 * 3);
    for (size_t i = 0; i < frame.size(); i += 3) {
        frame[i] = b;
        frame[i + 1] = g;
        frame[i + 2] = r;
    }
    return frame;
}

}  // namespace

TEST(AviRecording, TheReservedNameIsFilledAndSkippedClockTicksStayEmpty) {
    testsupport::TempDir dir;
    recorder::RecordingPaths paths;
    std::string error;
    ASSERT_TRUE(recorder::CreateRecordingFile(NameIn(dir.path()), paths, error)) << error;
    auto sink = recorder::AviSinkFactory()(paths.avi, 960, error);
    ASSERT_TRUE(sink) << error;
    for (int index : {0, 1, 4})
        ASSERT_EQ(sink->WriteFrame(index, SolidFrame(960, 200, 100, 50), error), 0) << error;
    struct stat st {};
    ASSERT_EQ(::stat(paths.avi.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the reserved name of patient video";
    ASSERT_TRUE(sink->Close(error)) << error;
    // Closed, the AVI waits under the writer's temporary name until it is placed.
    ASSERT_FALSE(sink->CompletedPath().empty());
    EXPECT_EQ(::stat(sink->CompletedPath().c_str(), &st), 0);
    ASSERT_TRUE(sink->Place(error)) << error;
    sink.reset();

    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
              1);  // no temp left
    ASSERT_EQ(::stat(paths.avi.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const exporttest::DecodedVideo v = exporttest::DecodeVideo(paths.avi, true);
    ASSERT_EQ(v.status, 0);
    EXPECT_EQ(v.codec, "rawvideo");
    EXPECT_EQ(v.width, 960);
    EXPECT_EQ(v.height, 480);
    EXPECT_EQ(v.timeBaseNum, 1);
    EXPECT_EQ(v.timeBaseDen, 13);
    EXPECT_EQ(v.packets, 3);
    EXPECT_NEAR(v.durationSeconds, 5.0 / 13.0, 1e-6);
    const exporttest::MeanRgb m = exporttest::MeanColour(v.lastColourFrame, 0, 0, 960, 480);
    EXPECT_NEAR(m.r, 50, 1);
    EXPECT_NEAR(m.g, 100, 1);
    EXPECT_NEAR(m.b, 200, 1);
}

TEST(AviRecording, AFileThatIsNotAnEmptyReservationIsNeverReplaced) {
    testsupport::TempDir dir;
    const std::string path = dir / "taken.avi";
    std::ofstream(path) << "a recording";
    std::string error;
    EXPECT_FALSE(recorder::AviSinkFactory()(path, 480, error));
    EXPECT_EQ(error, "A file of that name already exists.");
    std::ifstream in(path);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "a recording");
}

TEST(AviRecording, AThreeSecondSyncViewRecordingDecodesWithImageLeftAndCameraRight) {
    testsupport::TempDir dir;
    camera::SimulatedCamera cam(false);
    ASSERT_TRUE(cam.SetFormat({camera::kFourccYuyv, 640, 480}));
    ASSERT_TRUE(cam.Start());
    ASSERT_TRUE(cam.WaitForFirstSample(testsupport::kPatience));

    recordertest::WrittenFrames written;
    recorder::RecordingSession session(recordertest::Watched(recorder::AviSinkFactory(), written),
                                       [](const recorder::WriteFailure& f) { ADD_FAILURE() << f.reason; });
    session.SetCamera(&cam);
    session.PublishView(Image32(480, 480, 0x909090));  // the image area's render
    recorder::SessionSetup setup;
    setup.folder = dir.path();
    setup.patientId = "0001";
    setup.fileName = "sync";
    setup.withCamera = true;
    const recorder::OpenOutcome open = session.Open(setup, {2020, 8, 4, 20, 12, 34, 56, 0});
    ASSERT_TRUE(open.ok) << open.reason;
    // Three seconds are 39 frame-clock ticks; a loaded machine may write the last one late.
    const bool threeSeconds =
        testsupport::WaitUntil([&] { return written.lastIndex >= 38; }, "a frame written at three seconds");
    const recorder::FinishOutcome done = session.Stop(recorder::Mp4Transcoder());
    cam.Stop();
    ASSERT_TRUE(threeSeconds);
    ASSERT_EQ(done.problem, recorder::FinishProblem::None) << done.reason;
    EXPECT_TRUE(done.resultPath.ends_with("0001_20200820_123456_sync.mp4")) << done.resultPath;
    EXPECT_FALSE(fs::exists(open.path));  // the temporary AVI is gone

    const exporttest::DecodedVideo v = exporttest::DecodeVideo(done.resultPath, true);
    ASSERT_EQ(v.status, 0);
    EXPECT_EQ(v.codec, "h264");
    EXPECT_EQ(v.profile & 0xFF, 66);  // Baseline (x264 flags it constrained)
    EXPECT_EQ(v.width, 960);
    EXPECT_EQ(v.height, 480);
    // Frames stand at their clock times: the file lasts to the last frame written.
    EXPECT_NEAR(v.durationSeconds, (done.stop.lastIndex + 1) / 13.0, 0.2) << done.stop.lastIndex;
    const exporttest::MeanRgb left = exporttest::MeanColour(v.lastColourFrame, 0, 0, 480, 480);
    EXPECT_NEAR(left.r, 0x90, 8);
    EXPECT_NEAR(left.g, 0x90, 8);
    // The camera's pattern is mostly its background colour, with the block and the text on it.
    const exporttest::MeanRgb right = exporttest::MeanColour(v.lastColourFrame, 480, 0, 960, 360);
    EXPECT_NEAR(right.r, (camera::kSimBackground >> 16) & 0xFF, 40);
    EXPECT_NEAR(right.g, (camera::kSimBackground >> 8) & 0xFF, 40);
    EXPECT_NEAR(right.b, camera::kSimBackground & 0xFF, 40);
    EXPECT_GT(right.b, right.r + 60);  // blue, and upright or not, not the grey of the left half
}
