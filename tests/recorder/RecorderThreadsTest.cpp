#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "archive/recorder/FrameComposer.h"
#include "archive/recorder/RecordingWriter.h"
#include "archive/recorder/SharedImage.h"
#include "platform/camera/SimulatedCamera.h"
#include "tests/support/TestSupport.h"

namespace {

// A sink that takes its time over each frame, so a stop lands during a write.
class SlowSink : public recorder::IFrameSink {
public:
    int WriteFrame(int index, const std::vector<uint8_t>& frame, std::string&) override {
        writing = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::lock_guard lock(mutex);
        if (closed)
            ADD_FAILURE() << "frame written after close";
        indices.push_back(index);
        sizes.push_back(frame.size());
        writing = false;
        return 0;
    }
    bool Close(std::string&) override {
        if (writing)
            ADD_FAILURE() << "closed during a write";
        std::lock_guard lock(mutex);
        closed = true;
        return true;
    }
    std::atomic<bool> writing{false};
    std::mutex mutex;
    std::vector<int> indices;
    std::vector<size_t> sizes;
    bool closed = false;
};

}  // namespace

// The writer, the UI thread's snapshot publisher and the simulated camera run together;
// the stop arrives while a frame is being written.
TEST(RecorderThreads, WriterPublisherAndCameraRunTogetherAndStopDuringAWrite) {
    camera::SimulatedCamera cam(false);
    ASSERT_TRUE(cam.SetFormat({camera::kFourccYuyv, 640, 480}));
    ASSERT_TRUE(cam.Start());
    ASSERT_TRUE(cam.WaitForFirstSample(testsupport::kPatience));

    recorder::SharedImage view, caption;
    caption.Publish(Image32(480, 120, 0x404040));
    std::atomic<bool> publishing{true};
    std::thread publisher([&] {
        Image32 image(480, 480);
        for (uint32_t n = 0; publishing; ++n) {
            image.Fill(n & 0xFFFFFF);
            view.Publish(image);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });

    SlowSink sink;
    recorder::FrameComposer composer(true);
    Image32 viewCopy, captionCopy;
    camera::CameraSample sample;
    recorder::RecordingWriter writer(
        sink,
        [&](std::vector<uint8_t>& frame) {
            view.Copy(viewCopy);
            caption.Copy(captionCopy);
            const bool haveCamera = cam.LatestSample(sample);
            composer.Compose(viewCopy, haveCamera ? &sample : nullptr, &captionCopy, frame);
        },
        [](const recorder::WriteFailure& f) { ADD_FAILURE() << f.reason; });
    writer.Start();
    // A stop that fails to come would leave the threads running: stop in any case.
    const bool wrote = testsupport::WaitUntil(
        [&] {
            std::lock_guard lock(sink.mutex);
            return sink.indices.size() >= 3;
        },
        "three frames written while the publisher and the camera run");
    const bool writing =
        wrote && testsupport::WaitUntil([&] { return sink.writing.load(); }, "the next write");
    const recorder::StopResult result = writer.Stop();
    publishing = false;
    publisher.join();
    cam.Stop();

    ASSERT_TRUE(wrote);
    ASSERT_TRUE(writing);
    EXPECT_FALSE(writer.Running());
    EXPECT_EQ(writer.State(), recorder::RecorderState::Stopped);
    EXPECT_TRUE(result.closed);
    std::lock_guard lock(sink.mutex);
    ASSERT_GE(sink.indices.size(), 3u);
    EXPECT_EQ(result.framesWritten, static_cast<int>(sink.indices.size()));
    EXPECT_EQ(result.lastIndex, sink.indices.back());
    for (size_t i = 1; i < sink.indices.size(); ++i)
        EXPECT_LT(sink.indices[i - 1], sink.indices[i]);
    for (size_t size : sink.sizes)
        EXPECT_EQ(size, 960u * 480u * 3u);
}

TEST(RecorderThreads, ASecondStopWaitsForTheFirstAndFindsNothingToDo) {
    SlowSink sink;
    recorder::RecordingWriter writer(
        sink, [](std::vector<uint8_t>& f) { f.assign(30, 1); }, [](auto&) {});
    writer.Start();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return sink.writing.load(); }, "the first write"));
    recorder::StopResult first, second;
    std::thread closer([&] { second = writer.Stop(); });
    first = writer.Stop();
    closer.join();
    EXPECT_NE(first.closed, second.closed);  // exactly one of them closed the file
    EXPECT_EQ(writer.State(), recorder::RecorderState::Stopped);
}
