#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "archive/PlaybackPacer.h"
#include "archive/export/VideoResampler.h"

using namespace exportfile;

namespace {
std::vector<int64_t> Evenly(int count, double intervalMs) {
    std::vector<int64_t> t;
    for (int i = 0; i < count; ++i)
        t.push_back(static_cast<int64_t>(i * intervalMs));
    return t;
}
}  // namespace

TEST(VideoResampler, NearestFrameAtTwelvePerSecond) {
    // Output times 0, 83, 166, 249, 333, 416, 499, 583, 666, 749, 833, 916, 999, 1083: at
    // 1083 the nearest frame is 11, the last, so the video ends there.
    const std::vector<int> tenPerSecond = ResampleFrames(Evenly(12, 100));
    EXPECT_EQ(tenPerSecond, (std::vector<int>{0, 1, 2, 2, 3, 4, 5, 6, 7, 7, 8, 9, 10}));

    // 13 frames/s: 2 s = 26 frames; 24 frames/s: every other frame is skipped.
    const std::vector<int> thirteen = ResampleFrames(Evenly(26, 1000.0 / 13));
    ASSERT_FALSE(thirteen.empty());
    EXPECT_EQ(thirteen.front(), 0);
    EXPECT_LE(thirteen.back(), 24);
    for (size_t k = 1; k < thirteen.size(); ++k)
        EXPECT_LE(thirteen[k] - thirteen[k - 1], 2);
    EXPECT_EQ(thirteen.size(), 23u);  // K = 24 planned; at 1916 ms the nearest frame is the last

    const std::vector<int> twentyFour = ResampleFrames(Evenly(48, 1000.0 / 24));
    ASSERT_GE(twentyFour.size(), 4u);
    EXPECT_EQ((std::vector<int>(twentyFour.begin(), twentyFour.begin() + 4)), (std::vector<int>{0, 2, 4, 6}));
}

TEST(VideoResampler, EdgesOfTheCine) {
    EXPECT_TRUE(ResampleFrames(std::vector<int64_t>{}).empty());
    EXPECT_TRUE(ResampleFrames(std::vector<int64_t>{0}).empty());                 // one frame writes none
    EXPECT_EQ(ResampleFrames(std::vector<int64_t>{0, 80}), std::vector<int>{0});  // K = 1
    EXPECT_EQ(ResampleFrames(std::vector<int64_t>{0, 200}),
              (std::vector<int>{0, 0}));  // 166 reaches the last
    // A tie takes the later frame: at t = 83, frames at 42 and 124 are both 41 away.
    EXPECT_EQ(ResampleFrames(std::vector<int64_t>{0, 42, 124, 1000}),
              (std::vector<int>{0, 2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(PlannedOutputFrames(std::vector<int64_t>{0, 1000}), 13);
}

TEST(VideoResampler, BadTimesAreRepairedAndTheLengthCapped) {
    // Steps of 100 ms with a step back, a standstill and a jump of an hour.
    const std::vector<int64_t> times{0, 100, 200, 150, 250, 250, 3'600'350, 3'600'450};
    EXPECT_EQ(RepairFrameTimes(times), (std::vector<int64_t>{0, 100, 200, 300, 400, 500, 600, 700}));
    // No sound step at all: one second each.
    EXPECT_EQ(RepairFrameTimes(std::vector<int64_t>{0, 0, -5}), (std::vector<int64_t>{0, 1000, 2000}));
    // Extremes do not overflow.
    EXPECT_EQ(RepairFrameTimes(std::vector<int64_t>{0, INT64_MAX, INT64_MIN, 100}).back(), 3000);

    // Unrepaired, a far last time would plan hours of video; K stays at 24 x N.
    EXPECT_EQ(PlannedOutputFrames(std::vector<int64_t>{0, 100, INT64_MAX}), 72);
    EXPECT_EQ(PlannedOutputFrames(std::vector<int64_t>{0, 100, 86'400'000}), 72);
    EXPECT_LE(ResampleFrames(std::vector<int64_t>{0, 1, 86'400'000}).size(), 72u);
}

TEST(VideoResampler, RepairsTimesWithPlaybacksMedian) {
    // Sound steps 40 and 60: the step back takes the upper middle, 60, as playback does.
    const std::vector<int64_t> times{0, 40, 100, 50};
    const std::vector<int64_t> repaired = RepairFrameTimes(times);
    EXPECT_EQ(repaired, (std::vector<int64_t>{0, 40, 100, 160}));

    std::vector<std::optional<FrameRecord>> records;
    for (const int64_t ms : times) {
        FrameRecord r;
        r.time = {2023, 5, 0, 6, 7, 8, static_cast<uint16_t>(ms / 1000), static_cast<uint16_t>(ms % 1000)};
        records.push_back(r);
    }
    archive::PlaybackPacer pacer;
    pacer.Load(records, static_cast<int>(records.size()));
    for (int i = 0; i + 1 < static_cast<int>(times.size()); ++i)
        EXPECT_EQ(pacer.Interval(i), repaired[static_cast<size_t>(i) + 1] - repaired[static_cast<size_t>(i)])
            << i;
}
