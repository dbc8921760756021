// Names of a recording's files and the MP4 profile row it is transcoded with.
// The AVI is "<id>_<yyyymmdd_hhmmss>_<name>_temp.avi" and the MP4 the same with ".mp4";
// with the quality word "SEL" the AVI itself is the result, "<...>_<name>.avi". Two
// recordings in the same second do not overwrite each other: the second gets "_2", then "_3".
#pragma once

#include <optional>
#include <string>

#include "platform/Clock.h"

namespace recorder {

// Quality radio indices of the save dialog.
inline constexpr int kQualityHigh = 0;
inline constexpr int kQualityMiddle = 1;
inline constexpr int kQualityLow = 2;
inline constexpr int kQualitySelect = 3;

struct RecordingName {
    std::string folder;
    std::string patientId;
    std::string fileName;        // the free part typed in the save dialog
    platform::SystemTime stamp;  // local time when the recording opens
    bool select = false;         // quality "SEL": a compressor was chosen, no MP4
};

struct RecordingPaths {
    std::string avi;
    std::string mp4;  // empty with "SEL"
};

// The paths for one suffix number: 1 is the plain name, 2 and up add "_<n>" after the name.
RecordingPaths MakeRecordingPaths(const RecordingName& name, int suffix = 1);

// Picks the first suffix whose AVI and MP4 are both free and creates the AVI empty and
// exclusively, so no other recording can take the name. False with `error` when the file
// cannot be created.
bool CreateRecordingFile(const RecordingName& name, RecordingPaths& paths, std::string& error);

// Row of the MP4 profile table: 0 to 2 with a camera, 3 to 5 without, for High, Middle and
// Low; any other index counts as Low. None for "SEL", which is not transcoded.
std::optional<int> Mp4RowFor(bool withCamera, int qualityIndex);

}  // namespace recorder
