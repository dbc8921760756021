#include "sim/SimPhantom.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <vector>

using usbdriver::sim::SimPhantom;
using usbdriver::sim::SimScanGeometry;

namespace {

std::vector<float> Render(const SimPhantom& p, uint64_t frame, int depth) {
    std::vector<float> display(static_cast<size_t>(kProbeLinesPerFrame) * kProbeSamplesPerLine);
    p.RenderDisplay(frame, depth, display.data());
    return display;
}

}  // namespace

TEST(SimScanGeometry, MapsSamplesToTheBodyAndBack) {
    for (const SimScanGeometry& g : {SimScanGeometry::Convex(), SimScanGeometry::Linear()}) {
        for (double line : {0.0, 31.5, 127.0}) {
            for (double sample : {0.0, 500.0, 1023.0}) {
                double x, z, l, s;
                g.SampleToBody(line, sample, 150, x, z);
                g.BodyToSample(x, z, 150, l, s);
                EXPECT_NEAR(l, line, 1e-9);
                EXPECT_NEAR(s, sample, 1e-9);
            }
        }
    }
}

TEST(SimScanGeometry, FollowsTheProbesScanLines) {
    const SimScanGeometry convex = SimScanGeometry::Convex();
    double x, z;
    // Line 0 leans left by 30 degrees less half a line; sample 0 lies on the skin arc.
    convex.SampleToBody(0, 0, 100, x, z);
    const double angle = (0.5 / 128 - 0.5) * 60 * M_PI / 180;
    EXPECT_NEAR(x, 60 * std::sin(angle), 1e-9);
    EXPECT_NEAR(z, 60 * std::cos(angle) - 60, 1e-9);
    // The samples of a line span the imaging depth.
    convex.SampleToBody(63.5, 1024, 100, x, z);
    EXPECT_NEAR(x, 0, 1e-9);
    EXPECT_NEAR(z, 100, 1e-9);
    const SimScanGeometry linear = SimScanGeometry::Linear();
    linear.SampleToBody(127, 512, 60, x, z);
    EXPECT_NEAR(x, (127.5 / 128 - 0.5) * 38, 1e-9);
    EXPECT_NEAR(z, 30, 1e-9);
}

TEST(SimPhantom, AmplitudesCompressBackToTheDesignedPicture) {
    for (bool convex : {true, false}) {
        const ProbeCompression c = convex ? kConvexCompression : kLinearCompression;
        const SimPhantom p(convex ? SimScanGeometry::Convex() : SimScanGeometry::Linear(), c, 7);
        for (float v : {-40.0f, 0.0f, 0.5f, 99.25f, 254.9f, 255.0f, 300.0f}) {
            EXPECT_NEAR(CompressEchoSample(p.DisplayToAmplitude(v), c), std::clamp(v, 0.0f, 255.0f), 0.01f)
                << v;
        }
    }
}

TEST(SimPhantom, IsDeterministicBySeedAndMovesBetweenFrames) {
    const SimPhantom a(SimScanGeometry::Convex(), kConvexCompression, 1);
    const SimPhantom b(SimScanGeometry::Convex(), kConvexCompression, 1);
    const SimPhantom other(SimScanGeometry::Convex(), kConvexCompression, 2);
    EXPECT_EQ(Render(a, 10, 150), Render(b, 10, 150));
    EXPECT_NE(Render(a, 10, 150), Render(other, 10, 150));
    // A quarter breathing cycle later the tissue has moved: the picture differs by more than noise.
    const std::vector<float> now = Render(a, 1, 150);
    const std::vector<float> later = Render(a, 1 + SimPhantom::kBreathingFrames / 4, 150);
    double difference = 0;
    for (size_t i = 0; i < now.size(); ++i)
        difference += std::abs(now[i] - later[i]);
    EXPECT_GT(difference / static_cast<double>(now.size()), 5.0);
}

TEST(SimPhantom, DrawsTheLettersAsBrightPointsAndCystsDark) {
    for (bool convex : {true, false}) {
        const SimScanGeometry g = convex ? SimScanGeometry::Convex() : SimScanGeometry::Linear();
        const SimPhantom p(g, convex ? kConvexCompression : kLinearCompression, 716);
        const int depth = convex ? 150 : 60;
        const uint64_t frame = SimPhantom::kBreathingFrames;  // at rest
        const std::vector<float> display = Render(p, frame, depth);
        // The brightest of the samples around a point (a point between two lines lights both).
        auto at = [&](double x, double z) {
            double l, s;
            g.BodyToSample(x, z, depth, l, s);
            float best = -1000;
            for (int line : {static_cast<int>(std::floor(l)), static_cast<int>(std::ceil(l))}) {
                for (int sample : {static_cast<int>(std::floor(s)), static_cast<int>(std::ceil(s))}) {
                    best = std::max(best, display[static_cast<size_t>(line) * kProbeSamplesPerLine + sample]);
                }
            }
            return best;
        };
        int letterDots = 0;
        for (const auto& t : p.Scene().targets) {
            if (!t.letter)
                continue;
            ++letterDots;
            EXPECT_GT(at(t.xMm, t.zMm), 200.0f) << t.xMm << "," << t.zMm;
        }
        EXPECT_EQ(letterDots, 15 + 11 + 18);  // S, I and M
        const auto& cyst = p.Scene().cysts.front();
        EXPECT_LT(at(cyst.xMm, cyst.zMm), 30.0f);
    }
}
