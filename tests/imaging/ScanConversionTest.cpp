#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ImagingTestSupport.h"
#include "ReferenceImaging.h"
#include "imaging/FrameConverter.h"
#include "imaging/StcCurve.h"

using namespace imagingtest;

namespace {

ImagingParams Neutral() {
    ImagingParams p;
    p.gain = 100;  // gain offset 0, contrast factor 1
    return p;
}

// The viewer's defaults as the settings give them.
ImagingParams Defaults() {
    ImagingParams p;
    p.gainBase = -60.0;
    p.aveMode = 4;
    return p;
}

std::vector<int> Stc(const ScanGeometry& g, const StcKnots& knots) {
    std::vector<int> curve(static_cast<size_t>(g.samples), 0);
    const double seg = (g.samples - g.firstSample) / 10.0;
    if (g.splineStc) {
        MakeGainCurve(g.firstSample, curve.data(), g.samples, seg, knots);
    } else {
        MakeLinearStcCurve(g.firstSample, curve.data(), g.samples, seg, knots);
    }
    return curve;
}

const StcKnots kDeepPreset = {41, 32, 25, 19, 25, 39, 51, 52, 53, 37, 0};

}  // namespace

// A single echo of 200 on line 64, sample 512 of a linear probe 47 mm wide at 47 mm:
// 10 pixels per millimetre, margin 5, top offset 10, 470 / 1024 pixels per sample.
// Pixel (242, y = 245): line position 237 / 470 x 1024 = 516.357 (row 516 = line 64, row
// 517 = 7/8 of line 64), fraction 22/64; sample position 235 / (470 / 1024) = 512 exactly.
// a = 200 + 22/64 x (175 - 200) = 191.40625. Pixel (241, 245): position 514.178 (rows 514
// and 515 = 6/8 and 7/8 of line 64), fraction 11/64: 150 + 11/64 x 25 = 154.296875.
// Apex row 245 is display row 245 - 10 - 1 = 234.
TEST(ScanConversion, PointTargetLandsWhereTheFormulasPutIt) {
    ScanGeometry g;
    g.Apply(LinearProbeGeometry(ProbeTypeLinear, 1024, 128, 0, true, 47.0, 47.0, 120.0));
    auto frame = Blank();
    frame[64][512] = 200;
    FrameSettings settings;
    settings.params = Neutral();
    settings.geometry = g;

    CFrameConverter converter;
    Image8 image;
    Load(converter, frame);
    converter.RawToBitmap(47, 1, settings, image);
    EXPECT_EQ(image.At(242, 234), 191);
    EXPECT_EQ(image.At(241, 234), 154);
    EXPECT_EQ(image.At(242, 233), 0);  // sample position 509.8: the echo is not reached

    settings.params.invert = true;  // column x is drawn at 480 - x
    Load(converter, frame);
    converter.RawToBitmap(47, 1, settings, image);
    EXPECT_EQ(image.At(238, 234), 191);
    EXPECT_EQ(image.At(239, 234), 154);
    EXPECT_EQ(image.At(242, 234), 0);
}

// The fast converter against the plain transcription, frame by frame, over geometries,
// depths, paths and settings.
TEST(ScanConversion, MatchesThePlainReferenceBitForBit) {
    struct Case {
        std::string name;
        ScanGeometry geometry;
        std::vector<int> depths;  // one frame per depth
        std::function<void(ImagingParams&)> tune;
        StcKnots knots;
        double gamma = 1.0;
        int lines = 128;
        int samples = 1024;
    };
    const std::vector<Case> cases = {
        {"convex 225 defaults", Convex(), {225, 225, 225}, [](ImagingParams&) {}, kDeepPreset},
        {"convex 70, smooth, inverted, gamma",
         Convex(),
         {70, 70, 70},
         [](ImagingParams& p) {
             p.smooth = 0.5;
             p.invert = true;
         },
         kDeepPreset,
         0.7},
        {"convex depth change",
         Convex(),
         {225, 160, 160, 90},
         [](ImagingParams& p) { p.gain = 80; },
         kDeepPreset},
        {"convex 150 AVE AVE_Y 9, tilted M-line",
         Convex(),
         {150, 150},
         [](ImagingParams& p) {
             p.ave = p.aveY = true;
             p.aveMode = 9;
             p.mLineAngle = 4.4;
             p.smooth = 1.0;
         },
         kDeepPreset,
         1.6},
        {"convex 4 samples per line",
         Convex(1024, 256),
         {180, 180},
         [](ImagingParams&) {},
         kDeepPreset,
         1.0,
         256},
        // Default settings give whole-number samples, drawn in integer arithmetic.
        {"linear 38 defaults, inverted, gamma",
         Linear(),
         {38, 38, 60},
         [](ImagingParams& p) { p.invert = true; },
         {5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3},
         0.6},
        {"convex 70 defaults from sample 3, bright",
         Convex(1024, 128, 3),
         {70, 70},
         [](ImagingParams& p) { p.gainBase = 40.0; },
         kDeepPreset},
        {"convex 225, gain offset with a fraction",
         Convex(),
         {225, 225},
         [](ImagingParams& p) { p.gainBase = -60.5; },
         kDeepPreset},
        {"linear 38",
         Linear(),
         {38, 38},
         [](ImagingParams& p) { p.ave = true; },
         {5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3},
         1.3},
        {"linear 120 AVE mode 4 inverted",
         Linear(),
         {120, 120},
         [](ImagingParams& p) {
             p.ave = p.aveY = true;
             p.invert = true;
             p.contrast = 120;
         },
         {}},
        {"linear, longer lines than 8 x lines",
         Linear(38.0, 1030),
         {60, 60},
         [](ImagingParams&) {},
         {},
         1.0,
         128,
         1030},
        {"sector bilinear",
         ConvexEx(),
         {225, 225, 150},
         [](ImagingParams& p) { p.raw2Bitmap = 0; },
         kDeepPreset},
        {"sector bicubic from sample 3",
         ConvexEx(3),
         {200, 200},
         [](ImagingParams& p) {
             p.raw2Bitmap = 2;
             p.bicubic = true;
             p.bicubicA = -0.5;
             p.invert = true;
         },
         kDeepPreset,
         0.8},
        {"sector bilinear from sample 3",
         ConvexEx(3),
         {120},
         [](ImagingParams& p) { p.raw2Bitmap = 0; },
         kDeepPreset},
        // The sector path asked for where it cannot work: path 1 is drawn.
        {"sector refused on a plain convex probe",
         Convex(),
         {225},
         [](ImagingParams& p) { p.raw2Bitmap = 0; },
         kDeepPreset},
        {"linear with RAW2BITMAP 0", Linear(), {50}, [](ImagingParams& p) { p.raw2Bitmap = 0; }, {}},
        {"raw display", Convex(), {225}, [](ImagingParams& p) { p.rawDisp = true; }, kDeepPreset},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameSettings settings;
        settings.params = Defaults();
        c.tune(settings.params);
        settings.geometry = c.geometry;
        settings.stc = Stc(c.geometry, c.knots);
        ASSERT_TRUE(BuildGammaTable(c.gamma, settings.gamma));

        CFrameConverter fast;
        ReferenceImaging plain;
        Image8 image;
        for (size_t n = 0; n < c.depths.size(); ++n) {
            SCOPED_TRACE("frame " + std::to_string(n));
            const auto frame = Phantom(static_cast<uint32_t>(17 + n), c.lines, c.samples);
            const int count = static_cast<int>(n) + 1;
            Load(fast, frame);
            const ConvertResult got = fast.RawToBitmap(c.depths[n], count, settings, image);
            const ReferenceResult want = plain.Convert(frame, c.depths[n], count, settings.params, c.geometry,
                                                       settings.stc, settings.gamma);
            ASSERT_EQ(got.status, ConvertResult::Status::Converted);
            ASSERT_FALSE(want.overflow);
            ASSERT_GT(fast.DrawnPixelCount(), 20000u);
            size_t differing = 0;
            for (size_t i = 0; i < image.size(); ++i)
                differing += image.data()[i] != want.image.data()[i];
            EXPECT_EQ(differing, 0u);
            EXPECT_EQ(got.mline.column, want.mColumn);
            EXPECT_EQ(got.mline.hasPoint, want.mHasPoint);
            if (want.mHasPoint) {
                EXPECT_EQ(got.mline.firstRow, want.mFirstRow);
            }
        }
    }
}

// RAW2BITMAP 0 on a convex probe without a top-offset factor once meant an infinite top
// offset: the image is now the one of path 1, mark inside the image.
TEST(ScanConversion, RefusedSectorPathDrawsTheImageOfPathOne) {
    FrameSettings settings;
    settings.params = Defaults();
    settings.geometry = Convex();
    CFrameConverter one, zero;
    Image8 a, b;
    Load(one, Phantom(8));
    one.RawToBitmap(225, 1, settings, a);
    settings.params.raw2Bitmap = 0;
    Load(zero, Phantom(8));
    const ConvertResult r = zero.RawToBitmap(225, 1, settings, b);
    EXPECT_TRUE(a == b);
    EXPECT_EQ(r.depth.raw2Bitmap, 1);
    EXPECT_EQ(b.At(153, 5), 255);  // the mark's second row at column 152
}

TEST(ScanConversion, KernelParameterChangeRebuildsTheSectorCache) {
    FrameSettings settings;
    settings.params = Neutral();
    settings.params.raw2Bitmap = 0;
    settings.params.bicubic = true;
    settings.geometry = ConvexEx();
    CFrameConverter fast;
    ReferenceImaging plain;
    Image8 image;
    for (double a : {-1.0, -0.5, -0.75}) {
        settings.params.bicubicA = a;
        const auto frame = Phantom(5);
        Load(fast, frame);
        fast.RawToBitmap(225, 1, settings, image);
        const auto want =
            plain.Convert(frame, 225, 1, settings.params, settings.geometry, {}, settings.gamma);
        EXPECT_TRUE(image == want.image) << a;
    }
}

TEST(ScanConversion, FramesOfAnUnsupportedShapeStayBlackButKeepMarkAndScale) {
    FrameSettings settings;
    settings.params = Neutral();
    settings.geometry = Convex(1000, 128);  // 7.8 samples per line
    CFrameConverter converter;
    Image8 image;
    auto frame = Phantom(3, 128, 1000);
    Load(converter, frame);
    converter.RawToBitmap(225, 1, settings, image);
    EXPECT_EQ(converter.DrawnPixelCount(), 0u);
    EXPECT_EQ(image.At(240, 300), 0);
    EXPECT_EQ(image.At(240, 479), 255);    // centre tick
    EXPECT_EQ(image.At(152 + 1, 5), 255);  // the mark's second row
}

TEST(ScanConversion, ANewFrameSizeStartsANewRun) {
    // Frame correlation must never blend with a frame of another size (whose memory would
    // be stale): the first frame after a size change is taken as it is.
    FrameSettings settings;
    settings.params = Neutral();
    settings.params.smooth = 1.0;
    settings.geometry = Linear();
    CFrameConverter fast;
    ReferenceImaging plain;
    Image8 image;
    Load(fast, Phantom(1, 128, 1024));
    fast.RawToBitmap(60, 5, settings, image);
    plain.Convert(Phantom(1, 128, 1024), 60, 5, settings.params, settings.geometry, {}, settings.gamma);
    const auto smaller = Phantom(2, 64, 512);
    Load(fast, smaller);
    fast.RawToBitmap(60, 6, settings, image);
    EXPECT_TRUE(image ==
                plain.Convert(smaller, 60, 6, settings.params, settings.geometry, {}, settings.gamma).image);
}
