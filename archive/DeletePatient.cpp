#include "archive/DeletePatient.h"

#include <algorithm>

#include "archive/ArchiveStrings.h"
#include "archive/TextTemplate.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "common/PatientId.h"
#include "platform/MessageBox.h"

TrashFunction DefaultTrashFunction() {
    return [](const std::string& path, std::string* errorText) {
        return CCommonUtil::DeleteToRecycleBin(path, errorText);
    };
}

bool ConfirmDeletePatient(const std::string& id, const std::string& name) {
    const std::string text = LoadArchiveText(archive_strings::kMayIDeleteIt) + "\n\n  " + id + " : " + name;
    return platform::ShowMessageBox(text, GetProductName(), platform::MsgIcon::Question,
                                    platform::MsgButtons::OkCancel) == platform::MsgAnswer::Ok;
}

bool DeletePatient(CUserList& users, const std::string& id, std::string* currentId,
                   const TrashFunction& trash) {
    if (!IsValidPatientId(id))
        return false;
    const std::string folder = GetDataFolder() + id;
    std::string error;
    if (trash(folder, &error) != 0) {
        if (error.empty())
            error = folder;
        platform::ShowMessageBox(FillTextTemplate(LoadArchiveText(archive_strings::kTrashFailed), {error}),
                                 GetProductName(), platform::MsgIcon::Error, platform::MsgButtons::Ok);
        return false;
    }
    std::erase_if(users.m_lstUsers, [&id](const CUser& user) { return user.m_strId == id; });
    users.m_nCursor = 0;
    if (currentId && *currentId == id)
        currentId->clear();
    return true;
}
