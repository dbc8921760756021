#include "archive/FrameIntervals.h"

#include <algorithm>
#include <vector>

namespace archive {

bool IsSoundFrameInterval(int64_t ms) {
    return ms > 0 && ms <= kMaxFrameIntervalMs;
}

int64_t MedianFrameInterval(std::span<const int64_t> intervals) {
    std::vector<int64_t> sound;
    std::copy_if(intervals.begin(), intervals.end(), std::back_inserter(sound), IsSoundFrameInterval);
    if (sound.empty())
        return kMaxFrameIntervalMs;
    const auto mid = sound.begin() + static_cast<std::ptrdiff_t>(sound.size() / 2);
    std::nth_element(sound.begin(), mid, sound.end());
    return *mid;
}

void RepairFrameIntervals(std::span<int64_t> intervals) {
    const int64_t median = MedianFrameInterval(intervals);
    for (int64_t& d : intervals)
        if (!IsSoundFrameInterval(d))
            d = median;
}

}  // namespace archive
