#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/camera/SimulatedCamera.h"
#include "tests/support/TestSupport.h"

using camera::CameraFormat;
using camera::CameraSample;

namespace {

uint32_t PixelSeen(const CameraSample& s, int x, int ySeen) {
    const uint8_t* p = s.bgr.data() + (static_cast<size_t>(s.height - 1 - ySeen) * s.width + x) * 3;
    return MakePixel(p[2], p[1], p[0]);
}

int WhitePixelsInRows(const CameraSample& s, int fromSeen, int toSeen) {
    int n = 0;
    for (int y = fromSeen; y < toSeen; ++y)
        for (int x = 0; x < s.width; ++x)
            n += PixelSeen(s, x, y) == 0xFFFFFF;
    return n;
}

}  // namespace

TEST(SimulatedCamera, OffersItsFormatsAndRefusesOthers) {
    camera::SimulatedCamera normal(false), wide(true);
    EXPECT_EQ(normal.Capabilities(), (std::vector<CameraFormat>{{camera::kFourccYuyv, 320, 240},
                                                                {camera::kFourccYuyv, 640, 480},
                                                                {camera::kFourccYuyv, 1280, 720}}));
    for (const CameraFormat& f : wide.Capabilities())
        EXPECT_EQ(f.width * 9, f.height * 16);
    EXPECT_FALSE(wide.SetFormat({camera::kFourccYuyv, 640, 480}));
    EXPECT_FALSE(normal.SetFormat({camera::kFourccMjpeg, 640, 480}));
    EXPECT_FALSE(normal.Start());  // no format yet
}

// The capture thread publishes while a reader copies and the owner stops it mid-stream.
TEST(SimulatedCamera, DeliversMovingUprightPicturesAtMost30PerSecondOnItsOwnThread) {
    camera::SimulatedCamera cam(false);
    ASSERT_TRUE(cam.SetFormat({camera::kFourccYuyv, 640, 480}));
    ASSERT_TRUE(cam.Start());
    ASSERT_TRUE(cam.WaitForFirstSample(testsupport::kPatience));

    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        CameraSample s;
        while (!done) {
            if (cam.LatestSample(s)) {
                EXPECT_EQ(s.bgr.size(), 640u * 480u * 3u);
                ++reads;
            }
        }
    });
    CameraSample first, later;
    ASSERT_TRUE(cam.LatestSample(first));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] { return cam.LatestSample(later) && later.sequence >= first.sequence + 3; },
        "three more pictures"));
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    cam.Stop();
    done = true;
    reader.join();
    EXPECT_GT(reads, 0);

    // Paced at 30 a second: never faster, whatever the machine's load.
    EXPECT_GE(later.sequence, first.sequence + 3);
    EXPECT_LE(static_cast<double>(later.sequence - first.sequence), elapsedMs / 33.3 + 2);
    EXPECT_NE(first.bgr, later.bgr);  // the pattern moves
    // Upright: the caption "SIMULATED CAMERA" is in the top eighth, the corners show the background.
    EXPECT_GT(WhitePixelsInRows(later, 0, 60), 200);
    EXPECT_EQ(PixelSeen(later, 2, 2), camera::kSimBackground);
    EXPECT_EQ(PixelSeen(later, 637, 477), camera::kSimBackground);

    CameraSample afterStop;
    ASSERT_TRUE(cam.LatestSample(afterStop));
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    CameraSample stillAfterStop;
    ASSERT_TRUE(cam.LatestSample(stillAfterStop));
    EXPECT_EQ(afterStop.sequence, stillAfterStop.sequence);
}
