#include "archive/ExamEditModel.h"

#include <optional>

#include "archive/ArchiveStrings.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "common/PatientId.h"
#include "common/StoredDate.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"

namespace {

constexpr const char* kMale = "Male";
constexpr const char* kFemale = "Female";

platform::SystemTime Today() {
    platform::SystemTime today = platform::GetLocalTime();
    today.wHour = today.wMinute = today.wSecond = today.wMilliseconds = 0;
    return today;
}

bool IsValidDay(const platform::SystemTime& t) {
    return platform::IsValidDate(t.wYear, t.wMonth, t.wDay);
}

}  // namespace

bool ExamEditModel::Open(const std::string& idIn) {
    // The id may be this model's own m_strEditId, which the reset below clears.
    const std::string id = idIn;
    *this = ExamEditModel();
    m_strEditId = id;
    if (id.empty()) {
        SetBirthdateFields(Today());
    } else {
        CUser user;
        if (!IsValidPatientId(id) || !user.Load(id)) {
            platform::ShowMessageBox(LoadArchiveText(archive_strings::kFileNotFound), GetProductName(),
                                     platform::MsgIcon::None, platform::MsgButtons::Ok);
            m_bCanAccept = false;
        } else {
            m_strEditName = CleanText(user.m_strName, kMaxNameLength);
            m_nSex = user.m_strSex == kMale ? kSexMale : kSexFemale;
            m_strEditNote = CleanText(user.m_strNote, kMaxNoteLength);
            if (const std::optional<CivilDate> birth = ParseStoredDate(user.m_strBirthdate)) {
                platform::SystemTime date;
                date.wYear = static_cast<uint16_t>(birth->year);
                date.wMonth = static_cast<uint16_t>(birth->month);
                date.wDay = static_cast<uint16_t>(birth->day);
                SetBirthdateFields(date);
            } else {
                // No birthdate, or one that is no date: it stays as stored unless a date is
                // picked, and the picker opens on today.
                m_strEditBirthdate = user.m_strBirthdate;
                m_strEditBirthdateText = user.m_strBirthdateText;
            }
        }
    }
    m_strEditSex = m_nSex == kSexMale ? kMale : kFemale;
    m_strOrgName = m_strEditName;
    m_strOrgSex = m_strEditSex;
    m_strOrgBirthdate = m_strEditBirthdate;
    m_strOrgNote = m_strEditNote;
    return m_bCanAccept;
}

platform::SystemTime ExamEditModel::PickerDate() const {
    return IsValidDay(m_stBirthdate) ? m_stBirthdate : Today();
}

void ExamEditModel::OnBirthdatePicked(const platform::SystemTime& date) {
    if (IsValidDay(date))
        SetBirthdateFields(date);
}

void ExamEditModel::SetBirthdateFields(const platform::SystemTime& date) {
    m_stBirthdate = platform::SystemTime();
    m_stBirthdate.wYear = date.wYear;
    m_stBirthdate.wMonth = date.wMonth;
    m_stBirthdate.wDay = date.wDay;
    m_stBirthdate.wDayOfWeek = static_cast<uint16_t>(platform::DayOfWeek(date.wYear, date.wMonth, date.wDay));
    m_strEditBirthdateText = CCommonUtil::GetDateFormatter().FormatDate(date.wYear, date.wMonth, date.wDay);
    m_strEditBirthdate =
        DateFormatter(DateFormatModeYearFirst).FormatDate(date.wYear, date.wMonth, date.wDay);
}

void ExamEditModel::ReadFields(const std::string& name, int32_t sex, const std::string& note) {
    m_strEditName = CleanText(name, kMaxNameLength);
    m_nSex = sex == kSexMale ? kSexMale : kSexFemale;
    m_strEditSex = m_nSex == kSexMale ? kMale : kFemale;
    m_strEditNote = CleanText(note, kMaxNoteLength);
}

bool ExamEditModel::OnOk() const {
    if (!m_bCanAccept)
        return false;
    if (m_strEditName.empty()) {
        platform::ShowMessageBox(LoadArchiveText(archive_strings::kNameNotInput), GetProductName(),
                                 platform::MsgIcon::None, platform::MsgButtons::Ok);
        return false;
    }
    return true;
}

bool ExamEditModel::OnCancel() const {
    if (!IsDirty())
        return true;
    return platform::ShowMessageBox(
               LoadArchiveText(archive_strings::kDiscardChanges), LoadArchiveText(archive_strings::kPatient),
               platform::MsgIcon::Exclamation, platform::MsgButtons::OkCancel) == platform::MsgAnswer::Ok;
}

bool ExamEditModel::IsDirty() const {
    return Entry() != PatientEntry{m_strOrgName, m_strOrgSex, m_strOrgBirthdate, m_strOrgNote};
}

PatientEntry ExamEditModel::Entry() const {
    return PatientEntry{m_strEditName, m_strEditSex, m_strEditBirthdate, m_strEditNote};
}

void ExamEditModel::ApplyTo(CUser& user) const {
    user.m_strName = m_strEditName;
    user.m_strSex = m_strEditSex;
    user.m_strSexText =
        LoadArchiveText(m_strEditSex == kMale ? archive_strings::kMale : archive_strings::kFemale);
    user.m_strBirthdate = m_strEditBirthdate;
    user.m_strBirthdateText = m_strEditBirthdateText;
    user.m_strNote = m_strEditNote;
}

std::string ExamEditModel::CleanText(const std::string& text, size_t maxCodePoints) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c < 0x20 || c == 0x7F || c1) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;  // one line break, one space
            if (c1)
                ++i;
            out += ' ';
        } else {
            out += static_cast<char>(c);
        }
    }
    return platform::TruncateCodePoints(out, maxCodePoints);
}
