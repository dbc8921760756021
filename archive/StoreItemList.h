// The thumbnail list's model: one record per listed item of the current patient, filled from
// the patient folder without decoding a single picture (thumbnails are composed only when
// their row is drawn). The exam list shows the items stored in this exam by name; viewer
// mode shows all. A full refill also sweeps leftovers of interrupted stores (".part"
// folders, temporary files) to the trash.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "archive/ExamState.h"
#include "imaging/FrameRecord.h"

namespace archive {

struct StoreItemRecord {
    std::string patientId;
    std::string patientName;
    std::string patientSex;
    std::string birthdate;    // display form
    std::string timeText;     // the stamp for display: list sub-item 2
    std::string captureTime;  // the first sidecar's time with milliseconds; empty when it does not read
    std::string typeText;     // "Image" or "Cine": list sub-item 3
    std::string imagePath;    // the still's image, or the cine's first frame
    std::string sidecarPath;  // its sidecar
    std::string cineFolder;   // the frame folder with '/', empty for a still
    int32_t number = 0;       // shown on the thumbnail, from 1
    bool flag = false;
    int64_t stamp = 0;  // the 14-digit name as a number
    int32_t isCine = 0;
};

inline constexpr const char* kTypeImage = "Image";
inline constexpr const char* kTypeCine = "Cine";

struct FillRequest {
    std::string patientId;
    bool examList = true;   // the exam list (items of this exam) or viewer mode (all)
    bool reset = true;      // rebuild the list; false appends the exam's last stored item
    bool withCines = true;  // false in the OB/GY layout: stills only (numbers keep their gaps)
};

class StoreItemList {
public:
    // Fills or extends the list. Each message at most once per fill: "File is not found."
    // when the patient file does not load, "Bitmap Inf Read Error." when sidecars do not read.
    // A cine folder without any file goes to the trash and is left out.
    void Fill(const FillRequest& request, const ExamState& exam);
    void Clear() { items_.clear(); }

    const std::vector<StoreItemRecord>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    int ListIndexToImageIndex(int i) const;
    bool HasStoredImage() const;

    // Number of leftovers the last full refill moved to the trash.
    int SweptLeftovers() const { return swept_; }

    // A sidecar or picture of a listed item did not read when it was previewed or opened:
    // true when its message ("Bitmap Inf Read Error.", "Bitmap Load Error.") is still due,
    // false when this fill already said so (a message at every click would swallow the
    // double click that opens a cine).
    bool ReportUnreadFile(const std::string& path);

private:
    std::vector<StoreItemRecord> items_;
    int swept_ = 0;
    std::set<std::string> unreadFiles_;  // since the last full fill
};

// Index of list item i among the listed stills (i less the cines up to it); negative i as is.
int ListIndexToImageIndex(const std::vector<StoreItemRecord>& items, int i);
// At least one still is listed.
bool HasStoredImage(const std::vector<StoreItemRecord>& items);

// The exam still a preview of list item i selects for OB/GY: the still of that image path
// among the exam's stills, or -1 (a cine, or a still of another exam, selects none).
int PreviewObgyImage(const std::vector<StoreItemRecord>& items, int i, const ExamState& exam);
// The path of an item without ".bmp": what the preview and the review open.
std::string PreviewStem(const StoreItemRecord& item);

// Reads an image sidecar into a frame record (the temperature stays as it was).
bool ReadStoreInfo(const std::string& sidecarPath, FrameRecord& record);
// A sidecar depth fit to become the measurement scale: 20..240 mm.
bool IsMeasurableDepth(int depthMm);

// Moves leftovers of interrupted stores in a patient folder to the trash: "*.cine.part"
// folders and "*.tmp.??????" files. Returns how many went.
int SweepStoreLeftovers(const std::string& patientFolder);

}  // namespace archive
