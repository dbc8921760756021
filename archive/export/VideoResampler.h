// Resampling of a stored cine, whose frames carry their own capture times, to the constant
// 12 frames per second of an exported video.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace exportfile {

// Output frame interval in milliseconds, accumulated in double precision.
inline constexpr double kOutputFrameMs = 83.33333333333;

// Frame times in ms from frame 0, repaired as playback repairs its intervals: a time that does
// not increase, or a step over 1000 ms, becomes the previous time plus the cine's median
// interval (archive::RepairFrameIntervals).
std::vector<int64_t> RepairFrameTimes(std::span<const int64_t> times);

// Number of output frames planned for the times: K = t(N-1) x 12 / 1000 + 1, capped at
// 24 x N so a damaged last time cannot fill the disk. 0 for no frames.
int64_t PlannedOutputFrames(std::span<const int64_t> times);

// The stored frame of each output frame k, for times t(0) = 0 < t(1) < ...: output time
// t = (int64) (kOutputFrameMs added k times); from the previous choice, move on while the
// next frame is not farther from t (ties take the later frame). Output stops as soon as a
// move reaches the last stored frame, which is therefore never written; one frame gives none.
std::vector<int> ResampleFrames(std::span<const int64_t> times);

}  // namespace exportfile
