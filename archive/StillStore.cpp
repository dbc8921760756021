#include "archive/StillStore.h"

#include <unistd.h>
#include <exception>

#include "archive/ArchiveMessages.h"
#include "archive/StoreSteps.h"
#include "common/BitmapInfo.h"
#include "platform/BmpCodec.h"
#include "platform/FileSystem.h"

namespace archive {

namespace {

CBitmapInfo SidecarOf(const std::string& path, const FrameRecord& r) {
    return CBitmapInfo(path, r.time, r.depth, r.focus, r.freq_mode, r.gain, r.contrast, r.gamma);
}

}  // namespace

bool StoreStill(const StoreIdentity& who, const Image32& rendered, const FrameRecord& shownFrame,
                ExamState& exam, StillStoreResult* result) {
    std::string infoPath;
    std::string imagePath;
    bool wroteInfo = false;
    try {
        CUser user;
        CStoreInfo record;
        if (!PrepareStore(who, StoreTypeStill, kCaptionImageStore, user, record))
            return false;
        if (result)
            result->stamp = record.name;
        imagePath = record.GetBmpPath();
        infoPath = record.GetInfoPath();
        // A second still within the same second, or files of that name already there: refused
        // before anything is written.
        if (record.IsSaved() || imagePath.empty() || platform::PathExists(imagePath) ||
            platform::PathExists(infoPath))
            return false;
        if (!WriteStoreRecords(record, user, kCaptionImageStore))
            return false;
        if (!SidecarOf(infoPath, shownFrame).Save()) {
            ShowStoreError(kMsgInfoWriteError, kCaptionImageStore);
            return false;
        }
        wroteInfo = true;
        // Everything the exam keeps is made before the image is written, so nothing can fail
        // once the item is listed.
        ExamStill kept{imagePath, rendered};
        exam.stills.reserve(exam.stills.size() + 1);
        exam.storedNames.reserve(exam.storedNames.size() + 1);
        const std::string bytes = platform::EncodeBmp32(rendered);
        if (platform::CreateFileExclusive(imagePath, bytes) != platform::WriteResult::Ok) {
            ::unlink(infoPath.c_str());
            ShowStoreError(kMsgFileWriteError, kCaptionImageStore);
            return false;
        }
        exam.NoteStored(record.GetBmpFileName(), record.name);
        exam.stills.push_back(std::move(kept));
        if (result)
            result->imagePath = imagePath;
        return true;
    } catch (const std::exception&) {
        if (wroteInfo && !platform::PathExists(imagePath))
            ::unlink(infoPath.c_str());
        ShowStoreError(kMsgFileWriteError, kCaptionImageStore);
        return false;
    }
}

}  // namespace archive
