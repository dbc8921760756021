// The patient selection dialog: every patient under the data root in a list, the searches by
// id, name and birthdate, sorting by column, New (through the entry dialog) and Delete (to the
// trash, from a right click or a touch). A thin window over PatientSelectionModel.
// Results: 1 with m_strSelId and m_strSelName after OK, a double click or New; 1032 after the
// Exit / Cancel button; 2 after Esc or the window manager's close.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <string>

#include "app/CstmListCtrl.h"
#include "archive/PatientSelectionModel.h"

class CStartupDlg : public wxDialog {
public:
    enum : int {
        IDC_ID_SEARCH = 1139,
        IDC_ID = 1052,
        IDC_NEW = 1059,
        IDC_NAME_SEARCH = 1068,
        IDC_NAME = 1053,
        IDC_BIRTHDATE_SEARCH = 1138,
        IDC_BIRTHDATE = 1056,
        IDC_LIST = 1062,
        IDC_OK = 1074,
        IDC_EXIT = 1032,
        // The popup's Delete: wx takes menu ids below 0x7FFF only.
        ID_DELETE_PATIENT = wxID_HIGHEST + 1,
    };
    static constexpr int kResultOk = 1;
    static constexpr int kResultExit = 1032;
    static constexpr int kResultEscape = 2;

    // The start-up form ("Exit"), placed at 0,0.
    CStartupDlg();
    // The change-of-patient form ("Cancel") for the main window's patient.
    CStartupDlg(const std::string& currentId, wxWindow* parent);

    int DoModal() { return ShowModal(); }

    PatientSelectionModel& Model() { return m_model; }
    const std::string& SelId() const { return m_model.m_strSelId; }
    const std::string& SelName() const { return m_model.m_strSelName; }
    const std::string& CurrentId() const { return m_model.CurrentId(); }

    // Moves a patient folder to the trash; tests put a fake here.
    TrashFunction m_fnTrash = DefaultTrashFunction();

    wxButton* m_btnIdSearch = nullptr;
    wxTextCtrl* m_edtId = nullptr;
    wxButton* m_btnNew = nullptr;
    wxButton* m_btnNameSearch = nullptr;
    wxTextCtrl* m_edtName = nullptr;
    wxButton* m_btnBirthdateSearch = nullptr;
    wxTextCtrl* m_edtBirthdate = nullptr;
    CCstmListCtrl* m_lstPatients = nullptr;
    wxButton* m_btnOk = nullptr;
    wxButton* m_btnExit = nullptr;

    void OnBnClickedOk();
    void OnBnClickedNew();
    void OnBnClickedIdSearch();
    void OnBnClickedNameSearch();
    void OnBnClickedBirthdateSearch();
    void OnDeletePatient();
    // The selected row, -1 for none.
    int SelectedRow() const;

private:
    CStartupDlg(PatientSelectionModel model, wxWindow* parent);
    void Build();
    void InitListColumns();
    // Mirrors the model's rows; after a search the first row is focused and selected.
    void FillPatientList(bool selectFirst);
    void ShowDeleteMenu(const wxPoint& at);
    void OnCharHook(wxKeyEvent& event);

    PatientSelectionModel m_model;
};
