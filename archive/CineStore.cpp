#include "archive/CineStore.h"

#include <sys/stat.h>
#include <exception>
#include <map>
#include <utility>

#include "archive/ArchiveMessages.h"
#include "archive/CineFrameOrder.h"
#include "archive/StoreSteps.h"
#include "common/AppFolders.h"
#include "common/ArchiveNames.h"
#include "common/BitmapInfo.h"
#include "common/SupportUtil.h"
#include "platform/BmpCodec.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace archive {

namespace {

constexpr int kFrameSide = 480;
constexpr uint64_t kBlock = 4096;
constexpr int64_t kProgressEveryMicros = 50'000;

// A frame or its folder that could not be written: the plain "Error" box, unlike the records'.
void ShowFrameError(const char* text) {
    platform::ShowMessageBox(text, kCaptionError, platform::MsgIcon::None);
}

uint64_t RoundToBlock(uint64_t bytes) {
    return (bytes + kBlock - 1) / kBlock * kBlock;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

CBitmapInfo SidecarOf(const FrameRecord& r) {
    return CBitmapInfo({}, r.time, r.depth, r.focus, r.freq_mode, r.gain, r.contrast, r.gamma);
}

// Sends progress at the start, then at most every 50 ms, and always at the end.
class ProgressThrottle {
public:
    explicit ProgressThrottle(const std::function<void(int, int)>& report) : report_(report) {}
    void Report(int done, int total) {
        if (!report_)
            return;
        const int64_t now = platform::Clock().MonotonicMicros();
        if (done == 0 || done == total || now - last_ >= kProgressEveryMicros) {
            last_ = now;
            report_(done, total);
        }
    }

private:
    const std::function<void(int, int)>& report_;
    int64_t last_ = 0;
};

enum class FrameOutcome { Written, Cancelled, Failed };

// Writes the frames into the .part folder.
FrameOutcome WriteFrames(const ICineSource& source, const std::vector<int>& order,
                         const std::string& partFolder, const CineStoreHooks& hooks, int& written) {
    ProgressThrottle progress(hooks.progress);
    const int n = static_cast<int>(order.size());
    std::map<std::pair<int, int>, OverlayLayer> layers;  // by depth and focus mark
    Image8 frame;
    Image8 composed(kFrameSide, kFrameSide);
    for (int i = 0; i < n; ++i) {
        progress.Report(i, n);
        if (hooks.cancelRequested && hooks.cancelRequested())
            return FrameOutcome::Cancelled;
        const int slot = order[static_cast<size_t>(i)];
        const FrameRecord record = source.GetRecord(slot).value_or(FrameRecord{});
        if (!source.GetFrame(slot, frame))
            frame = Image8();
        // Always the whole frame; a smaller one is padded with black.
        composed.Fill(0);
        for (int y = 0; y < std::min(frame.height(), kFrameSide); ++y) {
            const int w = std::min(frame.width(), kFrameSide);
            std::copy(frame.Row(y), frame.Row(y) + w, composed.Row(y));
        }
        const int focusMark = record.focus > 0 ? record.focus : -1;
        const auto key = std::make_pair(record.depth, focusMark);
        auto layer = layers.find(key);
        if (layer == layers.end()) {
            layer = layers.emplace(key, OverlayLayer{}).first;
            layer->second.Build(hooks.drawOverlay, kFrameSide, kFrameSide, record.depth, focusMark);
        }
        layer->second.Apply(composed);

        const std::string bmp = MakeCineFramePath(partFolder, i + 1, kBitmapExtension);
        const std::string info = MakeCineFramePath(partFolder, i + 1, kSidecarExtension);
        const std::string sidecar = SidecarOf(record).PrintXml();
        if (platform::CreateFileUnsynced(bmp, platform::EncodeBmpGrey8(composed)) !=
                platform::WriteResult::Ok ||
            sidecar.empty() || platform::CreateFileUnsynced(info, sidecar) != platform::WriteResult::Ok)
            return FrameOutcome::Failed;
        written = i + 1;
    }
    progress.Report(n, n);
    return FrameOutcome::Written;
}

}  // namespace

uint64_t CineStoreBytesNeeded(int frames) {
    const uint64_t perFrame =
        RoundToBlock(platform::kBmpFileHeaderSize + platform::kBmpInfoHeaderSize +
                     platform::kBmpGreyPaletteSize + uint64_t{kFrameSide} * kFrameSide) +
        kBlock;
    return static_cast<uint64_t>(frames) * perFrame + 16 * kBlock;
}

bool StoreCine(const StoreIdentity& who, const ICineSource& source, ExamState& exam,
               const CineStoreHooks& hooks, CineStoreResult* result) {
    CineStoreResult local;
    CineStoreResult& out = result ? *result : local;
    out = CineStoreResult{};
    const std::vector<int> order = CineFrameOrder(source.FrameCount(), source.NewestIndex());
    if (order.empty()) {
        platform::ShowMessageBox(kMsgNoData, GetProductName(), platform::MsgIcon::Exclamation);
        return false;
    }
    std::string partFolder;
    try {
        CUser user;
        CStoreInfo record;
        if (!PrepareStore(who, StoreTypeCine, kCaptionCineStore, user, record))
            return false;
        out.stamp = record.name;
        const std::string cineFolder = WithoutTrailingSlash(record.GetCinePath());
        if (cineFolder.empty()) {
            ShowFrameError(kMsgFolderCreateError);
            return false;
        }
        const std::string part = cineFolder + kPartSuffix;
        // Refused before anything is written: a cine of the same second, or its folders.
        if (record.IsSaved() || platform::PathExists(cineFolder) || platform::PathExists(part))
            return false;

        uint64_t freeBytes = 0;
        const std::string patientFolder = platform::ParentFolder(cineFolder);
        const bool known = hooks.freeSpace ? hooks.freeSpace(patientFolder, freeBytes)
                                           : platform::FreeDiskBytes(patientFolder, freeBytes);
        if (known && freeBytes < CineStoreBytesNeeded(static_cast<int>(order.size()))) {
            ShowStoreError(kMsgDiskFull, kCaptionCineStore);
            return false;
        }
        if (!WriteStoreRecords(record, user, kCaptionCineStore))
            return false;
        if (::mkdir(part.c_str(), platform::kPrivateDirMode) != 0) {
            ShowFrameError(kMsgFolderCreateError);
            return false;
        }
        partFolder = part;

        const FrameOutcome outcome = WriteFrames(source, order, part + "/", hooks, out.frames);
        if (outcome == FrameOutcome::Cancelled) {
            out.cancelled = true;
            DeleteFolderRecursive(part);
            return false;
        }
        if (outcome == FrameOutcome::Failed || !platform::SyncFileSystem(part) ||
            !platform::RenameNoReplace(part, cineFolder)) {
            DeleteFolderRecursive(part);
            ShowFrameError(kMsgFileWriteError);
            return false;
        }
        exam.NoteStored(record.GetCineFileName(), record.name);
        out.folder = cineFolder + "/";
        return true;
    } catch (const std::exception&) {
        if (!partFolder.empty())
            DeleteFolderRecursive(partFolder);
        ShowFrameError(kMsgFileWriteError);
        return false;
    }
}

}  // namespace archive
