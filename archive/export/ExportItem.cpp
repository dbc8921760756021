#include "archive/export/ExportItem.h"

#include "archive/export/ExportSettings.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

namespace exportfile {

std::string ItemPatientFolder(const archive::StoreItemRecord& record) {
    if (!record.cineFolder.empty()) {
        std::string folder = record.cineFolder;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return platform::ParentFolder(folder);
    }
    return platform::ParentFolder(record.imagePath);
}

std::string MeasurementCaption(const std::optional<FrameRecord>& record, const DateFormatter& dates) {
    std::string caption = resources::LoadString(strings::kMeasurementTime) + ":";
    // A cleared record (no frame was ever taken into it) has no time to show.
    if (record && record->time.wYear != 0)
        caption += dates.FormatDateTime(record->time, true);
    return caption;
}

ExportItem MakeExportItem(const archive::StoreItemRecord& record, const std::string& patientId,
                          const std::string& patientName, const std::optional<FrameRecord>& shown,
                          const DateFormatter& dates) {
    ExportItem item;
    item.stampText = platform::Format("%014lld", static_cast<long long>(record.stamp));
    const std::string folder = ItemPatientFolder(record);
    item.itemPath = folder.empty() ? item.stampText : WithTrailingSlash(folder) + item.stampText;
    item.idAndName = patientId + " " + patientName;
    item.caption = MeasurementCaption(shown, dates);
    item.isCine = record.isCine != 0 || !record.cineFolder.empty();
    return item;
}

}  // namespace exportfile
