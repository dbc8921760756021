#include "measure/EllipseMeasure.h"
#include "measure/MeasureScale.h"
#include "measure/MeasureText.h"
#include "measure/TraceMeasure.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <vector>

#include "imaging/ImageProc.h"
#include "tests/measure/MeasureTestUtil.h"

using draw::Point;
using measuretest::ScaleAtDepth;

TEST(MeasureScale, ExistsOnlyForDepthsTheProbeCanImage) {
    struct Case {
        int depth;
        bool valid;
    } const cases[] = {{-1, false}, {0, false},  {19, false}, {20, true},
                       {100, true}, {240, true}, {241, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleAtDepth(c.depth).valid(), c.valid) << c.depth;
    }
    EXPECT_DOUBLE_EQ(ScaleAtDepth(100).MmPerPixel(), 1.0 / 4.7);
    EXPECT_FALSE(MeasureScale::FromPixelsPerMm(0.0).valid());
    EXPECT_FALSE(MeasureScale::FromPixelsPerMm(-2.0).valid());
    EXPECT_FALSE(MeasureScale::FromPixelsPerMm(std::numeric_limits<double>::quiet_NaN()).valid());
}

TEST(MeasureScale, ConvexSectorPathUsesTheLiveGeometry) {
    ScanGeometry g;
    g.probeType = ProbeTypeConvex;
    g.depthMin = 60.0;
    g.depthMax = 240.0;
    // 2 × (g0 + g1 − d) / g0 at 150 mm: 2 × 150 / 60 = 5 px/mm.
    EXPECT_DOUBLE_EQ(MeasureScale::ForDepth(g, 2, 150).MmPerPixel(), 0.2);
    // Path 1 keeps 470 / d whatever the probe.
    EXPECT_DOUBLE_EQ(MeasureScale::ForDepth(g, 1, 100).MmPerPixel(), 1.0 / 4.7);
}

TEST(MeasureScale, FromTheLiveProcessorIsOneOverItsPixelScale) {
    CImageProc live;  // no geometry: the plain scale
    EXPECT_DOUBLE_EQ(MeasureScale::ForDepth(live, 100).MmPerPixel(), 1.0 / live.GetPixelScale(100));
    EXPECT_FALSE(MeasureScale::ForDepth(live, -1).valid());
    // A still stored at 60 mm measures at 60 mm while the live image runs at 150.
    live.SetDepth(150);
    EXPECT_DOUBLE_EQ(MeasureScale::ForDepth(live, 60).MmPerPixel(), 60.0 / 470.0);
}

TEST(MeasureText, LengthsAndAreas) {
    EXPECT_EQ(FormatLengthMm(10.0), "10.0 mm");
    EXPECT_EQ(FormatLengthMm(85.10638), "85.1 mm");
    EXPECT_EQ(FormatAreaCm2(452.69), "4.5 cm2");
    EXPECT_EQ(FormatLengthMm(std::nan("")), "-");
    EXPECT_EQ(FormatAreaCm2(std::numeric_limits<double>::infinity()), "-");
}

TEST(MeasureText, DistanceAtDepth100Reads47PixelsAs10Mm) {
    EXPECT_EQ(DistanceText({10, 10}, {57, 10}, ScaleAtDepth(100)), "10.0 mm");
    EXPECT_EQ(DistanceText({10, 10}, {10, 57}, ScaleAtDepth(100)), "10.0 mm");
    // A pair on depth-scale ticks 5 cm apart: 235 px at 100 mm.
    EXPECT_EQ(DistanceText({240, 20}, {240, 255}, ScaleAtDepth(100)), "50.0 mm");
    for (int depth : {-1, 0, 300}) {
        EXPECT_EQ(DistanceText({0, 0}, {47, 0}, ScaleAtDepth(depth)), "Dist:-----") << depth;
    }
}

TEST(MeasureText, MModeDistanceAndTime) {
    struct Case {
        int rate;
        int depth;
        const char* text;
    } const cases[] = {
        {40, 100, "10.0 mm/2.50 s"},  // 47 / 4.7 mm, (100 / 40) × 100 / 100 s
        {0, 100, "------"},           // the rate of the first second is not counted
        {-1, 100, "------"},          // sweep restarted
        {40, -1, "------"},           // no depth
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MModeText({100, 50}, {200, 97}, c.rate, ScaleAtDepth(c.depth)), c.text)
            << c.rate << " " << c.depth;
        EXPECT_EQ(MModeText({200, 97}, {100, 50}, c.rate, ScaleAtDepth(c.depth)), c.text);
    }
}

TEST(TraceMeasure, SquareAt47PixelsPerMmEitherWayRound) {
    const std::vector<Point> cw = {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
    const std::vector<Point> ccw = {{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}};
    for (const auto* trace : {&cw, &ccw}) {
        const auto result = MeasureTrace(*trace, ScaleAtDepth(100));
        ASSERT_TRUE(result);
        const TraceTexts t = FormatTraceTexts(result);
        EXPECT_EQ(t.perimeter, "85.1 mm");
        EXPECT_EQ(t.area, "4.5 cm2");
    }
    EXPECT_DOUBLE_EQ(MeasureTrace(cw, ScaleAtDepth(100))->areaMm2,
                     MeasureTrace(ccw, ScaleAtDepth(100))->areaMm2);
}

TEST(TraceMeasure, WithoutScaleShowsDashesNeverNan) {
    const std::vector<Point> square = {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
    const TraceTexts t = FormatTraceTexts(MeasureTrace(square, ScaleAtDepth(-1)));
    EXPECT_EQ(t.perimeter, "Circum:----");
    EXPECT_EQ(t.area, "Area:-----");
}

TEST(TraceMeasure, ClosingAndUnfinished) {
    EXPECT_TRUE(ClosesTrace({50, 50}, {59, 59}));
    EXPECT_FALSE(ClosesTrace({50, 50}, {60, 50}));
    EXPECT_FALSE(ClosesTrace({50, 50}, {50, 40}));
    EXPECT_FALSE(IsUnfinishedTrace({}));
    EXPECT_TRUE(IsUnfinishedTrace({{1, 1}}));
    EXPECT_TRUE(IsUnfinishedTrace({{1, 1}, {1, 1}}));
    EXPECT_TRUE(IsUnfinishedTrace({{1, 1}, {5, 1}, {5, 5}}));
    EXPECT_FALSE(IsUnfinishedTrace({{1, 1}, {5, 1}, {1, 1}}));
}

TEST(EllipseMeasure, OracleValues) {
    // A circle a = b = 100 at 4.7 px/mm.
    EllipseTexts t = FormatEllipseTexts(MeasureEllipse(100.0, 100.0, ScaleAtDepth(100)));
    EXPECT_EQ(t.circumference, "133.7 mm");
    EXPECT_EQ(t.area, "14.2 cm2");
    // a = 100, b = 50 at 0.1 mm/px: h = 1/9, π × 150 × 1.027976 = 484.42 px; 100π × 50 × 0.01 mm².
    EXPECT_NEAR(EllipseCircumferencePx(100.0, 50.0), 484.42, 0.005);
    t = FormatEllipseTexts(MeasureEllipse(100.0, 50.0, ScaleAtDepth(47)));
    EXPECT_EQ(t.circumference, "48.4 mm");
    EXPECT_EQ(t.area, "1.6 cm2");
}

TEST(EllipseMeasure, CollapsedOrUnscaledNeverShowsNan) {
    EXPECT_EQ(EllipseCircumferencePx(0.0, 0.0), 0.0);
    EXPECT_EQ(FormatEllipseTexts(MeasureEllipse(0.0, 0.0, ScaleAtDepth(100))).circumference, "0.0 mm");
    const EllipseTexts t = FormatEllipseTexts(MeasureEllipse(100.0, 50.0, ScaleAtDepth(0)));
    EXPECT_EQ(t.circumference, "Circum:----");
    EXPECT_EQ(t.area, "Area:-----");
}
