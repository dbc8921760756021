// The patient entry dialog: id, name, sex, birthdate and note of a new patient (empty id) or
// of the patient m_strEditId names. A thin window over ExamEditModel, which holds the values
// and the checks: OK wants a name; Cancel asks only after a change; Esc and the close box end
// with 2 without asking; Enter presses OK. A patient file that does not load leaves OK disabled.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "archive/ExamEditModel.h"

class CExamDlg : public wxDialog {
public:
    enum : int {
        IDC_ID = 1052,
        IDC_NAME = 1053,
        IDC_NOTE = 1056,
        IDC_BIRTHDATE_TEXT = 1057,
        IDC_BIRTHDATE = 1058,
        IDC_MALE = 1049,
        IDC_FEMALE = 1050,
        IDC_OK = 1074,
        IDC_CANCEL = 1073,
    };

    // Opens the model for its m_strEditId (with "File is not found." for a file that does not
    // load) and shows its values. The model outlives the dialog and keeps the result.
    explicit CExamDlg(ExamEditModel& model, wxWindow* parent = nullptr);

    // 1 on OK, with the entered values in the model; 2 otherwise.
    int DoModal() { return ShowModal(); }

    ExamEditModel& m_model;
    wxTextCtrl* m_edtId = nullptr;
    wxTextCtrl* m_edtName = nullptr;
    wxRadioButton* m_rdoMale = nullptr;
    wxRadioButton* m_rdoFemale = nullptr;
    wxButton* m_btnBirthdate = nullptr;
    wxTextCtrl* m_edtBirthdate = nullptr;
    wxTextCtrl* m_edtNote = nullptr;
    wxButton* m_btnOk = nullptr;
    wxButton* m_btnCancel = nullptr;

    void OnOk();
    void OnCancel();
    void OnBirthdate();

private:
    void ReadControls();
    void OnCharHook(wxKeyEvent& event);
};
