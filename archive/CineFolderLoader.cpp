#include "archive/CineFolderLoader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "archive/ArchiveMessages.h"
#include "archive/StoreItemList.h"
#include "common/AppFolders.h"
#include "common/ArchiveNames.h"
#include "common/User.h"
#include "platform/BmpCodec.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"

namespace archive {

namespace {

constexpr int kFrameSide = 480;

Image8 FitFrame(Image8&& picture) {
    if (picture.width() == kFrameSide && picture.height() == kFrameSide)
        return std::move(picture);
    Image8 fitted(kFrameSide, kFrameSide, 0);
    const int w = std::min(picture.width(), kFrameSide);
    for (int y = 0; y < std::min(picture.height(), kFrameSide); ++y)
        std::copy(picture.Row(y), picture.Row(y) + w, fitted.Row(y));
    return fitted;
}

class OnceMessage {
public:
    explicit OnceMessage(const char* text) : text_(text) {}
    void Show() {
        if (shown_)
            return;
        shown_ = true;
        platform::ShowMessageBox(text_, GetProductName(), platform::MsgIcon::None);
    }

private:
    const char* text_;
    bool shown_ = false;
};

bool IsFrameImageName(const std::string& name) {
    return CUser::MatchWildcard("???.bmp", name);
}

bool IsFrameSidecarName(const std::string& name) {
    return CUser::MatchWildcard("???.info", name);
}

// Far more than a frame's picture or sidecar: a huge file under a frame's name is not pulled
// into memory ahead of the load that refuses it.
constexpr off_t kReadAheadBytes = 1 << 20;

// Asks the kernel to read every frame file of the folder at once: from a cold cache the disk
// then works on many files together instead of one small read after the other.
void ReadAhead(const std::string& folder, const std::vector<platform::DirEntry>& entries) {
    for (const platform::DirEntry& e : entries) {
        if (e.isDirectory || e.isSymlink || !(IsFrameImageName(e.name) || IsFrameSidecarName(e.name)))
            continue;
        const int fd = ::open(platform::JoinPath(folder, e.name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
            ::posix_fadvise(fd, 0, std::min(st.st_size, kReadAheadBytes), POSIX_FADV_WILLNEED);
        ::close(fd);
    }
}

}  // namespace

LoadedCine LoadCineFolder(const std::string& folder, const CineLoadSink& sink) {
    LoadedCine out;
    out.records.assign(kMaxCineFrames, std::nullopt);
    std::vector<platform::DirEntry> entries;
    out.folderRead = platform::ListDirectory(folder, entries);
    out.entries = static_cast<int>(entries.size());
    ReadAhead(folder, entries);
    OnceMessage loadError(kMsgBitmapLoadError);
    OnceMessage infoError(kMsgInfoReadError);
    Image8 picture;
    int done = 0;
    for (const platform::DirEntry& e : entries) {
        if (sink.progress)
            sink.progress(++done, out.entries);
        if (e.isDirectory)
            continue;
        const bool image = IsFrameImageName(e.name);
        const bool sidecar = IsFrameSidecarName(e.name);
        if ((!image && !sidecar) || e.name == "Body.bmp")
            continue;
        int number = 0;
        size_t digits = 0;
        while (digits < e.name.size() && e.name[digits] >= '0' && e.name[digits] <= '9')
            number = number * 10 + (e.name[digits++] - '0');
        if (digits != 3)
            continue;  // three digits and the extension, nothing else
        const int index = number - 1;
        if (index + 1 > out.count)
            out.count = index + 1;
        if (index < 0 || index >= kMaxCineFrames)
            continue;
        const std::string path = platform::JoinPath(folder, e.name);
        if (image) {
            if (!platform::ReadBmpFileGrey(path, picture)) {
                if (!sink.unreadFile || sink.unreadFile(path))
                    loadError.Show();
                continue;  // the frame stays black
            }
            if (sink.frame)
                sink.frame(index, FitFrame(std::move(picture)));
        } else {
            FrameRecord record;
            if (!ReadStoreInfo(path, record)) {
                if (!sink.unreadFile || sink.unreadFile(path))
                    infoError.Show();
                continue;
            }
            out.records[static_cast<size_t>(index)] = record;
            if (sink.record)
                sink.record(index, record);
        }
    }
    return out;
}

bool LoadStoredPicture(const std::string& bmpPath, Image32& out) {
    Image32 picture;
    if (!platform::ReadBmpFile(bmpPath, picture))
        return false;
    if (picture.width() == kFrameSide && picture.height() == kFrameSide) {
        out = std::move(picture);
        return true;
    }
    out.Resize(kFrameSide, kFrameSide, 0);
    const int w = std::min(picture.width(), kFrameSide);
    for (int y = 0; y < std::min(picture.height(), kFrameSide); ++y)
        std::copy(picture.Row(y), picture.Row(y) + w, out.Row(y));
    return true;
}

int64_t ParseTrailingNumber(const std::string& path, bool isCine) {
    const size_t drop = isCine ? 13 : 4;
    std::string rest = path.size() > drop ? path.substr(0, path.size() - drop) : std::string();
    if (rest.size() > kStampLength)
        rest = rest.substr(rest.size() - kStampLength);
    return std::strtoll(rest.c_str(), nullptr, 10);
}

}  // namespace archive
