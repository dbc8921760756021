#include "archive/PatientRows.h"

#include <algorithm>

PatientRow PatientRow::FromUser(const CUser& user) {
    return PatientRow{user.m_strId, user.m_strName, user.m_strSexText, user.m_strBirthdateText,
                      user.m_strBirthdate};
}

const std::string& PatientRow::ColumnText(int column) const {
    static const std::string none;
    switch (column) {
        case 0:
            return id;
        case 1:
            return name;
        case 2:
            return sexText;
        case 3:
            return birthdateText;
        default:
            return none;
    }
}

std::vector<PatientRow> CollectPatientRows(CUserList& users) {
    std::vector<PatientRow> rows;
    while (users.FindNext()) {
        rows.push_back(PatientRow::FromUser(users.m_lstUsers[static_cast<size_t>(users.m_nCursor)]));
        ++users.m_nCursor;
    }
    return rows;
}

int ComparePatientItems(const PatientRow& a, const PatientRow& b, int sortCode) {
    const int column = sortCode / 100;
    const int direction = sortCode % 100;
    if (sortCode < 0 || column > 3 || direction > 1)
        return 0;
    // Byte order of UTF-8 is code-point order: ordinal and case-sensitive.
    const int order = column == 3 ? a.birthdateKey.compare(b.birthdateKey)
                                  : a.ColumnText(column).compare(b.ColumnText(column));
    const int sign = order < 0 ? -1 : order > 0 ? 1 : 0;
    return direction == 1 ? sign : -sign;
}

void SortPatientRows(std::vector<PatientRow>& rows, int sortCode) {
    std::stable_sort(rows.begin(), rows.end(), [sortCode](const PatientRow& a, const PatientRow& b) {
        return ComparePatientItems(a, b, sortCode) < 0;
    });
}

int PatientSortState::Click(int column) {
    if (column < 0 || column > 3)
        return -1;
    int32_t& ascending = m_anSortAscending[static_cast<size_t>(column)];
    ascending = ascending == 1 ? 0 : 1;
    return column * 100 + ascending;
}
