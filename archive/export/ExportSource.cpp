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
    std::optional<FrameRecord> first;
    for (int i = 0; i < count; ++i) {
        const std::optional<FrameRecord> record = source.ReviewFrameRecord(i);
        if (!record) {
            ++result.missing;
            result.times.push_back(result.times.empty() ? 0 : result.times.back());
            continue;
        }
        if (!first)
            first = record;
        result.times.push_back(archive::DiffMilliseconds(first->time, record->time));
    }
    return result;
}

PrintCaptions MakePrintCaptions(const IExportSource& source) {
    const std::optional<FrameRecord> record =
        source.StoredItemShown() ? source.ShownReviewRecord() : source.LiveFrameRecord();
    return {source.PatientId() + " " + source.PatientName(), MeasurementCaption(record, source.Dates())};
}

}  // namespace exportfile
