#include "archive/ui/ExamDlg.h"

#include <wx/stattext.h>

#include "app/DialogLook.h"
#include "archive/ArchiveStrings.h"
#include "archive/ui/DateSelDlg.h"
#include "archive/ui/PatientDialogPlacement.h"

namespace {

namespace S = archive_strings;

// Client pixels: the template's dialog units at 1.5 px, rows opened up for GTK's entries.
const wxSize kClient{300, 236};
constexpr DialogItem kIdLabel{18, 18, 70, 20};
constexpr DialogItem kId{90, 12, 190, 30};
constexpr DialogItem kNameLabel{18, 54, 70, 20};
constexpr DialogItem kName{90, 48, 190, 30};
constexpr DialogItem kSexLabel{18, 90, 70, 20};
constexpr DialogItem kMale{90, 88, 80, 24};
constexpr DialogItem kFemale{175, 88, 100, 24};
constexpr DialogItem kBirthdateButton{8, 120, 80, 30};
constexpr DialogItem kBirthdate{90, 120, 190, 30};
constexpr DialogItem kNoteLabel{18, 162, 70, 20};
constexpr DialogItem kNote{90, 156, 190, 30};
constexpr DialogItem kOk{90, 198, 90, 30};
constexpr DialogItem kCancel{190, 198, 90, 30};

wxString Text(int id) {
    return wxString::FromUTF8(LoadArchiveText(id));
}

}  // namespace

CExamDlg::CExamDlg(ExamEditModel& model, wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxCLOSE_BOX),
      m_model(model) {
    SetFont(DialogFont());
    SetProgramIcon(this);
    SetTitle(Text(S::kPatient));
    SetClientSize(kClient);

    new wxStaticText(this, wxID_ANY, Text(S::kId), kIdLabel.Pos(), kIdLabel.Size());
    m_edtId = new wxTextCtrl(this, IDC_ID, "", kId.Pos(), kId.Size());
    new wxStaticText(this, wxID_ANY, Text(S::kName), kNameLabel.Pos(), kNameLabel.Size());
    m_edtName = new wxTextCtrl(this, IDC_NAME, "", kName.Pos(), kName.Size());
    new wxStaticText(this, wxID_ANY, Text(S::kSex), kSexLabel.Pos(), kSexLabel.Size());
    m_rdoMale = new wxRadioButton(this, IDC_MALE, Text(S::kMale), kMale.Pos(), kMale.Size(), wxRB_GROUP);
    m_rdoFemale = new wxRadioButton(this, IDC_FEMALE, Text(S::kFemale), kFemale.Pos(), kFemale.Size());
    m_btnBirthdate = new wxButton(this, IDC_BIRTHDATE, Text(S::kBirthdate), kBirthdateButton.Pos(),
                                  kBirthdateButton.Size());
    m_edtBirthdate =
        new wxTextCtrl(this, IDC_BIRTHDATE_TEXT, "", kBirthdate.Pos(), kBirthdate.Size(), wxTE_READONLY);
    new wxStaticText(this, wxID_ANY, Text(S::kNote), kNoteLabel.Pos(), kNoteLabel.Size());
    m_edtNote = new wxTextCtrl(this, IDC_NOTE, "", kNote.Pos(), kNote.Size());
    m_btnOk = new wxButton(this, IDC_OK, Text(S::kOk), kOk.Pos(), kOk.Size());
    m_btnCancel = new wxButton(this, IDC_CANCEL, Text(S::kCancel), kCancel.Pos(), kCancel.Size());
    m_btnOk->SetDefault();

    m_edtName->SetMaxLength(ExamEditModel::kMaxNameLength);
    m_edtNote->SetMaxLength(ExamEditModel::kMaxNoteLength);
    m_edtId->Enable(false);

    m_model.Open(m_model.m_strEditId);
    m_edtId->ChangeValue(wxString::FromUTF8(m_model.m_strEditId));
    m_edtName->ChangeValue(wxString::FromUTF8(m_model.m_strEditName));
    m_edtNote->ChangeValue(wxString::FromUTF8(m_model.m_strEditNote));
    m_edtBirthdate->ChangeValue(wxString::FromUTF8(m_model.m_strEditBirthdateText));
    (m_model.m_nSex == ExamEditModel::kSexMale ? m_rdoMale : m_rdoFemale)->SetValue(true);
    // A patient whose file did not load must not be written from empty fields.
    m_btnOk->Enable(m_model.CanAccept());

    m_btnOk->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); });
    m_btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); });
    m_btnBirthdate->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBirthdate(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(2); });
    Bind(wxEVT_CHAR_HOOK, &CExamDlg::OnCharHook, this);

    m_edtName->SetFocus();
    if (parent)
        CentreOnParent();
    PlacePatientDialog(this);
}

void CExamDlg::ReadControls() {
    m_model.ReadFields(m_edtName->GetValue().utf8_string(),
                       m_rdoMale->GetValue() ? ExamEditModel::kSexMale : ExamEditModel::kSexFemale,
                       m_edtNote->GetValue().utf8_string());
}

void CExamDlg::OnOk() {
    if (!m_btnOk->IsEnabled())
        return;
    ReadControls();
    if (m_model.OnOk())
        EndModal(1);
}

void CExamDlg::OnCancel() {
    ReadControls();
    if (m_model.OnCancel())
        EndModal(2);
}

void CExamDlg::OnBirthdate() {
    CDateSelDlg picker(this);
    picker.m_strTitle = LoadArchiveText(archive_strings::kBirthdate);
    picker.m_stDateIn = m_model.PickerDate();
    if (picker.DoModal() != CDateSelDlg::IDC_OK)
        return;
    m_model.OnBirthdatePicked(picker.m_stDateOut);
    m_edtBirthdate->ChangeValue(wxString::FromUTF8(m_model.m_strEditBirthdateText));
}

void CExamDlg::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            EndModal(2);
            return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER: {
            // Enter on a button presses that button; anywhere else it presses OK.
            wxWindow* focus = FindFocus();
            if (focus == m_btnCancel || focus == m_btnBirthdate)
                break;
            OnOk();
            return;
        }
        default:
            break;
    }
    event.Skip();
}
