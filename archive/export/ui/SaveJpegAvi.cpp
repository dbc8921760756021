#include "archive/export/ui/SaveJpegAvi.h"

#include <wx/dirdlg.h>
#include <wx/display.h>

#include <algorithm>

#include "archive/export/ExportSettings.h"
#include "common/SettingsStore.h"
#include "platform/MessageBox.h"
#include "platform/draw/Fonts.h"
#include "resources/StringTable.h"

namespace {

struct Item {
    int x, y, w, h;
    wxPoint Pos() const { return {x, y}; }
    wxSize Size() const { return {w, h}; }
};

// Client pixels: the template's dialog units at 1.5 px, rows opened up for GTK's taller
// entries and labels widened to their texts.
const wxSize kClient{590, 300};
constexpr Item kIdLabel{12, 19, 72, 20};
constexpr Item kId{86, 14, 140, 28};
constexpr Item kNameLabel{12, 53, 72, 20};
constexpr Item kName{86, 48, 386, 28};
constexpr Item kTimeLabel{12, 87, 72, 20};
constexpr Item kTime{86, 82, 386, 28};
constexpr Item kFolderLabel{12, 127, 72, 20};
constexpr Item kFolder{86, 122, 386, 28};
constexpr Item kSelect{480, 118, 96, 36};
constexpr Item kFileNameLabel{12, 167, 72, 20};
constexpr Item kPrefix{86, 162, 161, 28};
constexpr Item kFileName{251, 162, 221, 28};
constexpr Item kExt{480, 162, 70, 28};
constexpr Item kCameraLabel{12, 205, 72, 20};
constexpr Item kCamera{86, 200, 386, 32};
constexpr Item kQualityGroup{35, 236, 321, 56};
constexpr Item kRadios[4] = {{52, 260, 70, 22}, {128, 260, 84, 22}, {216, 260, 64, 22}, {282, 260, 70, 22}};
constexpr Item kOk{384, 248, 92, 36};
constexpr Item kCancel{480, 248, 96, 36};

// Captions of the string table.
constexpr int kStrId = 60210, kStrName = 60211, kStrTime = 60212, kStrFolder = 60213, kStrFileName = 60214,
              kStrCamera = 60215, kStrQuality = 60216, kStrHigh = 60217, kStrMiddle = 60218, kStrLow = 60219,
              kStrSelect = 60220, kStrSelectFolder = 336, kStrOk = 214, kStrCancel = 210;

wxString Text(int id) {
    return wxString::FromUTF8(resources::LoadString(id));
}

wxString Wx(const std::string& s) {
    return wxString::FromUTF8(s);
}

std::string Utf8(const wxString& s) {
    return std::string(s.utf8_str());
}

wxFont DialogFont() {
    return wxFont(wxFontInfo(wxSize(0, 12)).FaceName(draw::kUiFace));
}

}  // namespace

CSaveJpegAvi::CSaveJpegAvi(const std::string& title, wxWindow* parent, CameraNames cameraNames)
    : wxDialog(parent, wxID_ANY, Wx(title), wxDefaultPosition, wxDefaultSize, wxCAPTION),
      m_fnBrowseFolder(
          [](std::string& out, const std::string& initial) { return BrowseFolder(out, false, initial); }),
      m_fnCameraNames(std::move(cameraNames)) {
    SetFont(DialogFont());
    SetClientSize(kClient);
    auto label = [this](int id, const Item& at) {
        return new wxStaticText(this, id, "", at.Pos(), at.Size(), wxST_NO_AUTORESIZE);
    };
    auto readOnly = [this](int id, const Item& at) {
        return new wxTextCtrl(this, id, "", at.Pos(), at.Size(), wxTE_READONLY);
    };
    label(IDC_ID_LABEL, kIdLabel);
    m_edtId = readOnly(IDC_ID, kId);
    label(IDC_NAME_LABEL, kNameLabel);
    m_edtName = readOnly(IDC_NAME, kName);
    m_lblTime = label(IDC_TIME_LABEL, kTimeLabel);
    m_edtTime = readOnly(IDC_TIME, kTime);
    label(IDC_FOLDER_LABEL, kFolderLabel);
    m_edtFolder = readOnly(IDC_FOLDER, kFolder);
    m_btnSelect = new wxButton(this, IDC_SELECT, "", kSelect.Pos(), kSelect.Size());
    label(IDC_FILENAME_LABEL, kFileNameLabel);
    m_edtPrefix = readOnly(IDC_PREFIX, kPrefix);
    m_edtFileName = new wxTextCtrl(this, IDC_FILENAME, "", kFileName.Pos(), kFileName.Size());
    m_edtExt = readOnly(IDC_EXT, kExt);
    m_lblCamera = label(IDC_CAMERA_LABEL, kCameraLabel);
    m_cmbCamera = new wxChoice(this, IDC_CAMERA, kCamera.Pos(), kCamera.Size());
    m_grpQuality = new wxStaticBox(this, IDC_QUALITY, "", kQualityGroup.Pos(), kQualityGroup.Size());
    constexpr int radioIds[4] = {IDC_HIGH, IDC_MIDDLE, IDC_LOW, IDC_SEL};
    for (int i = 0; i < 4; ++i)
        m_rdoQuality[i] = new wxRadioButton(this, radioIds[i], "", kRadios[i].Pos(), kRadios[i].Size(),
                                            i == 0 ? wxRB_GROUP : 0);
    m_btnOk = new wxButton(this, IDC_OK, "", kOk.Pos(), kOk.Size());
    m_btnCancel = new wxButton(this, IDC_CANCEL, "", kCancel.Pos(), kCancel.Size());
    m_btnOk->SetDefault();

    // Tab order follows the template; the free name comes first to the keyboard.
    SetEscapeId(wxID_NONE);
    m_btnOk->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedOk(); });
    m_btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_CANCEL); });
    m_btnSelect->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedSelect(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(wxID_CANCEL); });
}

int CSaveJpegAvi::DoModal() {
    if (!OnInitDialog())
        return kNoCamera;
    return ShowModal();
}

bool CSaveJpegAvi::OnInitDialog() {
    FindWindow(IDC_ID_LABEL)->SetLabel(Text(kStrId));
    FindWindow(IDC_NAME_LABEL)->SetLabel(Text(kStrName));
    m_lblTime->SetLabel(Text(kStrTime));
    FindWindow(IDC_FOLDER_LABEL)->SetLabel(Text(kStrFolder));
    FindWindow(IDC_FILENAME_LABEL)->SetLabel(Text(kStrFileName));
    m_lblCamera->SetLabel(Text(kStrCamera));
    m_grpQuality->SetLabel(Text(kStrQuality));
    const int radioCaptions[4] = {kStrHigh, kStrMiddle, kStrLow, kStrSelect};
    for (int i = 0; i < 4; ++i)
        m_rdoQuality[i]->SetLabel(Text(radioCaptions[i]));
    m_btnSelect->SetLabel(Text(kStrSelect));
    m_btnOk->SetLabel(Text(kStrOk));
    m_btnCancel->SetLabel(Text(kStrCancel));

    m_grpQuality->Show(m_bShowQuality);
    for (int i = 0; i < 3; ++i)
        m_rdoQuality[i]->Show(m_bShowQuality);
    // The Select quality is reached only through a stored "SEL"; its button never shows.
    m_rdoQuality[exportfile::kQualitySelect]->Hide();

    m_lblCamera->Show(m_bCameraList);
    m_cmbCamera->Show(m_bCameraList);
    if (m_bCameraList) {
        m_lblTime->Hide();
        m_edtTime->Hide();
        std::vector<std::string> names = m_fnCameraNames ? m_fnCameraNames() : std::vector<std::string>{};
        // The list is sorted, as the template's sorted list shows it.
        std::sort(names.begin(), names.end());
        m_cmbCamera->Clear();
        for (const std::string& name : names)
            m_cmbCamera->Append(Wx(name));
        if (m_cmbCamera->GetCount() == 0)
            return false;
        m_cmbCamera->SetSelection(0);
        const auto it = std::find(names.begin(), names.end(), m_strCameraPrev);
        if (it != names.end())
            m_cmbCamera->SetSelection(static_cast<int>(it - names.begin()));
    }

    m_edtFileName->SetMaxLength(kFileNameLimit);
    MembersToControls();
    m_edtFileName->SetFocus();
    if (GetParent())
        CentreOnParent();
    else
        CentreOnScreen();
    if (GetSettingInt(SettingSectionApp, SettingKeyTable::PCMODE, 1) != 1)
        PlaceForTouchLayout();
    return true;
}

void CSaveJpegAvi::PlaceForTouchLayout() {
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect work =
        wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    const wxRect window = GetRect();
    // Windows rectangles: right is one past the last column.
    const int workRight = work.GetRight() + 1;
    const int windowRight = window.GetRight() + 1;
    Move((workRight - windowRight) / 2, 0);
}

void CSaveJpegAvi::MembersToControls() {
    m_edtId->ChangeValue(Wx(m_strIdText));
    m_edtName->ChangeValue(Wx(m_strNameText));
    m_edtTime->ChangeValue(Wx(m_strTimeText));
    m_edtFolder->ChangeValue(Wx(m_strOutputFolder));
    m_edtPrefix->ChangeValue(Wx(m_strFilePrefix));
    m_edtFileName->ChangeValue(Wx(m_strFileName));
    m_edtExt->ChangeValue(Wx(m_strFileExt));
    // An index none of the buttons stands for checks the hidden Select button, which keeps it.
    const bool known = m_nQuality >= 0 && m_nQuality <= exportfile::kQualitySelect;
    m_rdoQuality[known ? m_nQuality : exportfile::kQualitySelect]->SetValue(true);
}

void CSaveJpegAvi::ControlsToMembers() {
    m_strFileName = Utf8(m_edtFileName->GetValue());
    // The hidden Select button carries "SEL" and "none" alike: the member keeps what it was.
    for (int i = exportfile::kQualityHigh; i <= exportfile::kQualityLow; ++i)
        if (m_rdoQuality[i]->GetValue())
            m_nQuality = i;
}

void CSaveJpegAvi::OnBnClickedOk() {
    const std::string typed = Utf8(m_edtFileName->GetValue());
    if (const auto problem = exportfile::FreeNameProblem(typed)) {
        platform::ShowMessageBox(*problem, GetTitle().utf8_string(), platform::MsgIcon::Exclamation);
        m_edtFileName->SetFocus();
        return;
    }
    if (m_bCameraList && m_cmbCamera->GetSelection() != wxNOT_FOUND)
        m_strCamera = Utf8(m_cmbCamera->GetString(static_cast<unsigned>(m_cmbCamera->GetSelection())));
    ControlsToMembers();
    EndModal(wxID_OK);
}

void CSaveJpegAvi::OnBnClickedSelect() {
    std::string chosen;
    if (!m_fnBrowseFolder || !m_fnBrowseFolder(chosen, m_strOutputFolder))
        return;
    platform::ShowMessageBox(chosen, "", platform::MsgIcon::None);
    ControlsToMembers();
    m_strOutputFolder = chosen;
    MembersToControls();
}

bool CSaveJpegAvi::BrowseFolder(std::string& out, bool newStyle, const std::string& initial) {
    out.clear();
    std::string start = initial;
    if (start.size() > 1 && start.back() == '/')
        start.pop_back();
    long style = wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST;
    if (!newStyle)
        style &= ~wxDD_NEW_DIR_BUTTON;
    wxDirDialog dialog(nullptr, Text(kStrSelectFolder), Wx(start), style);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    out = exportfile::WithTrailingSlash(Utf8(dialog.GetPath()));
    return !out.empty();
}
