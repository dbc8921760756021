#include <gtest/gtest.h>

#include "archive/recorder/RecorderCamera.h"
#include "tests/camera/FakeV4l2.h"
#include "tests/support/TestSupport.h"

using camera::CameraFormat;
using camtest::FakeNode;
using camtest::FakeV4l2;

namespace {

FakeNode Node(std::vector<std::pair<uint32_t, uint32_t>> yuyvSizes, int pictures, uint32_t w, uint32_t h) {
    FakeNode n;
    n.path = "/dev/video0";
    n.card = "USB Camera";
    n.formats = {{V4L2_PIX_FMT_YUYV, std::move(yuyvSizes)}};
    n.pictures.assign(static_cast<size_t>(pictures),
                      std::vector<uint8_t>(static_cast<size_t>(w * h * 2), 128));
    return n;
}

class ScopedIo {
public:
    explicit ScopedIo(FakeV4l2& io) : env_("TORVIK_CAMERA", std::nullopt) {
        camera::SetV4l2IoForTesting(&io);
    }
    ~ScopedIo() { camera::SetV4l2IoForTesting(nullptr); }

private:
    testsupport::ScopedEnv env_;
};

}  // namespace

TEST(RecorderCamera, TheSimulatedCameraStartsIn4By3OrItsFirstWideFormat) {
    for (const auto& [source, expected] :
         {std::pair{"sim", CameraFormat{camera::kFourccYuyv, 640, 480}},
          std::pair{"sim-wide", CameraFormat{camera::kFourccYuyv, 640, 360}}}) {
        testsupport::ScopedEnv env("TORVIK_CAMERA", std::string(source));
        std::string error;
        auto cam = recorder::StartRecorderCamera("Simulated Camera", error);
        ASSERT_NE(cam, nullptr) << error;
        EXPECT_EQ(cam->Format(), expected);
        camera::CameraSample s;
        EXPECT_TRUE(cam->LatestSample(s));
        EXPECT_EQ(recorder::StartRecorderCamera("USB Camera", error), nullptr);
        EXPECT_NE(error.find("no such camera"), std::string::npos);
    }
}

TEST(RecorderCamera, ADeviceWithoutAFittingFormatKeepsItsOwn) {
    FakeV4l2 io({Node({{320, 240}, {176, 144}}, 2, 320, 240)});
    ScopedIo scoped(io);
    std::string error;
    auto cam = recorder::StartRecorderCamera("USB Camera", error);
    ASSERT_NE(cam, nullptr) << error;
    EXPECT_EQ(cam->Format(), (CameraFormat{camera::kFourccYuyv, 320, 240}));
}

TEST(RecorderCamera, AFailedBuildSaysWhyAndLeavesNothingOpen) {
    struct Case {
        const char* what;
        FakeNode node;
        const char* errorText;
    };
    FakeNode busy = Node({{640, 480}}, 2, 640, 480);
    busy.ioctlErrors[VIDIOC_STREAMON] = EBUSY;
    FakeNode otherSize = Node({{640, 480}}, 2, 640, 480);
    otherSize.sFmtAnswer = std::pair<uint32_t, uint32_t>{320, 240};
    FakeNode silent = Node({{640, 480}}, 0, 640, 480);
    FakeNode busyOpen = Node({{640, 480}}, 2, 640, 480);
    busyOpen.openError = EBUSY;
    for (const Case& c : {Case{"busy", busy, "in use"}, Case{"another size", otherSize, "answered 320x240"},
                          Case{"no pictures", silent, "sends no pictures"},
                          Case{"a node that cannot be opened is not listed", busyOpen, "no such camera"}}) {
        SCOPED_TRACE(c.what);
        FakeV4l2 io({c.node});
        ScopedIo scoped(io);
        std::string error;
        EXPECT_EQ(recorder::StartRecorderCamera("USB Camera", error, std::chrono::milliseconds(50)), nullptr);
        EXPECT_NE(error.find(c.errorText), std::string::npos) << error;
        EXPECT_EQ(io.openFds, 0);
        EXPECT_EQ(io.mappings, 0);
    }
}

TEST(RecorderCamera, ThePreviewSitsBesideTheImageWithTheCamerasAspect) {
    struct Case {
        int enlargement, w, h;
        recorder::PreviewPlacement expected;
    };
    for (const Case& c : {Case{0, 640, 480, {908, 372, 240, 180}}, Case{200, 640, 360, {1108, 372, 240, 135}},
                          Case{0, 0, 0, {908, 372, 240, 0}}}) {
        const recorder::PreviewPlacement p = recorder::PreviewPlacementFor(c.enlargement, c.w, c.h);
        EXPECT_EQ(std::tie(p.x, p.y, p.width, p.height),
                  std::tie(c.expected.x, c.expected.y, c.expected.width, c.expected.height));
    }
}
