// The cine store: every frame of the frozen cine, oldest first, becomes one stored cine of
// the current patient. Each frame is the whole 480 x 480 picture with its own depth scale
// and the body mark laid over it in grey. A crash, power loss, full disk or cancel never
// leaves a listed half cine: free space is checked first, the frames go into
// "<stamp>.cine.part/" without a flush per file, one syncfs pass makes them durable, and
// only then is the folder renamed to "<stamp>.cine" (never over an existing one).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "archive/CineSource.h"
#include "archive/ExamState.h"
#include "archive/OverlayLayer.h"
#include "archive/StoreIdentity.h"

namespace archive {

inline constexpr const char* kPartSuffix = ".part";

struct CineStoreHooks {
    // Draws the depth scale (of that depth, with the focus mark when it is not -1) and the
    // current body mark. Without it the frames are stored bare.
    OverlayPainter drawOverlay;
    // Progress (frames done, frames in all): at the start, at most every 50 ms, and at the end.
    // The caller pumps its window messages here.
    std::function<void(int done, int total)> progress;
    // Asked before every frame; true stops the store (Esc, or the progress dialog's Cancel).
    std::function<bool()> cancelRequested;
    // Free bytes on the file system of the folder; statvfs unless a test replaces it.
    std::function<bool(const std::string& folder, uint64_t& bytes)> freeSpace;
};

struct CineStoreResult {
    std::string stamp;   // the item's name, once a record was built
    std::string folder;  // the stored "<stamp>.cine/" folder, once stored
    int frames = 0;      // frames written
    bool cancelled = false;
};

// Bytes a cine of n frames needs on disk, with room for the records.
uint64_t CineStoreBytesNeeded(int frames);

// Stores the cine. True when every frame was written and the folder renamed into place.
// False, after at most one message, when there are no frames ("No data"), the patient does
// not load, the disk is too full, a cine of the same second exists (no message), a write
// fails, or the store is cancelled (no message). Whatever the reason, no frame folder is
// left behind; the store record and the raised id stay once written (ids are never reused).
bool StoreCine(const StoreIdentity& who, const ICineSource& source, ExamState& exam,
               const CineStoreHooks& hooks, CineStoreResult* result = nullptr);

}  // namespace archive
