// The integer halftone stretch against the float one it replaced, on real B-mode frames of
// the simulated phantom with coloured overlays, at the enlarged view sizes of a maximised
// window, and on noise for shrinking and clipped rectangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "ReferenceStretch.h"
#include "imaging/FrameConverter.h"
#include "platform/draw/Raster.h"
#include "platform/draw/Scale.h"
#include "sim/SimPhantom.h"

namespace {

using draw::Rect;

// A frame as the view shows it: the phantom scan-converted to 480 x 480 grey, with a depth
// scale, a measurement line and the magnifier frame in colour on top.
Image32 PhantomView(bool convex, int depthMm) {
    using namespace usbdriver::sim;
    const SimPhantom phantom(convex ? SimScanGeometry::Convex() : SimScanGeometry::Linear(),
                             convex ? kConvexCompression : kLinearCompression, 716);
    std::vector<float> display(128 * 1024);
    phantom.RenderDisplay(5, depthMm, display.data());

    CFrameConverter converter;
    int** raw = converter.RawFrame(1024, 128);
    for (int l = 0; l < 128; ++l) {
        for (int s = 0; s < 1024; ++s)
            raw[l][s] =
                std::clamp(static_cast<int>(std::lround(display[static_cast<size_t>(l) * 1024 + s])), 0, 255);
    }
    FrameSettings settings;
    settings.params.gainBase = 50.0;  // gain and contrast leave the samples as they are
    settings.params.depth = depthMm;
    if (convex)
        settings.geometry.Apply(
            ConvexProbeGeometry(ProbeTypeConvex, 1024, 128, 0, true, 60.0, 60.0, 70.0, 240.0));
    else
        settings.geometry.Apply(LinearProbeGeometry(ProbeTypeLinear, 1024, 128, 0, true, 38.0, 38.0, 120.0));
    Image8 grey;
    converter.RawToBitmap(depthMm, 1, settings, grey);

    Image32 view(grey.width(), grey.height());
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x)
            view.At(x, y) = GreyPixel(grey.At(x, y));
    }
    for (int y = 20; y < 460; y += 37)
        draw::DrawLine(view, {470, y}, {478, y}, {MakePixel(255, 255, 0), 1});
    draw::DrawLine(view, {130, 140}, {310, 290}, {MakePixel(0, 255, 255), 1});
    draw::DrawRectangle(view, {60, 60, 160, 160}, draw::Pen{MakePixel(0, 255, 0), 1}, std::nullopt);
    return view;
}

Image32 Noise(int width, int height, uint32_t seed) {
    std::mt19937 rng(seed);
    Image32 image(width, height);
    for (size_t i = 0; i < image.size(); ++i)
        image.data()[i] = rng() & 0xFFFFFF;
    return image;
}

// The largest difference of one colour channel between two images of the same size.
int LargestDifference(const Image32& a, const Image32& b) {
    int largest = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const uint32_t p = a.data()[i];
        const uint32_t q = b.data()[i];
        largest = std::max({largest, std::abs(PixelR(p) - PixelR(q)), std::abs(PixelG(p) - PixelG(q)),
                            std::abs(PixelB(p) - PixelB(q))});
        if ((p | q) >> 24)
            return 256;  // nothing may reach the unused top byte
    }
    return largest;
}

struct Case {
    const char* name;
    Rect srcRect;
    Rect dstRect;
    int dstWidth;
    int dstHeight;
};

// The whole frame over the maximised views (B, the halves of BB and BM), and the magnifier's
// inset, which samples a part of the frame into a small square inside the view.
const Case kViewCases[] = {
    {"B 744", {0, 0, 480, 480}, {0, 0, 744, 744}, 744, 744},
    {"BB 744", {0, 0, 480, 480}, {0, 0, 372, 744}, 372, 744},
    {"B 941", {0, 0, 480, 480}, {0, 0, 941, 941}, 941, 941},
    {"BB 941", {0, 0, 480, 480}, {0, 0, 470, 941}, 470, 941},
    {"magnifier 744", {131, 95, 131 + 127, 95 + 127}, {474, 474, 742, 742}, 744, 744},
};

TEST(StretchHalftone, RealFramesAtMaximisedSizesStayWithinOneGreyLevelOfTheFloatStretch) {
    for (const bool convex : {true, false}) {
        const Image32 frame = PhantomView(convex, convex ? 150 : 60);
        std::vector<bool> levels(256);
        for (size_t i = 0; i < frame.size(); ++i)
            levels[PixelB(frame.data()[i])] = true;
        ASSERT_GT(std::count(levels.begin(), levels.end(), true), 150) << "the phantom frame has no picture";
        for (const Case& c : kViewCases) {
            SCOPED_TRACE(std::string(c.name) + (convex ? " convex" : " linear"));
            Image32 expected(c.dstWidth, c.dstHeight, 0x123456);
            Image32 actual = expected;
            reference::StretchHalftone(frame, c.srcRect, expected, c.dstRect);
            draw::StretchHalftone(frame, c.srcRect, actual, c.dstRect);
            EXPECT_LE(LargestDifference(actual, expected), 1);
            // Drawn again into the same buffer (the tables kept from the first), the same picture.
            Image32 again(c.dstWidth, c.dstHeight, 0x123456);
            draw::StretchHalftone(frame, c.srcRect, again, c.dstRect);
            EXPECT_EQ(again, actual);
        }
    }
}

TEST(StretchHalftone, ShrinkingAndClippedRectanglesStayWithinOneGreyLevelOfTheFloatStretch) {
    const Image32 noise = Noise(480, 480, 7);
    const Case cases[] = {
        {"thumbnail", {0, 0, 480, 480}, {0, 0, 96, 72}, 96, 72},
        {"half", {0, 0, 480, 480}, {0, 0, 240, 240}, 240, 240},
        {"odd shrink", {3, 5, 474, 401}, {0, 0, 137, 211}, 137, 211},
        {"wide and flat", {0, 0, 480, 480}, {0, 0, 900, 31}, 900, 31},
        {"clipped both", {-20, -20, 300, 200}, {-50, 40, 700, 400}, 600, 300},
        {"one pixel", {10, 10, 11, 11}, {0, 0, 5, 3}, 5, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image32 expected(c.dstWidth, c.dstHeight, 0x654321);
        Image32 actual = expected;
        reference::StretchHalftone(noise, c.srcRect, expected, c.dstRect);
        draw::StretchHalftone(noise, c.srcRect, actual, c.dstRect);
        EXPECT_LE(LargestDifference(actual, expected), 1);
    }
}

}  // namespace
