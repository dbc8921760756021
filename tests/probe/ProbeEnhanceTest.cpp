// The host's logarithmic compression and image filter: values worked out by hand for a few
// samples and each median zone, the zone limits, the weights, and the fast filter against the
// plain reference on random frames at the depths where the zones change.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "ReferenceEnhance.h"
#include "probe/ProbeEnhance.h"
#include "probe/ProbeProtocol.h"

namespace {

constexpr int kLines = 128;
constexpr int kSamples = 1024;

std::vector<float> Flat(float value) {
    return std::vector<float>(static_cast<size_t>(kLines) * kSamples, value);
}

std::vector<uint8_t> Enhance(bool linear, const std::vector<float>& plane, int depth) {
    std::vector<uint8_t> out(plane.size(), 0xCD);
    EXPECT_EQ(ProbeEnhanceFrame(linear, plane.data(), out.data(), depth), 1);
    return out;
}

uint8_t At(const std::vector<uint8_t>& image, int line, int sample) {
    return image[static_cast<size_t>(line) * kSamples + sample];
}

float& At(std::vector<float>& plane, int line, int sample) {
    return plane[static_cast<size_t>(line) * kSamples + sample];
}

}  // namespace

TEST(Compression, HandWorkedSamples) {
    struct Case {
        float sample;
        ProbeCompression c;
        float expected;
    };
    const Case cases[] = {
        {1.0f, kConvexCompression, 0.0f},          // log10 1 = 0, minus 100, clamped
        {0.0f, kConvexCompression, 0.0f},          // nothing at or below 0
        {-5.0f, kConvexCompression, 0.0f},         //
        {1000.0f, kConvexCompression, 110.0f},     // 3 x 70 - 100
        {100000.0f, kConvexCompression, 250.0f},   // 5 x 70 - 100
        {1e6f, kConvexCompression, 255.0f},        // 320, clamped
        {1000.0f, kLinearCompression, 115.0f},     // 3 x 75 - 110
        {31622.777f, kLinearCompression, 227.5f},  // 4.5 x 75 - 110
        {std::numeric_limits<float>::infinity(), kConvexCompression, 255.0f},
        {std::numeric_limits<float>::quiet_NaN(), kConvexCompression, 0.0f},  // garbage on the wire
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(CompressEchoSample(c.sample, c.c), c.expected, 1e-3f) << c.sample;
    }
}

TEST(Compression, Log10IsWithinOneUnitInTheLastPlaceAndExactAtPowersOfTen) {
    for (uint32_t bits = 0x00800000; bits < 0x7f800000; bits += 1009) {
        const float x = std::bit_cast<float>(bits);
        const float want = static_cast<float>(std::log10(static_cast<double>(x)));
        const float got = ProbeLog10(x);
        ASSERT_LE(std::abs(std::bit_cast<int32_t>(got) - std::bit_cast<int32_t>(want)), 1) << x;
    }
    float power = 1.0f;
    for (int e = 0; e <= 9; ++e, power *= 10.0f)
        EXPECT_EQ(ProbeLog10(power), static_cast<float>(e));
}

TEST(Compression, AWholeLineGivesTheSameBitsAsSampleBySample) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> exponent(-2.0f, 7.0f);
    std::vector<float> line(kSamples);
    for (float& s : line)
        s = std::pow(10.0f, exponent(rng));
    const float odd[] = {0.0f,
                         -0.0f,
                         -1.0f,
                         std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::denorm_min(),
                         26.826958f,
                         117210.23f};
    std::copy(std::begin(odd), std::end(odd), line.begin() + 500);
    for (ProbeCompression c : {kConvexCompression, kLinearCompression}) {
        std::vector<float> out(kSamples);
        CompressEchoLine(line.data(), out.data(), kSamples, c);
        for (int s = 0; s < kSamples; ++s)
            ASSERT_EQ(out[s], CompressEchoSample(line[s], c)) << "sample " << s << " = " << line[s];
    }
}

TEST(MedianZones, FollowTheSamplesAt60And180Millimetres) {
    struct Case {
        int depth, a, b;
    };
    const Case cases[] = {
        {225, 273, 819},   // the deepest convex image
        {60, 1024, 1024},  // 60 mm reach the last sample: three lines everywhere
        {61, 1007, 1024},  // b would be 3022
        {70, 878, 1024},   // the shallowest convex image: no 3 x 5 zone
        {180, 341, 1024},  // b = 1024 exactly
        {181, 339, 1018},  // b = 1018.3: the 3 x 5 zone begins
        {240, 256, 768},
    };
    for (const Case& c : cases) {
        const MedianZones z = ConvexMedianZones(c.depth);
        EXPECT_EQ(z.a, c.a) << c.depth;
        EXPECT_EQ(z.b, c.b) << c.depth;
    }
}

TEST(Enhancement, AFlatAreaKeepsItsValue) {
    // 60 x 100 + 40 x 100 + 10 x 0, over 100.
    for (bool linear : {false, true}) {
        ProbeSetDefaultBlendWeights(false);
        const auto out = Enhance(linear, Flat(100.0f), 225);
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](uint8_t v) { return v == 100; }));
    }
}

TEST(Enhancement, LinearBordersPassTheCompressedValueThroughTheMedian) {
    ProbeSetDefaultBlendWeights(true);  // 70/30/10
    std::vector<float> plane = Flat(50.0f);
    At(plane, 0, 10) = 200.0f;    // border line: median copies it
    At(plane, 64, 0) = 200.0f;    // border sample
    At(plane, 64, 1023) = 10.0f;  // border sample
    At(plane, 64, 500) = 200.0f;  // inside: removed by the 3 x 3 median
    const auto out = Enhance(true, plane, 60);
    EXPECT_EQ(At(out, 0, 10), 200);  // (70 + 30) / 100 x 200
    EXPECT_EQ(At(out, 64, 0), 200);
    EXPECT_EQ(At(out, 64, 1023), 10);
    EXPECT_EQ(At(out, 64, 500), 155);  // (70 x 200 + 30 x 50) / 100, no edge in flat medians
    EXPECT_EQ(At(out, 64, 501), 50);
}

TEST(Enhancement, EachConvexZoneTakesItsOwnMedian) {
    ProbeSetDefaultBlendWeights(false);  // 60/40/10
    // At 225 mm: three lines below 273, 3 x 3 below 819, 3 x 5 from there.
    std::vector<float> plane = Flat(0.0f);
    // Sample 100 (three lines): 30, 90, 60 on lines 9..11 -> median 60 on line 10.
    At(plane, 9, 100) = 30.0f;
    At(plane, 10, 100) = 90.0f;
    At(plane, 11, 100) = 60.0f;
    // Sample 500 (3 x 3): four of nine at 80 -> median 0 on line 40; five -> 80 on line 80.
    for (int s : {499, 500, 501})
        At(plane, 40, s) = 80.0f;
    At(plane, 41, 500) = 80.0f;
    for (int s : {499, 500, 501})
        At(plane, 80, s) = 80.0f;
    At(plane, 81, 500) = 80.0f;
    At(plane, 79, 500) = 80.0f;
    // Sample 900 (3 x 5): seven of fifteen at 40 -> 0 on line 100; eight -> 40 on line 110.
    for (int s = 898; s <= 902; ++s)
        At(plane, 100, s) = 40.0f;
    At(plane, 101, 899) = At(plane, 101, 900) = 40.0f;
    for (int s = 898; s <= 902; ++s)
        At(plane, 110, s) = 40.0f;
    At(plane, 111, 899) = At(plane, 111, 900) = At(plane, 111, 901) = 40.0f;

    const auto out = Enhance(false, plane, 225);
    // Median 60; edge: both gradients 60 - 0 (the medians right and below are 0 and 60),
    // 1.2 x sqrt(7200) = 101.82; (60 x 90 + 40 x 60 + 10 x 101.82) / 100 = 88.18.
    EXPECT_EQ(At(out, 10, 100), 88);
    // Median 0 and no edge: 60 x 80 / 100.
    EXPECT_EQ(At(out, 40, 500), 48);
    // Median 80; edge 1.2 x 80 (only the diagonal gradient): (4800 + 3200 + 960) / 100 = 89.6.
    EXPECT_EQ(At(out, 80, 500), 89);
    // Median 0 and no edge: 60 x 40 / 100.
    EXPECT_EQ(At(out, 100, 900), 24);
    // Median 40; both gradients 40: 1.2 x sqrt(3200) = 67.88; (2400 + 1600 + 678.8) / 100 = 46.79.
    EXPECT_EQ(At(out, 110, 900), 46);
}

TEST(Enhancement, FilterOffOrNoDepthGivesTheCompressedValue) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> value(0.0f, 255.0f);
    std::vector<float> plane = Flat(0.0f);
    for (float& v : plane)
        v = value(rng);
    std::vector<uint8_t> truncated(plane.size());
    for (size_t i = 0; i < plane.size(); ++i)
        truncated[i] = static_cast<uint8_t>(plane[i]);

    EXPECT_EQ(Enhance(false, plane, 0), truncated);
    ASSERT_TRUE(ProbeSetImageFilter(0));
    EXPECT_EQ(Enhance(false, plane, 225), truncated);
    EXPECT_FALSE(ProbeSetImageFilter(2));
    EXPECT_EQ(ProbeGetImageFilter(), 0);
    ASSERT_TRUE(ProbeSetImageFilter(1));
    EXPECT_NE(Enhance(false, plane, 225), truncated);
}

TEST(Enhancement, BlendWeightsAcceptOnly101To103UpTo1000) {
    uint32_t w = 0;
    EXPECT_EQ(ProbeSetBlendWeight(101, 1000), 1);
    EXPECT_EQ(ProbeSetBlendWeight(102, 1001), 0);
    EXPECT_EQ(ProbeSetBlendWeight(100, 5), 0);
    EXPECT_EQ(ProbeSetBlendWeight(104, 5), 0);
    EXPECT_EQ(ProbeGetBlendWeight(101, &w), 1);
    EXPECT_EQ(w, 1000u);
    EXPECT_EQ(ProbeGetBlendWeight(104, &w), 0);
    ProbeSetDefaultBlendWeights(true);
    for (auto [id, want] : {std::pair{101u, 70u}, {102u, 30u}, {103u, 10u}}) {
        ASSERT_EQ(ProbeGetBlendWeight(id, &w), 1);
        EXPECT_EQ(w, want);
    }
}

TEST(Enhancement, MediansAndEdgeOfSmallWindows) {
    float three[] = {9, 1, 5};
    EXPECT_EQ(Median3(three), 5);
    float nine[] = {7, 3, 9, 1, 5, 8, 2, 6, 4};
    EXPECT_EQ(Median9(nine), 5);
    float fifteen[] = {15, 1, 14, 2, 13, 3, 12, 4, 11, 5, 10, 6, 9, 7, 8};
    EXPECT_EQ(Median15(fifteen), 8);
    float ties[] = {2, 2, 1, 2, 1, 1, 3, 3, 1};
    EXPECT_EQ(Median9(ties), 2);
    // Centre 10, right 4, below 7, lower right 2: 1.2 x sqrt(8^2 + 3^2).
    const float window[] = {0, 0, 0, 0, 10, 4, 0, 7, 2};
    EXPECT_FLOAT_EQ(RobertsMagnitude(window), 1.2f * std::sqrt(73.0f));
}

// The fast filter (four samples at a time, from sorted columns) against the
// plain reference, at the depths where the zones change and on both probes.
TEST(Enhancement, MatchesThePlainReferenceOnRandomFrames) {
    std::mt19937 rng(716);
    std::uniform_real_distribution<float> value(0.0f, 255.0f);
    std::bernoulli_distribution flat(0.3);
    std::vector<float> plane = Flat(0.0f);
    // Speckle with flat runs, so that ties between window values are common.
    for (size_t i = 0; i < plane.size(); ++i)
        plane[i] = flat(rng) && i > 0 ? plane[i - 1] : std::floor(value(rng) * 4.0f) / 4.0f;
    struct Case {
        bool linear;
        int depth;
    };
    const Case cases[] = {{false, 225}, {false, 70}, {false, 60},    {false, 61}, {false, 180}, {false, 181},
                          {false, 240}, {false, 20}, {false, 65535}, {true, 38},  {true, 120}};
    for (const Case& c : cases) {
        ProbeSetDefaultBlendWeights(c.linear);
        const probetest::ReferenceWeights w =
            c.linear ? probetest::ReferenceWeights{70, 30, 10} : probetest::ReferenceWeights{60, 40, 10};
        const auto want = probetest::ReferenceEnhance(c.linear, plane, c.depth, w);
        const auto got = Enhance(c.linear, plane, c.depth);
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(got[i], want[i]) << (c.linear ? "linear" : "convex") << " depth " << c.depth << " line "
                                       << i / kSamples << " sample " << i % kSamples;
        }
    }
}
