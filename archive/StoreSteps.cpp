#include "archive/StoreSteps.h"

#include <limits>

#include "archive/ArchiveMessages.h"
#include "common/AppFolders.h"

namespace archive {

void ShowStoreError(const char* text, const char* caption) {
    platform::ShowMessageBox(text, caption, platform::MsgIcon::Error);
}

bool PrepareStore(const StoreIdentity& who, int32_t storeType, const char* caption, CUser& user,
                  CStoreInfo& record) {
    if (!user.Load(who.patientId)) {
        ShowStoreError(kMsgFileNotFound, caption);
        return false;
    }
    if (user.m_nLastStoreInfoId != std::numeric_limits<uint64_t>::max())
        ++user.m_nLastStoreInfoId;
    record = CStoreInfo(user.m_nLastStoreInfoId, storeType, who.probeType, user.m_strId, who.hwInfo,
                        GetProductName(), who.appVersion);
    return true;
}

bool WriteStoreRecords(const CStoreInfo& record, const CUser& user, const char* caption) {
    if (!record.Save() || !user.Save()) {
        ShowStoreError(kMsgInfoWriteError, caption);
        return false;
    }
    return true;
}

}  // namespace archive
