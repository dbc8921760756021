#include "common/UserList.h"

#include <cctype>

#include "common/AppFolders.h"
#include "common/PatientFolderStaging.h"
#include "common/PatientId.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

namespace {

constexpr int kStringFileNotFound = 239;

std::string TrimBlanks(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

// Folders of one to four characters without a dot are the patient folders the archive has
// always listed; a stray one of them is worth a message. Longer names are listed only when
// a patient file is there, so other folders under the data root stay silent.
bool IsClassicPatientFolderName(const std::string& name) {
    const size_t length = platform::CountCodePoints(name);
    return length >= 1 && length <= 4 && name.find('.') == std::string::npos;
}

}  // namespace

void CUserList::LoadAll() {
    m_lstUsers.clear();
    const std::string root = GetDataFolder();
    std::vector<platform::DirEntry> entries;
    if (!platform::ListDirectory(root, entries))
        return;
    // What a New killed half-way left: never a patient, and gone once stale.
    SweepStalePatientStaging(root, entries);
    for (const platform::DirEntry& e : entries) {
        // Real folders only: a link would bring files from outside the archive into the list,
        // and a later deletion of that patient would reach them.
        if (!IsValidPatientId(e.name) || !e.isDirectory || e.isSymlink)
            continue;
        // Copies left by a save that was killed hold patient data; they go once stale.
        platform::SweepStaleTemporariesIn(platform::JoinPath(root, e.name));
        CUser user;
        if (user.Load(e.name)) {
            m_lstUsers.push_back(user);
        } else if (IsClassicPatientFolderName(e.name) || platform::PathExists(CUser::GetXmlPath(e.name))) {
            platform::ShowMessageBox(resources::LoadString(kStringFileNotFound), GetProductName(),
                                     platform::MsgIcon::None, platform::MsgButtons::Ok);
        }
    }
}

void CUserList::BeginSearch(const std::string& text, int32_t mode) {
    m_nSearchMode = mode;
    m_strSearchText = TrimBlanks(text);
    m_bMatchAll = m_strSearchText.empty();
    m_nCursor = 0;
    m_bSearchBegun = true;
}

bool CUserList::FindNext() {
    for (; m_nCursor >= 0 && static_cast<size_t>(m_nCursor) < m_lstUsers.size(); ++m_nCursor) {
        if (m_bMatchAll)
            return true;
        const CUser& user = m_lstUsers[static_cast<size_t>(m_nCursor)];
        switch (m_nSearchMode) {
            case UserSearchById:
                if (user.m_strId == m_strSearchText)
                    return true;
                break;
            case UserSearchByName:
                if (user.m_strName.find(m_strSearchText) != std::string::npos)
                    return true;
                break;
            case UserSearchByBirthdate:
                if (user.m_strBirthdate == m_strSearchText)
                    return true;
                break;
            default:
                break;
        }
    }
    return false;
}
