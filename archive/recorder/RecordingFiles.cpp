#include "archive/recorder/RecordingFiles.h"

#include <cstdio>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace recorder {

namespace {

constexpr int kMaxSuffix = 1000;
constexpr mode_t kRecordingMode = platform::kPrivateFileMode;  // patient video

// The typed name is one file-name part: a '/' must not lead into another folder.
std::string FileNamePartOf(const std::string& typed) {
    std::string part = typed;
    for (char& c : part)
        if (c == '/')
            c = '_';
    return part;
}

}  // namespace

RecordingPaths MakeRecordingPaths(const RecordingName& name, int suffix) {
    const platform::SystemTime& t = name.stamp;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u%02u%02u_%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    std::string base = name.patientId + "_" + stamp + "_" + FileNamePartOf(name.fileName);
    if (suffix > 1) {
        base += '_';
        base += std::to_string(suffix);
    }
    base = platform::JoinPath(name.folder, base);
    if (name.select)
        return {base + ".avi", ""};
    return {base + "_temp.avi", base + ".mp4"};
}

bool CreateRecordingFile(const RecordingName& name, RecordingPaths& paths, std::string& error) {
    for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
        const RecordingPaths candidate = MakeRecordingPaths(name, suffix);
        if (!candidate.mp4.empty() && platform::PathExists(candidate.mp4))
            continue;
        std::string failedSteps;
        switch (platform::CreateFileExclusive(candidate.avi, "", kRecordingMode, {}, &failedSteps)) {
            case platform::WriteResult::Ok:
                paths = candidate;
                return true;
            case platform::WriteResult::Exists:
                continue;
            case platform::WriteResult::Failed:
                error = candidate.avi + (failedSteps.empty() ? "" : " (" + failedSteps + ")");
                return false;
        }
    }
    error = MakeRecordingPaths(name).avi + ": too many recordings of that name";
    return false;
}

std::optional<int> Mp4RowFor(bool withCamera, int qualityIndex) {
    if (qualityIndex == kQualitySelect)
        return std::nullopt;
    const int level = qualityIndex == kQualityHigh ? 0 : qualityIndex == kQualityMiddle ? 1 : 2;
    return (withCamera ? 0 : 3) + level;
}

}  // namespace recorder
