#include "archive/export/VideoResampler.h"

#include <algorithm>
#include <cstdint>

#include "archive/FrameIntervals.h"

namespace exportfile {

namespace {

// The step from a to b; 0 (an unsound step) when it does not fit in 64 bits.
int64_t Step(int64_t a, int64_t b) {
    int64_t step = 0;
    return __builtin_sub_overflow(b, a, &step) ? 0 : step;
}

int64_t Distance(int64_t a, int64_t b) {
    return a > b ? a - b : b - a;
}

}  // namespace

std::vector<int64_t> RepairFrameTimes(std::span<const int64_t> times) {
    if (times.empty())
        return {};
    std::vector<int64_t> steps(times.size() - 1);
    for (size_t i = 1; i < times.size(); ++i)
        steps[i - 1] = Step(times[i - 1], times[i]);
    archive::RepairFrameIntervals(steps);  // the same rule as playback
    std::vector<int64_t> repaired(times.size(), 0);
    for (size_t i = 1; i < times.size(); ++i)
        repaired[i] = repaired[i - 1] + steps[i - 1];
    return repaired;
}

int64_t PlannedOutputFrames(std::span<const int64_t> times) {
    if (times.empty())
        return 0;
    const int64_t n = static_cast<int64_t>(times.size());
    const int64_t last = times.back();
    if (last > INT64_MAX / 12)
        return 24 * n;
    const int64_t k = last * 12 / 1000 + 1;
    return std::clamp<int64_t>(k, 0, 24 * n);
}

std::vector<int> ResampleFrames(std::span<const int64_t> times) {
    std::vector<int> chosen;
    const size_t n = times.size();
    const int64_t k = PlannedOutputFrames(times);
    double accumulated = 0.0;
    size_t j = 0;
    for (int64_t out = 0; out < k; ++out) {
        const auto t = static_cast<int64_t>(accumulated);
        accumulated += kOutputFrameMs;
        while (j + 1 < n && Distance(t, times[j + 1]) <= Distance(t, times[j]))
            ++j;
        if (j + 1 >= n)
            break;  // reached the last stored frame: the video ends here
        chosen.push_back(static_cast<int>(j));
    }
    return chosen;
}

}  // namespace exportfile
