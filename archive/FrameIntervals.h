// The one rule for the intervals between a stored cine's frames, shared by playback and the
// video export: an interval is trusted when it lies in 1..1000 ms; any other (a clock step, a
// daylight-saving change, a gap, a missing record) takes the median of the trusted ones.
#pragma once

#include <cstdint>
#include <span>

namespace archive {

inline constexpr int64_t kMaxFrameIntervalMs = 1000;

bool IsSoundFrameInterval(int64_t ms);

// The median of the sound intervals, the upper middle one of an even count; 1000 ms when none
// is sound.
int64_t MedianFrameInterval(std::span<const int64_t> intervals);

// Replaces every unsound interval by the median of the sound ones, each on its own, so one bad
// time does not shift the intervals after it.
void RepairFrameIntervals(std::span<int64_t> intervals);

}  // namespace archive
