#include "archive/export/ExportSource.h"

#include <algorithm>

#include "archive/PlaybackPacer.h"
#include "archive/export/ExportItem.h"

namespace exportfile {

namespace {
constexpr int kMaxCineFrames = 512;
}

ReviewTimes CollectReviewTimes(const IExportSource& source) {
    ReviewTimes result;
    const int count = std::clamp(source.ReviewFrameCount(), 0, kMaxCineFrames);
    // Times of the frames that have a record, from the first of them.
    std::vector<std::optional<int64_t>> known(static_cast<size_t>(count));
    std::optional<FrameRecord> first;
    for (int i = 0; i < count; ++i) {
        if (!source.ReviewFrameLoaded(i))
            ++result.missing;
        const std::optional<FrameRecord> record = source.ReviewFrameRecord(i);
        if (!record)
            continue;
        if (!first)
            first = record;
        known[static_cast<size_t>(i)] = archive::DiffMilliseconds(first->time, record->time);
    }
    // Between two known times a missing one is interpolated; outside them it stays unknown.
    for (int i = 0; i < count;) {
        if (known[static_cast<size_t>(i)]) {
            ++i;
            continue;
        }
        int next = i;
        while (next < count && !known[static_cast<size_t>(next)])
            ++next;
        if (i > 0 && next < count) {
            const int64_t a = *known[static_cast<size_t>(i - 1)];
            const int64_t b = *known[static_cast<size_t>(next)];
            const int64_t span = next - (i - 1);
            for (int k = i; k < next; ++k)
                known[static_cast<size_t>(k)] =
                    a + (b - a) / span * (k - (i - 1)) + (b - a) % span * (k - (i - 1)) / span;
        }
        i = next;
    }
    // An unknown step counts 0, which the interval repair replaces by the median.
    int64_t t = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && known[static_cast<size_t>(i)] && known[static_cast<size_t>(i - 1)])
            t += *known[static_cast<size_t>(i)] - *known[static_cast<size_t>(i - 1)];
        result.times.push_back(t);
    }
    return result;
}

PrintCaptions MakePrintCaptions(const IExportSource& source) {
    const std::optional<FrameRecord> record =
        source.StoredItemShown() ? source.ShownReviewRecord() : source.LiveFrameRecord();
    return {source.PatientId() + " " + source.PatientName(), MeasurementCaption(record, source.Dates())};
}

}  // namespace exportfile
