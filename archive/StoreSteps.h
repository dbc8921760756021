// The steps both stores share: the patient record with its id raised, and the store record.
#pragma once

#include <string>

#include "archive/StoreIdentity.h"
#include "common/StoreInfo.h"
#include "common/User.h"
#include "platform/MessageBox.h"

namespace archive {

void ShowStoreError(const char* text, const char* caption);

// Loads the patient and builds the item's record with the next id (the largest id stays).
// False, after "File is not found.", when the patient file does not load.
bool PrepareStore(const StoreIdentity& who, int32_t storeType, const char* caption, CUser& user,
                  CStoreInfo& record);

// Writes the store record, then the patient record with the raised id. False after
// "info write error!" when either fails; a written store record stays (ids are never reused).
bool WriteStoreRecords(const CStoreInfo& record, const CUser& user, const char* caption);

}  // namespace archive
