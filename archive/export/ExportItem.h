// What the JPEG and video exports of the main window take from the selected thumbnail-list
// item: the item's path and stamp come from its record (never parsed back from the time text
// on screen), the caption line from the frame record of the image shown.
#pragma once

#include <optional>
#include <string>

#include "archive/StoreItemList.h"
#include "common/DateFormatter.h"
#include "imaging/FrameRecord.h"

namespace exportfile {

// String ids of the export texts (resources/strings/export.inc).
namespace strings {
inline constexpr int kNoData = 154;
inline constexpr int kMeasurementTime = 174;
inline constexpr int kRecording = 327;
inline constexpr int kMp4FileOutput = 328;
inline constexpr int kJpegFileOutput = 329;
inline constexpr int kEncoding = 333;
inline constexpr int kAviExport = 334;
inline constexpr int kSelectFolder = 336;
inline constexpr int kBitmapLoadError = 60201;
inline constexpr int kChooseCompressor = 60202;
}  // namespace strings

struct ExportItem {
    std::string itemPath;   // the patient folder and the item's 14-digit stamp
    std::string stampText;  // "%014lld" of the record's stamp
    std::string idAndName;  // patient id, a space, patient name
    std::string caption;    // "Measurement Time:" and the shown frame's date and time
    bool isCine = false;
};

// The item's folder: the folder of a still's image, or the folder holding a cine's frames.
std::string ItemPatientFolder(const archive::StoreItemRecord& record);

// `shown` is the frame record of the image on screen (no time when there is none).
ExportItem MakeExportItem(const archive::StoreItemRecord& record, const std::string& patientId,
                          const std::string& patientName, const std::optional<FrameRecord>& shown,
                          const DateFormatter& dates);

// "Measurement Time:" and the record's date and time; just the label without a record or
// with a cleared one.
std::string MeasurementCaption(const std::optional<FrameRecord>& record, const DateFormatter& dates);

}  // namespace exportfile
