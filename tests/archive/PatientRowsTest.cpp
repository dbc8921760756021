// The selection list's rows and their order by column.
#include "archive/PatientRows.h"

#include <gtest/gtest.h>

#include "tests/archive/PatientFixture.h"

namespace {

PatientRow Row(const std::string& id, const std::string& name, const std::string& birthdateText = "",
               const std::string& birthdateKey = "") {
    return PatientRow{id, name, "", birthdateText, birthdateKey};
}

std::vector<std::string> Ids(const std::vector<PatientRow>& rows) {
    std::vector<std::string> ids;
    for (const PatientRow& r : rows)
        ids.push_back(r.id);
    return ids;
}

}  // namespace

TEST(PatientRowsTest, TheFirstClickOnAColumnSortsDescendingTheSecondAscending) {
    PatientSortState state;
    EXPECT_EQ(state.Click(1), 100);
    EXPECT_EQ(state.Click(1), 101);
    EXPECT_EQ(state.Click(3), 300);  // each column keeps its own direction
    EXPECT_EQ(state.Click(1), 100);
    EXPECT_EQ(state.Click(4), -1);
    EXPECT_EQ(state.Click(-1), -1);

    std::vector<PatientRow> rows{Row("1", "Bea"), Row("2", "Cem"), Row("3", "Ada")};
    SortPatientRows(rows, 100);
    EXPECT_EQ(Ids(rows), (std::vector<std::string>{"2", "1", "3"}));
    SortPatientRows(rows, 101);
    EXPECT_EQ(Ids(rows), (std::vector<std::string>{"3", "1", "2"}));
}

TEST(PatientRowsTest, BirthdatesSortByTheStoredDateNotTheDisplayedText) {
    // Month first: by text "01-15-2000" would come before "12-01-1999".
    std::vector<PatientRow> rows{Row("a", "", "01-15-2000", "2000-01-15"), Row("b", "", "", ""),
                                 Row("c", "", "12-01-1999", "1999-12-01")};
    SortPatientRows(rows, 301);
    EXPECT_EQ(Ids(rows), (std::vector<std::string>{"b", "c", "a"}));
    SortPatientRows(rows, 300);
    EXPECT_EQ(Ids(rows), (std::vector<std::string>{"a", "c", "b"}));
}

TEST(PatientRowsTest, TextsCompareOrdinallyAndCaseSensitively) {
    std::vector<PatientRow> rows{Row("1", "alice"), Row("2", "Émile"), Row("3", "Bob"), Row("4", "Zoë"),
                                 Row("5", "Bob")};
    SortPatientRows(rows, 101);
    // Capitals before small letters, code-point order for the rest; equal names keep their order.
    EXPECT_EQ(Ids(rows), (std::vector<std::string>{"3", "5", "4", "1", "2"}));
}

TEST(PatientRowsTest, CodesOutsideTheFourColumnsAndTwoDirectionsCompareEqual) {
    const PatientRow a = Row("1", "A"), b = Row("2", "B");
    for (int code : {400, 102, 2, -1})
        EXPECT_EQ(ComparePatientItems(a, b, code), 0) << code;
    EXPECT_LT(ComparePatientItems(a, b, 1), 0);
    EXPECT_GT(ComparePatientItems(a, b, 0), 0);
}

class PatientRowsListTest : public PatientTest {};

TEST_F(PatientRowsListTest, RowsShowTheSexAndTheBirthdateInTheDisplayFormat) {
    SetDateFormat("MM-DD-YYYY");
    AddPatient("0001", "Anna", "1990-05-04", "Female");
    AddPatient("0002", "Ben", "", "Male");
    CUserList list;
    list.LoadAll();
    list.BeginSearch("");
    const std::vector<PatientRow> rows = CollectPatientRows(list);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].sexText, "Female");
    EXPECT_EQ(rows[0].birthdateText, "05-04-1990");
    EXPECT_EQ(rows[0].birthdateKey, "1990-05-04");
    EXPECT_EQ(rows[1].sexText, "Male");
    EXPECT_EQ(rows[1].birthdateText, "");
}
