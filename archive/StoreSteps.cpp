#include "archive/StoreSteps.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "archive/ArchiveMessages.h"
#include "common/AppFolders.h"
#include "platform/FileSystem.h"

namespace archive {
namespace {

bool IsRecordFileName(const std::string& name) {
    return CUser::MatchWildcard("??????????????.xml", name);
}

// The largest id the store records in the patient's folder hold. A kill between the writes of
// the store record and the patient file, or a patient file that lost its last id, leaves the
// patient file behind what is on disk.
uint64_t LargestStoredId(const std::string& folder) {
    uint64_t largest = 0;
    std::vector<platform::DirEntry> entries;
    if (folder.empty() || !platform::ListDirectory(folder, entries))
        return largest;
    for (const platform::DirEntry& e : entries) {
        if (e.isDirectory || e.isSymlink || !IsRecordFileName(e.name))
            continue;
        CStoreInfo stored;
        if (stored.LoadXml(platform::JoinPath(folder, e.name)))
            largest = std::max(largest, stored.id);
    }
    return largest;
}

}  // namespace

void ShowStoreError(const char* text, const char* caption) {
    platform::ShowMessageBox(text, caption, platform::MsgIcon::Error);
}

bool PrepareStore(const StoreIdentity& who, int32_t storeType, const char* caption, CUser& user,
                  CStoreInfo& record) {
    if (!user.Load(who.patientId)) {
        ShowStoreError(kMsgFileNotFound, caption);
        return false;
    }
    // The next id follows both the patient file and the records on disk, so that no id names
    // two items; the largest id stays.
    user.m_nLastStoreInfoId = std::max(user.m_nLastStoreInfoId, LargestStoredId(user.m_strFolder));
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
