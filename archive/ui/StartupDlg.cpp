#include "archive/ui/StartupDlg.h"

#include <wx/menu.h>
#include <wx/utils.h>

#include "app/DialogLook.h"
#include "archive/ArchiveStrings.h"
#include "archive/ui/DateSelDlg.h"
#include "archive/ui/ExamDlg.h"
#include "archive/ui/PatientDialogPlacement.h"

namespace {

namespace S = archive_strings;

constexpr int kColumnWidths[4] = {70, 180, 75, 165};

// Client pixels: the template's dialog units at 1.5 px, rows opened up for GTK's entries. The
// list is as wide as its four columns, its border and a vertical scroll bar, so no column is
// cut off; the buttons on the right keep to its right edge.
constexpr int kListWidth = 70 + 180 + 75 + 165 + 4 + 20;
constexpr int kWider = kListWidth - 343;
const wxSize kClient{360 + kWider, 350};
constexpr DialogItem kIdSearch{9, 10, 100, 30};
constexpr DialogItem kId{114, 10, 150, 30};
constexpr DialogItem kNew{272 + kWider, 10, 80, 30};
constexpr DialogItem kNameSearch{9, 46, 100, 30};
constexpr DialogItem kName{114, 46, 150, 30};
constexpr DialogItem kBirthdateSearch{9, 82, 100, 30};
constexpr DialogItem kBirthdate{114, 82, 150, 30};
constexpr DialogItem kList{9, 120, kListWidth, 182};
constexpr DialogItem kOk{188 + kWider, 310, 80, 30};
constexpr DialogItem kExit{272 + kWider, 310, 80, 30};

wxString Text(int id) {
    return wxString::FromUTF8(LoadArchiveText(id));
}

}  // namespace

CStartupDlg::CStartupDlg() : CStartupDlg(PatientSelectionModel(), nullptr) {}

CStartupDlg::CStartupDlg(const std::string& currentId, wxWindow* parent)
    : CStartupDlg(PatientSelectionModel(currentId), parent) {}

CStartupDlg::CStartupDlg(PatientSelectionModel model, wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "", wxPoint(0, 0), wxDefaultSize, wxCAPTION | wxCLOSE_BOX),
      m_model(std::move(model)) {
    wxBusyCursor wait;
    Build();
    InitListColumns();
    m_model.Load();
    m_edtId->ChangeValue("");
    m_edtName->ChangeValue("");
    m_edtBirthdate->ChangeValue(wxString::FromUTF8(m_model.PickerDateText()));
    FillPatientList(true);
    Move(0, 0);
    PlacePatientDialog(this);
}

void CStartupDlg::Build() {
    SetFont(DialogFont());
    SetProgramIcon(this);
    SetTitle(Text(S::kPatient));
    SetClientSize(kClient);

    m_btnIdSearch = new wxButton(this, IDC_ID_SEARCH, Text(S::kIdSearch), kIdSearch.Pos(), kIdSearch.Size());
    m_edtId = new wxTextCtrl(this, IDC_ID, "", kId.Pos(), kId.Size());
    m_btnNew = new wxButton(this, IDC_NEW, Text(S::kNew), kNew.Pos(), kNew.Size());
    m_btnNameSearch =
        new wxButton(this, IDC_NAME_SEARCH, Text(S::kNameSearch), kNameSearch.Pos(), kNameSearch.Size());
    m_edtName = new wxTextCtrl(this, IDC_NAME, "", kName.Pos(), kName.Size());
    m_btnBirthdateSearch = new wxButton(this, IDC_BIRTHDATE_SEARCH, Text(S::kBirthdateSearch),
                                        kBirthdateSearch.Pos(), kBirthdateSearch.Size());
    m_edtBirthdate =
        new wxTextCtrl(this, IDC_BIRTHDATE, "", kBirthdate.Pos(), kBirthdate.Size(), wxTE_READONLY);
    m_lstPatients = new CCstmListCtrl(this, IDC_LIST, kList.Pos(), kList.Size(),
                                      wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SUNKEN);
    m_btnOk = new wxButton(this, IDC_OK, Text(S::kOk), kOk.Pos(), kOk.Size());
    m_btnExit = new wxButton(this, IDC_EXIT, Text(m_model.ExitCaptionId()), kExit.Pos(), kExit.Size());
    m_btnOk->SetDefault();
    m_edtId->SetMaxLength(64);
    m_edtName->SetMaxLength(64);

    m_btnOk->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedOk(); });
    m_btnExit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(kResultExit); });
    m_btnNew->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedNew(); });
    m_btnIdSearch->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedIdSearch(); });
    m_btnNameSearch->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedNameSearch(); });
    m_btnBirthdateSearch->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedBirthdateSearch(); });
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { OnDeletePatient(); }, ID_DELETE_PATIENT);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(kResultEscape); });
    Bind(wxEVT_CHAR_HOOK, &CStartupDlg::OnCharHook, this);
}

void CStartupDlg::InitListColumns() {
    const int headers[4] = {S::kId, S::kName, S::kSex, S::kBirthdate};
    for (int column = 0; column < 4; ++column)
        m_lstPatients->AppendColumn(Text(headers[column]), wxLIST_FORMAT_LEFT, kColumnWidths[column]);
    // The columns keep their widths.
    m_lstPatients->Bind(wxEVT_LIST_COL_BEGIN_DRAG, [](wxListEvent& event) { event.Veto(); });
    m_lstPatients->Bind(wxEVT_LIST_COL_DRAGGING, [](wxListEvent& event) { event.Veto(); });
    m_lstPatients->Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& event) {
        wxBusyCursor wait;
        if (m_model.SortByColumn(event.GetColumn()))
            FillPatientList(false);
    });
    m_lstPatients->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { OnBnClickedOk(); });
    m_lstPatients->Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, [this](wxListEvent& event) {
        ShowDeleteMenu(
            m_lstPatients->GetParent()->ScreenToClient(m_lstPatients->ClientToScreen(event.GetPoint())));
    });
    // A touch on a row (the list's notification 1027): the menu at the centre of the row.
    m_lstPatients->m_pOwner = this;
    Bind(EVT_LIST_GESTURE_SELECT, [this](wxCommandEvent&) {
        const int row = SelectedRow();
        wxRect rect;
        if (row < 0 || !m_lstPatients->GetItemRect(row, rect, wxLIST_RECT_LABEL))
            return;
        ShowDeleteMenu(
            ScreenToClient(m_lstPatients->ClientToScreen(rect.GetPosition() + rect.GetSize() / 2)));
    });
}

void CStartupDlg::FillPatientList(bool selectFirst) {
    m_lstPatients->Freeze();
    m_lstPatients->DeleteAllItems();
    const std::vector<PatientRow>& rows = m_model.Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        const long item = m_lstPatients->InsertItem(static_cast<long>(i), wxString::FromUTF8(rows[i].id));
        for (int column = 1; column < 4; ++column)
            m_lstPatients->SetItem(item, column, wxString::FromUTF8(rows[i].ColumnText(column)));
    }
    m_lstPatients->Thaw();
    if (selectFirst) {
        m_lstPatients->SetFocus();
        if (!rows.empty()) {
            m_lstPatients->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                        wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        }
    }
}

int CStartupDlg::SelectedRow() const {
    return static_cast<int>(m_lstPatients->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
}

void CStartupDlg::OnBnClickedOk() {
    if (m_model.Choose(SelectedRow()))
        EndModal(kResultOk);
}

void CStartupDlg::OnBnClickedNew() {
    ExamEditModel entry;
    CExamDlg dialog(entry, this);
    if (dialog.DoModal() != 1)
        return;
    wxBusyCursor wait;
    if (m_model.AddNew(entry.Entry()))
        EndModal(kResultOk);
}

void CStartupDlg::OnBnClickedIdSearch() {
    wxBusyCursor wait;
    m_model.SearchById(m_edtId->GetValue().utf8_string());
    FillPatientList(true);
}

void CStartupDlg::OnBnClickedNameSearch() {
    wxBusyCursor wait;
    m_model.SearchByName(m_edtName->GetValue().utf8_string());
    FillPatientList(true);
}

void CStartupDlg::OnBnClickedBirthdateSearch() {
    CDateSelDlg picker(this);
    picker.m_strTitle = LoadArchiveText(archive_strings::kBirthdate);
    picker.m_stDateIn = m_model.PickerDate();
    if (picker.DoModal() != CDateSelDlg::IDC_OK)
        return;
    wxBusyCursor wait;
    m_model.SearchByBirthdate(picker.m_stDateOut);
    m_edtBirthdate->ChangeValue(wxString::FromUTF8(m_model.PickerDateText()));
    FillPatientList(true);
}

void CStartupDlg::ShowDeleteMenu(const wxPoint& at) {
    if (SelectedRow() < 0)
        return;
    wxMenu menu;
    menu.Append(ID_DELETE_PATIENT, "Delete");
    PopupMenu(&menu, at);
}

void CStartupDlg::OnDeletePatient() {
    const int row = SelectedRow();
    bool deleted = false;
    {
        wxBusyCursor wait;
        deleted = m_model.DeleteRow(row, m_fnTrash);
    }
    if (deleted) {
        m_lstPatients->DeleteItem(row);
        m_lstPatients->Refresh();
    }
    m_btnExit->SetLabel(Text(m_model.ExitCaptionId()));
}

void CStartupDlg::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            EndModal(kResultEscape);
            return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER: {
            // Enter searches in the search edits; in the list and anywhere else it presses OK,
            // unless a button has the focus, which Enter presses.
            wxWindow* focus = FindFocus();
            if (focus == m_edtId)
                OnBnClickedIdSearch();
            else if (focus == m_edtName)
                OnBnClickedNameSearch();
            else if (dynamic_cast<wxButton*>(focus) && focus != m_btnOk)
                break;
            else
                OnBnClickedOk();
            return;
        }
        default:
            break;
    }
    event.Skip();
}
