#include "archive/PatientSelectionModel.h"

#include "archive/ArchiveStrings.h"
#include "archive/NewPatient.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "platform/MessageBox.h"

PatientSelectionModel::PatientSelectionModel() = default;

PatientSelectionModel::PatientSelectionModel(std::string currentId)
    : m_bStartup(false), m_strCurrentId(std::move(currentId)) {}

void PatientSelectionModel::Load() {
    m_userList.LoadAll();
    const platform::SystemTime today = platform::GetLocalTime();
    m_nPickYear = today.wYear;
    m_nPickMonth = today.wMonth;
    m_nPickDay = today.wDay;
    SearchById("");
}

int PatientSelectionModel::ExitCaptionId() const {
    return m_bStartup || m_strCurrentId.empty() ? archive_strings::kExit : archive_strings::kCancel;
}

void PatientSelectionModel::SearchById(const std::string& text) {
    m_userList.BeginSearch(text, UserSearchById);
    Fill();
}

void PatientSelectionModel::SearchByName(const std::string& text) {
    m_userList.BeginSearch(text, UserSearchByName);
    Fill();
}

platform::SystemTime PatientSelectionModel::PickerDate() const {
    platform::SystemTime date;
    date.wYear = static_cast<uint16_t>(m_nPickYear);
    date.wMonth = static_cast<uint16_t>(m_nPickMonth);
    date.wDay = static_cast<uint16_t>(m_nPickDay);
    date.wDayOfWeek = static_cast<uint16_t>(platform::DayOfWeek(m_nPickYear, m_nPickMonth, m_nPickDay));
    return date;
}

std::string PatientSelectionModel::PickerDateText() const {
    return CCommonUtil::GetDateFormatter().FormatDate(m_nPickYear, m_nPickMonth, m_nPickDay);
}

void PatientSelectionModel::SearchByBirthdate(const platform::SystemTime& picked) {
    if (!platform::IsValidDate(picked.wYear, picked.wMonth, picked.wDay))
        return;
    m_nPickYear = picked.wYear;
    m_nPickMonth = picked.wMonth;
    m_nPickDay = picked.wDay;
    m_userList.BeginSearch(
        DateFormatter(DateFormatModeYearFirst).FormatDate(m_nPickYear, m_nPickMonth, m_nPickDay),
        UserSearchByBirthdate);
    Fill();
}

bool PatientSelectionModel::SortByColumn(int column) {
    const int code = sort_.Click(column);
    if (code < 0)
        return false;
    SortPatientRows(rows_, code);
    return true;
}

bool PatientSelectionModel::Choose(int row) {
    if (!HasRow(row)) {
        ShowNotChosen();
        return false;
    }
    m_strSelId = rows_[static_cast<size_t>(row)].id;
    m_strSelName = rows_[static_cast<size_t>(row)].name;
    return true;
}

bool PatientSelectionModel::AddNew(const PatientEntry& entry) {
    const std::optional<NewPatient> created = CreateNewPatient(entry);
    if (!created)
        return false;
    m_strSelId = created->id;
    m_strSelName = created->name;
    return true;
}

bool PatientSelectionModel::DeleteRow(int row, const TrashFunction& trash) {
    if (!HasRow(row)) {
        ShowNotChosen();
        return false;
    }
    const PatientRow chosen = rows_[static_cast<size_t>(row)];
    if (!ConfirmDeletePatient(chosen.id, chosen.name))
        return false;
    if (!DeletePatient(m_userList, chosen.id, &m_strCurrentId, trash))
        return false;
    rows_.erase(rows_.begin() + row);
    return true;
}

void PatientSelectionModel::Fill() {
    rows_ = CollectPatientRows(m_userList);
}

bool PatientSelectionModel::HasRow(int row) const {
    return row >= 0 && static_cast<size_t>(row) < rows_.size();
}

void PatientSelectionModel::ShowNotChosen() const {
    platform::ShowMessageBox(LoadArchiveText(archive_strings::kDataNotChosen), GetProductName(),
                             platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
}
