#include "archive/export/VideoResampler.h"

#include <algorithm>
#include <cstdint>

namespace exportfile {

namespace {

constexpr int64_t kMaxStepMs = 1000;

bool SoundStep(int64_t step) {
    return step > 0 && step <= kMaxStepMs;
}

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
    std::vector<int64_t> steps;
    for (size_t i = 1; i < times.size(); ++i)
        if (SoundStep(Step(times[i - 1], times[i])))
            steps.push_back(Step(times[i - 1], times[i]));
    int64_t median = kMaxStepMs;
    if (!steps.empty()) {
        const auto mid = steps.begin() + static_cast<std::ptrdiff_t>((steps.size() - 1) / 2);
        std::nth_element(steps.begin(), mid, steps.end());
        median = *mid;
    }
    // Every interval is kept or replaced on its own, as playback does, so one bad time does
    // not shift the steps after it.
    std::vector<int64_t> repaired(times.size(), 0);
    for (size_t i = 1; i < times.size(); ++i) {
        const int64_t step = Step(times[i - 1], times[i]);
        repaired[i] = repaired[i - 1] + (SoundStep(step) ? step : median);
    }
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
