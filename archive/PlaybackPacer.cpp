#include "archive/PlaybackPacer.h"

#include <algorithm>

#include "archive/FrameIntervals.h"
#include "common/ArchiveNames.h"

namespace archive {

int64_t DiffMilliseconds(const platform::SystemTime& first, const platform::SystemTime& second) {
    // Capture times are local wall-clock fields; counted as if they were UTC, the difference is
    // by calendar days and ignores the daylight-saving step, as the records ask.
    int64_t a = 0, b = 0;
    if (!platform::UtcToMicros(first, a) || !platform::UtcToMicros(second, b))
        return 0;
    return (b - a) / 1000;
}

void PlaybackPacer::Load(const std::vector<std::optional<FrameRecord>>& records, int count) {
    count_ = std::clamp(count, 0, kMaxCineFrames);
    // A missing record leaves its intervals at 0, which the repair treats as unsound.
    intervals_.assign(static_cast<size_t>(std::max(count_ - 1, 0)), 0);
    for (int i = 0; i + 1 < count_; ++i) {
        const size_t a = static_cast<size_t>(i);
        if (a + 1 < records.size() && records[a] && records[a + 1])
            intervals_[a] = DiffMilliseconds(records[a]->time, records[a + 1]->time);
    }
    RepairFrameIntervals(intervals_);
}

int64_t PlaybackPacer::Interval(int i) const {
    if (i < 0 || static_cast<size_t>(i) >= intervals_.size())
        return kLastFrameMs;
    return intervals_[static_cast<size_t>(i)];
}

void PlaybackPacer::Start(int current, int64_t nowMs) {
    deadline_ = nowMs + (current + 1 < count_ ? Interval(current) : kLastFrameMs);
}

std::optional<int> PlaybackPacer::Step(int current, int64_t nowMs) {
    if (count_ <= 1 || nowMs < deadline_)
        return std::nullopt;
    // The newly shown frame stays for the interval from its predecessor to it; after the
    // wrap the first frame stays for the interval between the last two.
    deadline_ += current + 1 >= count_ ? Interval(count_ - 2) : Interval(current);
    return current + 1 >= count_ ? 0 : current + 1;
}

}  // namespace archive
