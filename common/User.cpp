#include "common/User.h"

#include <tinyxml2.h>
#include <cctype>
#include <optional>

#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "common/PatientId.h"
#include "common/StoredDate.h"
#include "common/XmlFile.h"
#include "common/XmlRecordUtil.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

namespace {

constexpr const char* kElementName = "user";
constexpr uint32_t kSyntax = 2;
constexpr int kStringMale = 111;
constexpr int kStringFemale = 112;

constexpr const char* kStillPattern = "??????????????.bmp";
constexpr const char* kCinePattern = "??????????????.cine";

bool IsBlank(const std::string& text) {
    for (const char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// Length in bytes of the UTF-8 sequence starting at `at` (1 for a stray byte).
size_t CodePointLength(const std::string& text, size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    for (size_t k = 1; k < n; ++k) {
        if (at + k >= text.size() || (static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80)
            return 1;
    }
    return n;
}

}  // namespace

std::string CUser::GetXmlPath(const std::string& id) {
    const std::string root = GetDataFolder();
    if (!IsValidPatientId(id) || root.empty())
        return {};
    return root + id + "/" + id + ".xml";
}

bool CUser::Load(const std::string& id) {
    // The file in a patient's folder must hold that patient: a record of another id would
    // later be saved over that other patient's file.
    return LoadXml(GetXmlPath(id)) && m_strId == id;
}

bool CUser::Save() const {
    return SaveXml(GetXmlPath(m_strId));
}

void CUser::Clear() {
    *this = CUser();
}

bool CUser::LoadXml(const std::string& path) {
    Clear();
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* user = XmlOpenRecord(doc, path, kElementName);
    if (!user)
        return false;
    const int32_t syntax = XmlGetSyntax(user);
    if (syntax != 1 && syntax != 2)
        return false;

    m_strId = XmlGetAttributeText(user, "id", "");
    m_strName = XmlGetChildText(user, "name", "");
    m_strSex = XmlGetChildText(user, "sex", "");
    m_strBirthdate = XmlGetChildText(user, "birthdate", "");
    m_strNote = XmlGetChildText(user, "note", "");
    m_strLmp = XmlGetChildText(user, "last_menstrual_period", "");
    m_strBbt = XmlGetChildText(user, "basal_body_temperature", "");

    if (const std::optional<CivilDate> birth = ParseStoredDate(m_strBirthdate))
        m_strBirthdateText =
            CCommonUtil::GetDateFormatter().FormatDate(birth->year, birth->month, birth->day);
    if (m_strSex == "Male")
        m_strSexText = resources::LoadString(kStringMale);
    if (m_strSex == "Female")
        m_strSexText = resources::LoadString(kStringFemale);
    m_strFolder = platform::ParentFolder(path);

    if (!IsValidPatientId(m_strId))
        return false;
    if (syntax == 2)
        m_nLastStoreInfoId = ParseUInt64(XmlGetChildText(user, "last_store_info_id", ""));
    return true;
}

bool CUser::SaveXml(const std::string& path) const {
    if (path.empty() || !IsValidPatientId(m_strId))
        return false;
    if (!XmlEnsureFolder(path))
        return false;

    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* user = XmlBeginRecord(doc, kElementName, &m_strId, kSyntax);
    XmlAppendTextChild(user, "name", m_strName);
    XmlAppendTextChild(user, "sex", m_strSex);
    XmlAppendTextChild(user, "birthdate", m_strBirthdate);
    XmlAppendTextChild(user, "last_menstrual_period", m_strLmp);
    XmlAppendTextChild(user, "basal_body_temperature", m_strBbt);
    XmlAppendTextChild(user, "note", m_strNote);
    XmlAppendTextChild(user, "last_store_info_id",
                       platform::Format("%llu", static_cast<unsigned long long>(m_nLastStoreInfoId)));
    return XmlSaveDocument(&doc, path);
}

void CUser::ScanStoreFiles() {
    m_lstStoreNames.clear();
    std::vector<platform::DirEntry> entries;
    if (m_strFolder.empty() || !platform::ListDirectory(m_strFolder, entries))
        return;
    for (const platform::DirEntry& e : entries) {
        if (MatchWildcard(kStillPattern, e.name)) {
            m_lstStoreNames.push_back(e.name);
        } else if (MatchWildcard(kCinePattern, e.name) &&
                   platform::IsDirectory(platform::JoinPath(m_strFolder, e.name))) {
            m_lstStoreNames.push_back(e.name);
        }
    }
}

void CUser::SetDateFilter(const std::string& from, const std::string& to) {
    m_nScanMode = StoreScanDateRange;
    m_bScanAll = IsBlank(from) && IsBlank(to);
    m_nScanFrom = platform::ParseInt32(from, 10);
    m_nScanTo = platform::ParseInt32(to, 10);
    if (m_nScanTo == 0)
        m_nScanTo = 99999999;
    m_nScanPos = 0;
}

bool CUser::FindNextStore() {
    for (; m_nScanPos >= 0 && static_cast<size_t>(m_nScanPos) < m_lstStoreNames.size(); ++m_nScanPos) {
        if (m_bScanAll)
            return true;
        const std::string& name = m_lstStoreNames[static_cast<size_t>(m_nScanPos)];
        if (m_nScanMode == StoreScanDateRange) {
            const int32_t date = platform::ParseInt32(name.substr(0, 8), 10);
            if (m_nScanFrom <= date && date <= m_nScanTo)
                return true;
        } else if (m_nScanMode == StoreScanFromStamp) {
            if (!m_strScanStamp.empty() && name.substr(0, 14).compare(m_strScanStamp) >= 0)
                return true;
        }
    }
    return false;
}

bool CUser::MatchWildcard(const std::string& pattern, const std::string& text) {
    // Greedy match with one backtrack point: the last '*' seen takes one more character of
    // text whenever the rest fails. Linear in practice, never exponential.
    size_t p = 0, t = 0;
    size_t starP = std::string::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            t += CodePointLength(text, t);
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (starP != std::string::npos) {
            p = starP;
            starT += CodePointLength(text, starT);
            t = starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}
