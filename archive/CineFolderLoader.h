// Loads a stored cine's folder for review: frame n ("%03d.bmp" with "%03d.info") goes to
// ring index n - 1. "Body.bmp" and other names are ignored; numbers beyond 512 raise the
// count but load nothing; a gap leaves a black frame without a record. Records start
// cleared, so no record of an earlier cine survives into this one. Each message at most
// once per load.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "imaging/FrameRecord.h"
#include "platform/Image.h"

namespace archive {

struct CineLoadSink {
    // A frame's picture, 480 x 480 grey (a foreign picture clipped or padded to it).
    std::function<void(int index, const Image8& frame)> frame;
    std::function<void(int index, const FrameRecord& record)> record;
    // (entries done, entries in all), once per entry of the folder.
    std::function<void(int done, int total)> progress;
    // A frame's picture or sidecar that did not read: true when its message is due (unset:
    // always), false when the user was already told.
    std::function<bool(const std::string& path)> unreadFile;
};

struct LoadedCine {
    int count = 0;  // the highest frame number found (readers cap it at 512)
    std::vector<std::optional<FrameRecord>> records;  // 512 entries; empty where none was read
    int entries = 0;                                  // entries of the folder
    bool folderRead = false;
};

LoadedCine LoadCineFolder(const std::string& folder, const CineLoadSink& sink);

// A stored picture for the preview: the file decoded and fitted to 480 x 480 (a foreign
// picture is clipped, or padded with black). False when it does not load.
bool LoadStoredPicture(const std::string& bmpPath, Image32& out);

// The number a path's stamp gives: a cine frame path loses ".cine/001.bmp" (13 characters),
// a still's ".bmp" (4); the last 14 characters left are read as a decimal number.
int64_t ParseTrailingNumber(const std::string& path, bool isCine);

}  // namespace archive
