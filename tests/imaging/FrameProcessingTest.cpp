#include "imaging/FrameProcessing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "imaging/ImageProc.h"

namespace {

// A small frame with row tables the processing reads.
struct Frame {
    std::vector<std::vector<int>> rows;
    std::vector<const int*> ptrs;
    explicit Frame(std::vector<std::vector<int>> r) : rows(std::move(r)) {
        for (auto& row : rows)
            ptrs.push_back(row.data());
    }
};

struct Work {
    std::vector<std::vector<double>> rows;
    std::vector<double*> ptrs;
    Work(int lines, int samples) : rows(lines, std::vector<double>(samples, -1.0)) {
        for (auto& row : rows)
            ptrs.push_back(row.data());
    }
};

// Gain offset 0 and contrast factor 1.
ImagingParams Neutral() {
    ImagingParams p;
    p.gain = 100;
    return p;
}

std::vector<std::vector<double>> Process(const Frame& raw, const Frame& prev, bool blend,
                                         const ImagingParams& p, int first = 0,
                                         const std::vector<int>& stc = {}) {
    Work work(static_cast<int>(raw.rows.size()), static_cast<int>(raw.rows[0].size()));
    ProcessingInput in;
    in.raw = raw.ptrs.data();
    in.previous = prev.ptrs.data();
    in.blend = blend;
    in.lines = static_cast<int>(raw.rows.size());
    in.samples = static_cast<int>(raw.rows[0].size());
    in.firstSample = first;
    in.stc = stc.empty() ? nullptr : stc.data();
    in.stcSize = static_cast<int>(stc.size());
    ProcessFrame(in, p, work.ptrs.data());
    return work.rows;
}

}  // namespace

TEST(FrameProcessing, GainAndContrastMapAndZeroStaysBlack) {
    ImagingParams p;     // gain 50, contrast 50
    p.gainBase = -60.0;  // offset 50 - 100 - 60 = -110, factor 1.0
    const Frame raw({{200, 100, 0, 255}});
    const auto out = Process(raw, raw, false, p);
    EXPECT_EQ(out[0][0], 90.0);
    EXPECT_EQ(out[0][1], 0.0);  // -10 clamped
    EXPECT_EQ(out[0][2], 0.0);  // exactly 0 stays 0 whatever the gain
    EXPECT_EQ(out[0][3], 145.0);

    ImagingParams bright = Neutral();
    bright.gainBase = 200.0;
    bright.contrast = 100;  // factor 1.0 / 100 x 100 + 0.5 = 1.5
    const auto clipped = Process(raw, raw, false, bright);
    EXPECT_EQ(clipped[0][1], 255.0);
    EXPECT_EQ(clipped[0][2], 0.0);
}

TEST(FrameProcessing, FrameCorrelationBlendsRawFramesOnlyFromTheSecondFrameOn) {
    ImagingParams p = Neutral();
    p.smooth = 1.0;
    const Frame raw({{100, 51}});
    const Frame prev({{50, 0}});
    const auto first = Process(raw, prev, false, p);
    EXPECT_EQ(first[0][0], 100.0);  // first frame of a run: not blended
    const auto later = Process(raw, prev, true, p);
    EXPECT_EQ(later[0][0], 75.0);  // mean of the current and the previous raw frame
    EXPECT_EQ(later[0][1], 25.5);
    p.smooth = 0.5;
    EXPECT_DOUBLE_EQ(Process(raw, prev, true, p)[0][0], (50 * 0.5 + 100) / 1.5);
}

TEST(FrameProcessing, AveragingUsesTheLineItselfAtTheEdges) {
    const Frame raw({{30, 60, 90}, {0, 3, 6}, {9, 12, 15}});
    ImagingParams p = Neutral();
    p.ave = true;
    auto out = Process(raw, raw, false, p);
    EXPECT_EQ(out[0][0], (30 + 30 + 0) / 3.0);  // line 0: its own line for the missing neighbour
    EXPECT_EQ(out[2][2], (15 + 6 + 15) / 3.0);  // last line likewise
    EXPECT_EQ(out[1][1], (3 + 60 + 12) / 3.0);

    p.ave = false;
    p.aveY = true;
    out = Process(raw, raw, false, p, 1);
    EXPECT_EQ(out[0][0], 0.0);                   // before the first sample
    EXPECT_EQ(out[0][1], (60 + 60 + 90) / 3.0);  // s - 1 stops at the first sample
    EXPECT_EQ(out[0][2], (90 + 60 + 90) / 3.0);

    p.ave = true;
    p.aveMode = 9;
    out = Process(raw, raw, false, p);
    EXPECT_EQ(out[1][1], (30 + 60 + 90 + 0 + 3 + 6 + 9 + 12 + 15) / 9.0);

    p.aveMode = 4;
    out = Process(raw, raw, false, p);
    EXPECT_EQ(out[0][0], (30 + 60 + 3 + 0) * 0.25);
    EXPECT_EQ(out[0][2], 90.0);  // last sample: the single value, no 0.25
    EXPECT_EQ(out[2][0], 9.0);   // last line likewise
}

TEST(FrameProcessing, StcIsAddedBeforeGainAndItsIndexIsClamped) {
    ImagingParams p = Neutral();
    p.contrast = 100;  // factor 1.5: the STC value is scaled with the sample
    const Frame raw({{100, 100, 100, 0}});
    const auto out = Process(raw, raw, false, p, 0, {10, 20});
    EXPECT_EQ(out[0][0], 165.0);
    EXPECT_EQ(out[0][1], 180.0);
    EXPECT_EQ(out[0][2], 180.0);  // past the curve's end: its last value
    EXPECT_EQ(out[0][3], 0.0);
}

// Only a weight at or below -1 breaks the blend (it divides by w + 1): the processor refuses
// those and keeps every other weight as given, outside 0..1 too.
TEST(FrameProcessing, FrameCorrelationKeepsEveryWeightAboveMinusOne) {
    CImageProc proc;
    struct Step {
        double smooth;
        double kept;
    };
    const Step steps[] = {{1.7, 1.7},
                          {-0.3, -0.3},
                          {-1.0, -0.3},
                          {-4.0, -0.3},
                          {-0.999, -0.999},
                          {0.25, 0.25},
                          {std::numeric_limits<double>::quiet_NaN(), 0.25},
                          {std::numeric_limits<double>::infinity(), 0.25}};
    for (const Step& k : steps) {
        ImagingParams p = proc.GetParams();
        p.smooth = k.smooth;
        proc.SetParams(p);
        EXPECT_EQ(proc.GetParams().smooth, k.kept) << k.smooth;
    }

    ImagingParams p = Neutral();
    const Frame raw({{100, 0}});
    const Frame prev({{40, 0}});
    for (const double w : {1.7, -0.3}) {
        p.smooth = w;
        EXPECT_DOUBLE_EQ(Process(raw, prev, true, p)[0][0], (40 * w + 100) / (w + 1)) << w;
    }
}

// Whole-number samples as bytes, sample by sample: the very values of ProcessFrame where the
// settings make them whole, refused where they may not be.
TEST(FrameProcessing, WholeSamplesAreTheProcessedValuesAsBytes) {
    // 37 lines of 70 samples: full 16 x 16 tiles and the rest; zeros, clipping and values
    // far outside 0..255.
    std::vector<std::vector<int>> rows(37, std::vector<int>(70));
    for (int l = 0; l < 37; ++l) {
        for (int s = 0; s < 70; ++s)
            rows[l][s] = (l * 37 + s * 11) % 300 - 20;
    }
    rows[3][4] = 0;
    rows[20][33] = std::numeric_limits<int>::max();
    rows[21][34] = std::numeric_limits<int>::min();
    rows[22][35] = (1 << 26) + 5;
    const Frame raw(rows);
    const Frame prev(std::vector<std::vector<int>>(37, std::vector<int>(70, 90)));
    const std::vector<int> stc = {3, -4, 12, 0, 7};  // shorter than the line: its last value on

    struct Case {
        const char* name;
        bool blend;
        double gainBase;
        int contrast;
        double smooth;
        bool ave;
        bool aveY;
        int first;
        bool whole;
    };
    const Case cases[] = {
        {"defaults", true, -60.0, 50, 0.0, false, false, 0, true},
        {"from sample 5, bright", true, 40.0, 50, 0.0, false, false, 5, true},
        {"weight without a blend", false, -60.0, 50, 0.5, false, false, 0, true},
        {"blend weight", true, -60.0, 50, 0.5, false, false, 0, false},
        {"contrast", true, -60.0, 51, 0.0, false, false, 0, false},
        {"gain with a fraction", true, -60.5, 50, 0.0, false, false, 0, false},
        {"averaging across", true, -60.0, 50, 0.0, true, false, 0, false},
        {"averaging along", true, -60.0, 50, 0.0, false, true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImagingParams p;
        p.gainBase = c.gainBase;
        p.contrast = c.contrast;
        p.smooth = c.smooth;
        p.ave = c.ave;
        p.aveY = c.aveY;
        ProcessingInput in;
        in.raw = raw.ptrs.data();
        in.previous = prev.ptrs.data();
        in.blend = c.blend;
        in.lines = 37;
        in.samples = 70;
        in.firstSample = c.first;
        in.stc = stc.data();
        in.stcSize = static_cast<int>(stc.size());
        const int stride = 48;
        std::vector<uint8_t> bytes(70 * stride, 77);
        std::vector<int32_t> scratch;
        const bool whole = ProcessFrameWhole(in, p, bytes.data(), stride, scratch);
        if (!c.whole || !whole) {
            // Without AVX2 nothing is whole; refused settings never are.
            EXPECT_FALSE(whole && !c.whole);
            continue;
        }
        const auto want = Process(raw, prev, c.blend, p, c.first, stc);
        int differing = 0;
        for (int s = 0; s < 70; ++s) {
            for (int l = 0; l < 37; ++l)
                differing += bytes[s * stride + l] != want[l][s];
            for (int l = 37; l < stride; ++l)
                differing += bytes[s * stride + l] != 77;  // past the lines: untouched
        }
        EXPECT_EQ(differing, 0);
    }
}
