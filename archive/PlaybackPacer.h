// The pace of stored-cine playback, taken from the frames' capture times. Intervals are
// worked out once at load: an interval whose records are missing or invalid, or that is not
// in 1..1000 ms (a clock step, a DST change, a gap), takes the cine's median interval, or
// 1000 ms when the cine has none. The deadline runs on the monotonic clock and accumulates
// from Play, so a late tick does not delay the frames after it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/FrameRecord.h"
#include "platform/Clock.h"

namespace archive {

// Milliseconds from the first time to the second (truncated), both read as calendar times
// without a zone; 0 when either is no valid time.
int64_t DiffMilliseconds(const platform::SystemTime& first, const platform::SystemTime& second);

class PlaybackPacer {
public:
    static constexpr int64_t kLastFrameMs = 1000;

    // The loaded records (index = ring index) and the review count (capped at 512 here).
    void Load(const std::vector<std::optional<FrameRecord>>& records, int count);
    int FrameCount() const { return count_; }
    // Milliseconds from frame i to frame i + 1 (i from 0 to count - 2), cleaned.
    int64_t Interval(int i) const;

    // Play pressed on frame `current` at `nowMs`: the frame stays for its interval to the
    // next one, or 1000 ms when it is the last.
    void Start(int current, int64_t nowMs);
    // The 10 ms tick: the frame to show now, or nothing while the deadline lies ahead (and
    // always nothing for a cine of one frame).
    std::optional<int> Step(int current, int64_t nowMs);
    int64_t Deadline() const { return deadline_; }

private:
    std::vector<int64_t> intervals_;
    int count_ = 0;
    int64_t deadline_ = 0;
};

}  // namespace archive
