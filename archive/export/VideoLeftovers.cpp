#include "archive/export/VideoLeftovers.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "archive/export/SaveDialogSettings.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace exportfile {

namespace {

std::mutex g_claimMutex;
std::mutex g_sweepMutex;  // one sweep at a time, and none between a file's creation and its claim
std::set<std::string>& Claimed() {
    static std::set<std::string> claimed;
    return claimed;
}

bool IsDigits(const std::string& s, size_t at, size_t count) {
    if (at + count > s.size())
        return false;
    for (size_t i = at; i < at + count; ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// "_<14 digits>_" (an exported item's stamp) or "_<8 digits>_<6 digits>_" (a recording's).
bool HasVideoStamp(const std::string& name, bool recordingOnly) {
    for (size_t at = name.find('_'); at != std::string::npos; at = name.find('_', at + 1)) {
        if (!recordingOnly && IsDigits(name, at + 1, 14) && at + 15 < name.size() && name[at + 15] == '_')
            return true;
        if (IsDigits(name, at + 1, 8) && at + 9 < name.size() && name[at + 9] == '_' &&
            IsDigits(name, at + 10, 6) && at + 16 < name.size() && name[at + 16] == '_')
            return true;
    }
    return false;
}

// The claimed files by identity, so a path spelt another way ("a//b") is still known.
std::set<std::pair<dev_t, ino_t>> ClaimedFiles() {
    std::lock_guard lock(g_claimMutex);
    std::set<std::pair<dev_t, ino_t>> files;
    for (const std::string& path : Claimed()) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0)
            files.insert({st.st_dev, st.st_ino});
    }
    return files;
}

}  // namespace

void ClaimVideoFile(const std::string& path) {
    std::lock_guard lock(g_claimMutex);
    Claimed().insert(path);
}

void ReleaseVideoFile(const std::string& path) {
    std::lock_guard lock(g_claimMutex);
    Claimed().erase(path);
}

std::unique_lock<std::mutex> HoldOffSweeps() {
    return std::unique_lock(g_sweepMutex);
}

bool IsVideoTemporaryName(const std::string& name) {
    // The writer's temporaries are named as every temporary copy of a file.
    const size_t at = platform::TemporaryCopyStemLength(name);
    if (at == std::string::npos)
        return false;
    const std::string stem = name.substr(0, at);
    return (EndsWith(stem, ".avi") || EndsWith(stem, ".mp4")) && HasVideoStamp(stem, false);
}

bool IsRecordingPlaceholderName(const std::string& name) {
    return EndsWith(name, ".avi") && HasVideoStamp(name, true);
}

int SweepVideoLeftovers(const std::string& folder) {
    // Names first: a folder of many files costs no look at each of them (the start waits).
    std::vector<std::string> names;
    if (folder.empty())
        return 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (IsVideoTemporaryName(name) || IsRecordingPlaceholderName(name))
                names.push_back(name);
        }
        ::closedir(dir);
    }
    if (names.empty())
        return 0;
    const std::unique_lock sweeping = HoldOffSweeps();
    const std::set<std::pair<dev_t, ino_t>> claimed = ClaimedFiles();
    int removed = 0;
    for (const std::string& name : names) {
        const bool temporary = IsVideoTemporaryName(name);
        const std::string path = platform::JoinPath(folder, name);
        struct stat st {};
        // Regular files only: never a folder, nor what a link points to.
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid())
            continue;
        // A placeholder holds nothing; a recording that has its frames is never one.
        if (!temporary && st.st_size != 0)
            continue;
        if (claimed.count({st.st_dev, st.st_ino}) != 0)
            continue;
        if (::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

int SweepVideoLeftoversAtStart() {
    std::set<std::string> folders;
    for (ExportCaller caller : {ExportCaller::Video, ExportCaller::Recorder})
        folders.insert(ReadSaveDialogSettings(caller).folder);
    int removed = 0;
    for (const std::string& folder : folders)
        removed += SweepVideoLeftovers(folder);
    return removed;
}

}  // namespace exportfile
