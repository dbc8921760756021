#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "imaging/GammaTable.h"
#include "imaging/ImageProc.h"
#include "imaging/StcCurve.h"

TEST(GammaTable, FollowsTheFormulaAndRefusesUnusableValues) {
    EXPECT_EQ(IdentityGammaTable()[0], 0);
    EXPECT_EQ(IdentityGammaTable()[200], 200);

    GammaTable t = IdentityGammaTable();
    ASSERT_TRUE(BuildGammaTable(2.0, t));  // 255 sqrt(i / 255)
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[64], 127);  // 127.75
    EXPECT_EQ(t[255], 255);
    ASSERT_TRUE(BuildGammaTable(0.5, t));  // i^2 / 255
    EXPECT_EQ(t[16], 1);                   // 1.0039
    EXPECT_EQ(t[128], 64);                 // 64.25
    EXPECT_EQ(t[255], 255);
    ASSERT_TRUE(BuildGammaTable(1.0, t));
    EXPECT_EQ(t, IdentityGammaTable());

    for (double bad : {0.0, -1.0, std::nan("")}) {
        GammaTable keep = t;
        EXPECT_FALSE(BuildGammaTable(bad, keep));
        EXPECT_EQ(keep, t);
    }
}

TEST(GammaTable, ProcessorKeepsItsGammaAndResetsToIdentity) {
    CImageProc proc;
    EXPECT_EQ(proc.GetGamma(), 1.0);
    EXPECT_EQ(proc.GetGammaTable(), IdentityGammaTable());
    proc.SetGamma(2.0);
    EXPECT_EQ(proc.GetGammaTable()[64], 127);
    proc.SetGamma(-3.0);  // ignored
    EXPECT_EQ(proc.GetGamma(), 2.0);
    proc.ResetGamma();
    EXPECT_EQ(proc.GetGamma(), 1.0);
    EXPECT_EQ(proc.GetGammaTable(), IdentityGammaTable());
}

TEST(StcCurve, EqualKnotsGiveAFlatCurveFromTheFirstSampleOn) {
    StcKnots knots;
    knots.fill(7);
    for (bool cubic : {true, false}) {
        SCOPED_TRACE(cubic ? "cubic" : "linear");
        std::vector<int> curve(1024, -99);
        if (cubic) {
            MakeGainCurve(4, curve.data(), 1024, 102.0, knots);
        } else {
            MakeLinearStcCurve(4, curve.data(), 1024, 102.0, knots);
        }
        for (int s = 0; s < 4; ++s)
            EXPECT_EQ(curve[s], -99) << s;  // before the first sample: untouched
        for (int s = 4; s < 1024; ++s)
            ASSERT_EQ(curve[s], 7) << s;
    }
}

TEST(StcCurve, LinearSegmentsRunThroughTheKnotCentresInIntegerArithmetic) {
    StcKnots knots = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 1000};
    std::vector<int> curve(1000, 0);
    MakeLinearStcCurve(0, curve.data(), 1000, 100.0, knots);  // centres 50, 150, ..., 950
    EXPECT_EQ(curve[0], -5);  // 10 x (0 - 50) / 100, the first segment extended
    EXPECT_EQ(curve[50], 0);
    EXPECT_EQ(curve[75], 2);  // 250 / 100
    EXPECT_EQ(curve[150], 10);
    EXPECT_EQ(curve[949], 89);
    EXPECT_EQ(curve[999], 94);  // the last segment extended; knot 10 takes no part
}

TEST(StcCurve, CubicCurvePassesThroughItsKnotsAndIgnoresAnUnusableSegment) {
    // Rising knots: the points right after a knot (which land on the knot's sample again,
    // the position advancing by just under one sample per step) stay below the next integer.
    StcKnots knots = {0, 10, 20, 35, 40, 45, 50, 60, 70, 75, 80};
    std::vector<int> curve(1000, 0);
    MakeGainCurve(0, curve.data(), 1000, 100.0, knots);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(curve[i * 100], knots[i]) << i;

    std::vector<int> untouched(16, 42);
    MakeGainCurve(0, untouched.data(), 16, 0.0, knots);  // would never end
    MakeLinearStcCurve(0, untouched.data(), 16, -1.0, knots);
    EXPECT_EQ(untouched, std::vector<int>(16, 42));
}

TEST(StcCurve, ProcessorBuildsTheCurveForItsGeometry) {
    CImageProc proc;
    StcKnots knots;
    knots.fill(12);
    proc.UpdateStcCurve(knots);  // no geometry yet: nothing to build
    EXPECT_TRUE(proc.GetStcCurve().empty());

    proc.SetProbeGeometry(LinearProbeGeometry(ProbeTypeLinear, 1024, 128, 0, true, 38.0, 38.0, 120.0));
    EXPECT_EQ(proc.GetStcCurve(), std::vector<int>(1024, 0));
    proc.UpdateStcCurve(knots);
    EXPECT_EQ(proc.GetStcCurve(), std::vector<int>(1024, 12));
}
