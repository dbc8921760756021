#include <gtest/gtest.h>

#include <functional>

#include "platform/camera/Camera.h"
#include "platform/camera/FrameConverter.h"
#include "platform/camera/V4l2Camera.h"
#include "tests/camera/FakeV4l2.h"
#include "tests/camera/TestPictures.h"
#include "tests/support/TestSupport.h"

using camera::CameraFormat;
using camera::CameraSample;
using camtest::Bgr;
using camtest::FakeNode;
using camtest::FakeV4l2;
using camtest::JpegPicture;

namespace {

struct Yuv {
    uint8_t y, u, v;
};
// Limited-range BT.601, as webcams send it.
constexpr Yuv kYuvRed{81, 90, 240};
constexpr Yuv kYuvBlue{41, 240, 110};

// A picture whose top half is `top` and bottom half `bottom`.
std::vector<uint8_t> YuyvPicture(int w, int h, Yuv top, Yuv bottom) {
    std::vector<uint8_t> p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; x += 2) {
            const Yuv c = y < h / 2 ? top : bottom;
            p.insert(p.end(), {c.y, c.u, c.y, c.v});
        }
    return p;
}

// The sample's pixel (x, y) with y counted from the top of the picture as seen.
Bgr PixelSeen(const CameraSample& s, int x, int ySeen) {
    const uint8_t* p = s.bgr.data() + (static_cast<size_t>(s.height - 1 - ySeen) * s.width + x) * 3;
    return {p[0], p[1], p[2]};
}

void ExpectNear(Bgr got, Bgr want, int tolerance, const char* where) {
    EXPECT_NEAR(got.b, want.b, tolerance) << where;
    EXPECT_NEAR(got.g, want.g, tolerance) << where;
    EXPECT_NEAR(got.r, want.r, tolerance) << where;
}

FakeNode CaptureNode(std::string card = "USB Camera") {
    FakeNode n;
    n.path = "/dev/video0";
    n.card = std::move(card);
    n.formats = {{V4L2_PIX_FMT_YUYV, {{640, 480}, {320, 240}, {16, 8}}},
                 {V4L2_PIX_FMT_RGB24, {{640, 480}}},
                 {V4L2_PIX_FMT_MJPEG, {{1280, 720}, {32, 16}}}};
    return n;
}

class ScopedIo {
public:
    explicit ScopedIo(FakeV4l2& io) { camera::SetV4l2IoForTesting(&io); }
    ~ScopedIo() { camera::SetV4l2IoForTesting(nullptr); }
};

}  // namespace

TEST(V4l2Devices, ListsCaptureNodesOnlyByTheirCardNames) {
    FakeNode metadata = CaptureNode();
    metadata.path = "/dev/video1";
    metadata.deviceCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;
    FakeNode locked = CaptureNode("Locked");
    locked.path = "/dev/video2";
    locked.openError = EACCES;
    // 32 bytes with a two-byte character cut after its first byte.
    FakeNode second = CaptureNode(std::string(31, 'k') + "\xC3\x9C");
    second.path = "/dev/video3";
    FakeNode grabber = CaptureNode(
        "Kamera \xC3\x9C"
        "ber");
    grabber.path = "/dev/video4";
    FakeV4l2 io({CaptureNode(), metadata, locked, second, grabber});
    ScopedIo scoped(io);
    testsupport::ScopedEnv env("TORVIK_CAMERA", std::nullopt);

    EXPECT_EQ(camera::EnumerateCameraNames(), (std::vector<std::string>{"USB Camera", std::string(31, 'k'),
                                                                        "Kamera \xC3\x9C"
                                                                        "ber"}));
    EXPECT_EQ(io.openFds, 0);
    EXPECT_EQ(camera::OpenCamera("No Such Camera"), nullptr);
}

TEST(V4l2Devices, SimulatedCameraReplacesTheDevicesWhenAsked) {
    FakeV4l2 io({CaptureNode()});
    ScopedIo scoped(io);
    for (const char* value : {"sim", "sim-wide"}) {
        testsupport::ScopedEnv env("TORVIK_CAMERA", std::string(value));
        EXPECT_EQ(camera::EnumerateCameraNames(), std::vector<std::string>{"Simulated Camera"});
        EXPECT_EQ(camera::OpenCamera("USB Camera"), nullptr);
        auto sim = camera::OpenCamera("Simulated Camera");
        ASSERT_NE(sim, nullptr);
        int wide = 0;
        for (const CameraFormat& f : sim->Capabilities())
            wide += f.width * 9 == f.height * 16;
        EXPECT_EQ(wide == static_cast<int>(sim->Capabilities().size()), std::string(value) == "sim-wide");
    }
}

TEST(V4l2Camera, OffersYuyvAndMjpegSizesInDeviceOrder) {
    FakeV4l2 io({CaptureNode()});
    camera::V4l2Camera cam(io, {"/dev/video0", "USB Camera"});
    ASSERT_TRUE(cam.Open());
    EXPECT_EQ(cam.Capabilities(), (std::vector<CameraFormat>{{camera::kFourccYuyv, 640, 480},
                                                             {camera::kFourccYuyv, 320, 240},
                                                             {camera::kFourccYuyv, 16, 8},
                                                             {camera::kFourccMjpeg, 1280, 720},
                                                             {camera::kFourccMjpeg, 32, 16}}));
}

TEST(V4l2Camera, ABusyOrDisagreeingDeviceFailsTheBuildAndLeavesNothingBehind) {
    struct Case {
        const char* what;
        int openError;
        unsigned long failingRequest;
        std::optional<std::pair<uint32_t, uint32_t>> answer;
        const char* errorText;
    };
    for (const Case& c :
         {Case{"busy at open", EBUSY, 0, std::nullopt, "in use"},
          Case{"busy at set format", 0, VIDIOC_S_FMT, std::nullopt, "in use"},
          Case{"busy at stream on", 0, VIDIOC_STREAMON, std::nullopt, "in use"},
          Case{"no buffers", 0, VIDIOC_REQBUFS, std::nullopt, "request buffers"},
          Case{"another size", 0, 0, std::pair<uint32_t, uint32_t>{320, 240}, "answered 320x240"}}) {
        SCOPED_TRACE(c.what);
        FakeNode node = CaptureNode();
        node.openError = c.openError;
        if (c.failingRequest)
            node.ioctlErrors[c.failingRequest] = EBUSY;
        node.sFmtAnswer = c.answer;
        FakeV4l2 io({node});
        {
            camera::V4l2Camera cam(io, {"/dev/video0", "USB Camera"});
            const bool built = cam.Open() && cam.SetFormat({camera::kFourccYuyv, 640, 480}) && cam.Start();
            EXPECT_FALSE(built);
            EXPECT_NE(cam.LastError().find(c.errorText), std::string::npos) << cam.LastError();
            CameraSample s;
            EXPECT_FALSE(cam.LatestSample(s));
            if (c.answer) {
                EXPECT_EQ(cam.Format(), CameraFormat{});
            }
        }
        EXPECT_EQ(io.openFds, 0);
        EXPECT_EQ(io.mappings, 0);
    }
}

TEST(V4l2Camera, ConvertsYuyvAndMjpegToUprightBgrRows) {
    struct Case {
        CameraFormat format;
        std::vector<uint8_t> picture;
        int tolerance;
    };
    const Bgr red{0, 0, 255}, blue{255, 0, 0};
    for (const Case& c : {Case{{camera::kFourccYuyv, 16, 8}, YuyvPicture(16, 8, kYuvRed, kYuvBlue), 6},
                          Case{{camera::kFourccMjpeg, 32, 16}, JpegPicture(32, 16, red, blue), 24}}) {
        SCOPED_TRACE(c.format.fourcc == camera::kFourccYuyv ? "YUYV" : "MJPEG");
        FakeNode node = CaptureNode();
        node.pictures = {c.picture};
        FakeV4l2 io({node});
        camera::V4l2Camera cam(io, {"/dev/video0", "USB Camera"});
        ASSERT_TRUE(cam.Open() && cam.SetFormat(c.format) && cam.Start()) << cam.LastError();
        ASSERT_TRUE(cam.WaitForFirstSample(testsupport::kPatience));
        CameraSample s;
        ASSERT_TRUE(cam.LatestSample(s));
        ASSERT_EQ(s.width, c.format.width);
        ASSERT_EQ(s.height, c.format.height);
        ASSERT_EQ(s.bgr.size(), static_cast<size_t>(s.width * s.height * 3));
        ExpectNear(PixelSeen(s, 1, 0), red, c.tolerance, "top left");
        ExpectNear(PixelSeen(s, s.width - 2, s.height - 1), blue, c.tolerance, "bottom right");
        cam.Stop();
        EXPECT_EQ(io.mappings, 0);
    }
}

TEST(V4l2Camera, KeepsTheLastGoodPictureWhenReadsFailOrTheCameraIsUnplugged) {
    FakeNode node = CaptureNode();
    const std::vector<uint8_t> good = JpegPicture(32, 16, {0, 0, 255}, {255, 0, 0});
    std::vector<uint8_t> damaged(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    node.pictures = {good, damaged, {0xFF, 0xD8, 0x00}, JpegPicture(16, 8, {0, 255, 0}, {0, 255, 0})};
    node.errorAfterPictures = ENODEV;
    FakeV4l2 io({node});
    camera::V4l2Camera cam(io, {"/dev/video0", "USB Camera"});
    ASSERT_TRUE(cam.Open() && cam.SetFormat({camera::kFourccMjpeg, 32, 16}) && cam.Start());
    ASSERT_TRUE(
        testsupport::WaitUntil([&] { return cam.LastError().find("disconnected") != std::string::npos; },
                               "the disconnection noticed"))
        << cam.LastError();
    EXPECT_EQ(io.dequeued, 4);
    CameraSample s;
    ASSERT_TRUE(cam.LatestSample(s));
    EXPECT_EQ(s.sequence, 1u);
    ExpectNear(PixelSeen(s, 1, 0), {0, 0, 255}, 24, "the good picture");
    cam.Stop();
    EXPECT_EQ(io.mappings, 0);
    ASSERT_TRUE(cam.LatestSample(s));  // still readable after the stop
}

TEST(V4l2Camera, AStreamWithoutPicturesIsNotABuiltCamera) {
    FakeV4l2 io({CaptureNode()});
    camera::V4l2Camera cam(io, {"/dev/video0", "USB Camera"});
    ASSERT_TRUE(cam.Open() && cam.SetFormat({camera::kFourccYuyv, 640, 480}) && cam.Start());
    EXPECT_FALSE(cam.WaitForFirstSample(std::chrono::milliseconds(50)));
    cam.Stop();
    EXPECT_EQ(io.mappings, 0);
}

TEST(FrameConverter, ReadsPackedAndPaddedYuyvRowsAndRefusesShortPictures) {
    const CameraFormat format{camera::kFourccYuyv, 16, 8};
    const std::vector<uint8_t> packed = YuyvPicture(16, 8, kYuvRed, kYuvBlue);
    std::vector<uint8_t> padded;
    for (int y = 0; y < 8; ++y) {
        padded.insert(padded.end(), packed.begin() + y * 32, packed.begin() + (y + 1) * 32);
        padded.insert(padded.end(), 8, 0x55);  // driver padding after each row
    }
    camera::FrameConverter converter;
    std::string error;
    for (const auto& [bytes, stride] :
         {std::pair{&packed, 0}, std::pair{static_cast<const std::vector<uint8_t>*>(&padded), 40}}) {
        CameraSample s{16, 8, 1, std::vector<uint8_t>(16 * 8 * 3)};
        ASSERT_TRUE(converter.Convert(format, bytes->data(), bytes->size(), s.bgr, error, stride)) << error;
        ExpectNear(PixelSeen(s, 0, 0), {0, 0, 255}, 6, "top");
        ExpectNear(PixelSeen(s, 15, 7), {255, 0, 0}, 6, "bottom");
    }
    std::vector<uint8_t> bgr(16 * 8 * 3);
    EXPECT_FALSE(converter.Convert(format, packed.data(), packed.size() - 1, bgr, error));
    EXPECT_NE(error.find("short"), std::string::npos);
    EXPECT_FALSE(converter.Convert(format, padded.data(), padded.size() - 9, bgr, error, 40));
}
