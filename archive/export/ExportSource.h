// What the exports and the print read from the main window: the selected thumbnail-list
// item, the image area as shown, the patient, the review cine and the frame records. The
// main window implements it over its core and the archive's list; tests fill it by hand.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/StoreItemList.h"
#include "common/DateFormatter.h"
#include "imaging/FrameRecord.h"
#include "platform/Image.h"

namespace exportfile {

class IExportSource {
public:
    virtual ~IExportSource() = default;
    // The first selected item of the thumbnail list, or none.
    virtual std::optional<archive::StoreItemRecord> SelectedItem() const = 0;
    // The main view's image area as the user sees it, 480 x 480, with its labels; empty when
    // the shown still's bitmap is missing.
    virtual Image32 RenderImageArea() = 0;
    virtual std::string PatientId() const = 0;
    virtual std::string PatientName() const = 0;
    // The review cine: the loaded stored cine, or the previewed still's frame.
    virtual int ReviewFrameCount() const = 0;
    virtual bool ReviewFrame(int index, Image8& out) const = 0;
    // False when the frame's picture did not load (it reads black).
    virtual bool ReviewFrameLoaded(int index) const = 0;
    // None when the frame has no record (its sidecar did not load).
    virtual std::optional<FrameRecord> ReviewFrameRecord(int index) const = 0;
    // The review record at the current review position (the shown stored item).
    virtual std::optional<FrameRecord> ShownReviewRecord() const = 0;
    // A stored item (preview or loaded cine) is on screen rather than the frozen live image.
    virtual bool StoredItemShown() const = 0;
    // The live processor's record of the frozen image on screen.
    virtual std::optional<FrameRecord> LiveFrameRecord() const = 0;
    virtual bool SelectPrinter() const = 0;
    virtual DateFormatter Dates() const = 0;
};

// The review cine's frame times in ms from frame 0 (at most 512 frames) and how many of its
// pictures did not load. A frame without a record takes the time between its neighbours
// that have one (before the first or after the last of them, an unknown step that the
// repair of the intervals fills), so a lost sidecar neither lengthens nor shortens the video.
struct ReviewTimes {
    std::vector<int64_t> times;
    int missing = 0;
};
ReviewTimes CollectReviewTimes(const IExportSource& source);

// The two print captions: the patient id and name; "Measurement Time:" with the time of the
// shown stored item (a previewed still or a loaded cine), or of the live image when none is
// shown.
struct PrintCaptions {
    std::string caption1;
    std::string caption2;
};
PrintCaptions MakePrintCaptions(const IExportSource& source);

}  // namespace exportfile
