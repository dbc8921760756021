// The still store: one rendered 480 x 480 picture of the image area and the shown frame's
// record become a stored still of the current patient. The files are written so that a
// crash, a power loss or a full disk never leaves a half item in the list: the store
// record, the patient file (id raised), the sidecar, and the image last, because the image
// is what the list looks for.
#pragma once

#include <string>

#include "archive/ExamState.h"
#include "archive/StoreIdentity.h"
#include "imaging/FrameRecord.h"
#include "platform/Image.h"

namespace archive {

struct StillStoreResult {
    std::string stamp;      // the item's 14-digit name, once a record was built
    std::string imagePath;  // the still's .bmp, once stored
};

// Stores the still. True when every file was written: the exam then notes the item and
// keeps the rendered picture under its image path. False, after at most one message, when
// the patient does not load, a still of the same second exists (no message), or a write
// fails; a failed store removes what it wrote except the store record and the raised id.
bool StoreStill(const StoreIdentity& who, const Image32& rendered, const FrameRecord& shownFrame,
                ExamState& exam, StillStoreResult* result = nullptr);

}  // namespace archive
