// The patient selection dialog without its window: the patients, the rows shown after each
// search and sort, the date the birthdate picker opens on, and the choice the dialog ends
// with. The dialog mirrors Rows() into its list after every call that changes them and
// selects the first row after a search.
#pragma once

#include <string>
#include <vector>

#include "archive/DeletePatient.h"
#include "archive/ExamEditModel.h"
#include "archive/PatientRows.h"
#include "common/UserList.h"
#include "platform/Clock.h"

class PatientSelectionModel {
public:
    // The start-up form ("Exit").
    PatientSelectionModel();
    // The change-of-patient form ("Cancel"), knowing the main window's current patient.
    explicit PatientSelectionModel(std::string currentId);

    // Loads every patient (with the list's own messages), takes today as the picker's date and
    // lists every patient.
    void Load();

    bool IsStartup() const { return m_bStartup; }
    // The string id of the Exit button's caption: "Cancel" while changing the patient, "Exit"
    // at start-up and once the current patient was deleted here.
    int ExitCaptionId() const;
    // The main window's patient; emptied when it was deleted here.
    const std::string& CurrentId() const { return m_strCurrentId; }

    const std::vector<PatientRow>& Rows() const { return rows_; }
    CUserList& Users() { return m_userList; }

    // The searches: the matching patients in list order (blank text: all).
    void SearchById(const std::string& text);
    void SearchByName(const std::string& text);
    // The picker's date and its text for the birthdate edit, in the display format.
    platform::SystemTime PickerDate() const;
    std::string PickerDateText() const;
    // A date chosen in the picker: shown, kept as the next picker date, searched by its stored form.
    void SearchByBirthdate(const platform::SystemTime& picked);

    // A click on a column header; false for a column that does not sort.
    bool SortByColumn(int column);

    // OK or a double click with the selected row (-1 for none): the choice is set; false after
    // "Data is not chosen.".
    bool Choose(int row);
    // New, after OK in the entry dialog: creates the patient and makes it the choice; false
    // (the message shown) keeps the dialog open.
    bool AddNew(const PatientEntry& entry);
    // Delete on the selected row (-1 for none): asks, then moves the patient to the trash. True
    // when the row left Rows(); false after "Data is not chosen.", a No, or a failed move.
    bool DeleteRow(int row, const TrashFunction& trash = DefaultTrashFunction());

    // The choice the dialog ends with (result 1).
    std::string m_strSelId;
    std::string m_strSelName;

private:
    void Fill();
    bool HasRow(int row) const;
    void ShowNotChosen() const;

    bool m_bStartup = true;
    std::string m_strCurrentId;
    CUserList m_userList;
    std::vector<PatientRow> rows_;
    PatientSortState sort_;
    int m_nPickYear = 0;
    int m_nPickMonth = 0;
    int m_nPickDay = 0;
};
