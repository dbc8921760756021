// The rows of the patient selection list and their order. Each row keeps the stored
// birthdate beside the displayed one, so the Birthdate column sorts by date in every
// display format. Sort codes are column * 100 + direction (1 ascending, 0 descending).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/User.h"
#include "common/UserList.h"

struct PatientRow {
    std::string id;             // column 0
    std::string name;           // column 1
    std::string sexText;        // column 2
    std::string birthdateText;  // column 3, in the display format
    std::string birthdateKey;   // "YYYY-MM-DD" as stored: the sort key of column 3

    static PatientRow FromUser(const CUser& user);
    // The text of column 0..3; empty for another column.
    const std::string& ColumnText(int column) const;
};

// The rows of the patients a begun search of the list yields, in list order; the list's
// cursor is left at its end.
std::vector<PatientRow> CollectPatientRows(CUserList& users);

// Negative, zero or positive as a sorts before, with or after b under the sort code: the
// clicked column's texts (column 3 by the stored birthdate) by ordinal, case-sensitive
// comparison, reversed for direction 0. A column above 3 or a direction above 1 compares equal.
int ComparePatientItems(const PatientRow& a, const PatientRow& b, int sortCode);

// Sorts the rows by the code; rows that compare equal keep their order.
void SortPatientRows(std::vector<PatientRow>& rows, int sortCode);

// The direction of each column: a click toggles it, so the first click sorts descending.
class PatientSortState {
public:
    // The sort code for a click on the column; -1 (nothing to sort) for a column outside 0..3.
    int Click(int column);

private:
    std::array<int32_t, 4> m_anSortAscending{1, 1, 1, 1};
};
