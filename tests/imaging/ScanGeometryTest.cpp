#include "imaging/ScanGeometry.h"

#include <gtest/gtest.h>

#include "ImagingTestSupport.h"
#include "imaging/FrameOverlays.h"

using namespace imagingtest;

TEST(ScanGeometry, ConvexAndLinearPerDepthValuesMatchTheHandComputedOnes) {
    struct Case {
        const char* name;
        ScanGeometry geometry;
        int depth;
        double pixelsPerMm;
        double topOffset;
        int imageTop;
        double imageBottom;
        int markColumn;  // not inverted, mark side true
    };
    // Convex, radius 60 mm, 60 degrees: the mark's left column is trunc(240 - (cos(60 deg) x
    // top offset + 25)); linear: 240 - (190 + 25). With the mark side true it moves to 473 - x
    // when the image is inverted.
    const Case cases[] = {
        {"convex 225", Convex(), 225, 470.0 / 225, 470.0 / 225 * 60, 116, 596.0, 152},
        {"convex 70", Convex(), 70, 470.0 / 70, 470.0 / 70 * 60, 393, 873.0, 13},
        {"linear 38", Linear(38.0), 38, 470.0 / 38, 10.0, 10, 490.0, 25},
        {"linear 120", Linear(38.0), 120, 470.0 / 120, 10.0, 10, 490.0, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DepthGeometry d = ComputeDepthGeometry(c.geometry, c.depth, 1);
        EXPECT_DOUBLE_EQ(d.pixelsPerMm, c.pixelsPerMm);
        EXPECT_DOUBLE_EQ(d.topOffset, c.topOffset);
        EXPECT_EQ(d.imageTop, c.imageTop);
        EXPECT_EQ(d.imageBottom, c.imageBottom);
        EXPECT_EQ(OrientationMarkColumn(c.geometry, d, false), c.markColumn);
        EXPECT_EQ(OrientationMarkColumn(c.geometry, d, true), 473 - c.markColumn);
    }
    EXPECT_NEAR(ComputeDepthGeometry(Convex(), 225, 1).topOffset, 125.33, 0.005);
    EXPECT_NEAR(ComputeDepthGeometry(Convex(), 70, 1).pixelsPerMm, 6.714, 0.0005);

    const DepthGeometry l38 = ComputeDepthGeometry(Linear(38.0), 38, 1);
    EXPECT_EQ(l38.linearWidthPx, 470.0);
    EXPECT_EQ(l38.leftMargin, 5);
    const DepthGeometry l120 = ComputeDepthGeometry(Linear(38.0), 120, 1);
    EXPECT_NEAR(l120.linearWidthPx, 148.8, 0.05);
    EXPECT_EQ(l120.leftMargin, 165);
}

TEST(ScanGeometry, SectorEdgesAndLineStepFollowTheFieldOfView) {
    const ScanGeometry g = Convex();
    EXPECT_NEAR(g.sectorStart * 180 / 3.141592653589793, 240.0, 1e-12);
    EXPECT_NEAR(g.sectorEnd * 180 / 3.141592653589793, 300.0, 1e-12);
    EXPECT_NEAR(g.sectorStartMinusPi * 180 / 3.141592653589793, 60.0, 1e-12);
    EXPECT_NEAR(g.lineStep, 60.0 / 128 * 3.141592653589793 / 180, 1e-15);

    // A convex probe set up after a linear one gets its own field of view and flags.
    ScanGeometry switched = Linear();
    switched.Apply(ConvexProbeGeometry(ProbeTypeConvex, 1024, 128, 0, true, 90.0, 50.0, 70.0, 240.0));
    EXPECT_NEAR(switched.lineStep, 90.0 / 128 * 3.141592653589793 / 180, 1e-15);
    EXPECT_FALSE(switched.spacingFlag);
    EXPECT_TRUE(switched.splineStc);
    EXPECT_EQ(switched.linearWidth, kGeometryUnset);
}

// RAW2BITMAP other than 1 on a convex probe without a top-offset factor gave an infinite top
// offset: the mark landed outside the image and the M-line loop ran about 2^31 times.
TEST(ScanGeometry, SectorPathIsRefusedWithoutATopOffsetFactor) {
    const ScanGeometry plain = Convex();
    for (int requested : {0, 2, -7})
        EXPECT_EQ(plain.EffectiveRaw2Bitmap(requested, 225), 1) << requested;

    const ScanGeometry ex = ConvexEx();
    EXPECT_EQ(ex.EffectiveRaw2Bitmap(0, 225), 0);
    // Beyond depth min + max the sector scale turns negative: back to path 1.
    EXPECT_EQ(ex.EffectiveRaw2Bitmap(0, 320), 1);
    // A linear probe keeps its value: it always goes through the upsampling converter.
    EXPECT_EQ(Linear().EffectiveRaw2Bitmap(0, 60), 0);
    EXPECT_DOUBLE_EQ(Linear().PixelScale(60, 0), 470.0 / 60);

    // The sector path's own formulas: scale 2 (g0 + g1 - depth) / g0, top g2 (g0 + g1 - depth) / g0.
    const DepthGeometry d = ComputeDepthGeometry(ex, 225, 0);
    EXPECT_DOUBLE_EQ(d.pixelsPerMm, 2.0 * (70 + 240 - 225) / 70);
    EXPECT_DOUBLE_EQ(d.topOffset, 40.0 * (70 + 240 - 225) / 70);
}

TEST(ScanGeometry, CacheRowsNeededFlagsImagesTallerThanTheCaches) {
    // Convex 60 mm radius at 20 mm: the surface alone lies 1410 pixels below the apex.
    const DepthGeometry tooShallow = ComputeDepthGeometry(Convex(), 20, 1);
    EXPECT_GT(tooShallow.CacheRowsNeeded(), kCacheRows);
    EXPECT_LE(ComputeDepthGeometry(Convex(), 70, 1).CacheRowsNeeded(), kCacheRows);
    EXPECT_EQ(ComputeDepthGeometry(Convex(), 70, 1).CacheRowsNeeded(), 874);
}
