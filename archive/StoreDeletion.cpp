#include "archive/StoreDeletion.h"

#include "archive/ArchiveMessages.h"
#include "common/AppFolders.h"
#include "common/StoreInfo.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"

namespace archive {

namespace {

// The exam still of that path is gone: drop it and say which index it had.
void ForgetExamStill(const std::string& imagePath, ExamState& exam, std::vector<int>& removed) {
    const int k = exam.FindStill(imagePath);
    if (k < 0)
        return;
    exam.stills.erase(exam.stills.begin() + k);
    removed.push_back(k);
}

}  // namespace

DeletionOutcome DeleteStoredItems(const DeletionRequest& request, ExamState& exam,
                                  std::map<std::string, std::string>& obImageTags,
                                  const DeleteFilesFn& deleteFiles) {
    DeletionOutcome out;
    const std::string app = GetProductName();
    if (platform::ShowMessageBox(kMsgMayDelete, app, platform::MsgIcon::Question,
                                 platform::MsgButtons::OkCancel) != platform::MsgAnswer::Ok)
        return out;
    out.asked = true;

    std::vector<const StoreItemRecord*> chosen;
    if (request.items) {
        for (const int i : request.selected) {
            if (i >= 0 && static_cast<size_t>(i) < request.items->size())
                chosen.push_back(&(*request.items)[static_cast<size_t>(i)]);
        }
    }
    if (chosen.empty()) {
        platform::ShowMessageBox(kMsgNoData, app, platform::MsgIcon::None);
        return out;
    }

    for (const StoreItemRecord* item : chosen) {
        const CStoreInfo record = CStoreInfo::FromFilePath(item->isCine ? item->cineFolder : item->imagePath);
        std::string error;
        const bool moved = deleteFiles ? deleteFiles(record, &error) : record.DeleteFiles(&error);
        // The image (or a cine's folder) is what the list looks for: once it is gone the item is.
        const bool gone = !platform::PathExists(item->isCine ? item->cineFolder : item->imagePath);
        if (gone)
            out.deletedAny = true;
        if (!gone || !moved)
            out.stayed.push_back(item->timeText + (error.empty() ? std::string() : ": " + error));
        if (gone && !item->isCine) {
            obImageTags.erase(item->imagePath);
            ForgetExamStill(item->imagePath, exam, out.removedStills);
        }
    }
    if (!out.stayed.empty()) {
        std::string text = kMsgNotTrashed;
        for (const std::string& s : out.stayed)
            text += "\n" + s;
        platform::ShowMessageBox(text, app, platform::MsgIcon::Exclamation);
    }
    return out;
}

}  // namespace archive
