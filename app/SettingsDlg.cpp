#include "app/SettingsDlg.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "app/CstmEdit.h"
#include "app/core/SettingsStrings.h"
#include "resources/StringTable.h"

namespace {

// Template 197 in client pixels (1.5 px per dialog unit).
constexpr int Du(double units) {
    return static_cast<int>(units * 1.5 + 0.5);
}

enum class Kind { Box, Radio, Edit, Sleep, Choice, Label, Button };

struct Row {
    int id;
    Kind kind;
    double x, y, w, h;  // dialog units
    int text;           // string id, 0 none
};

constexpr int kRadioW = 44;
constexpr int kBoxW = 207;

// One row per control, in tab order.
constexpr Row kTable[] = {
    {1129, Kind::Box, 6, 8, kBoxW, 32, kStrFrameCorrelation},
    {1049, Kind::Radio, 14, 21, kRadioW, 12, kStrOff},
    {1050, Kind::Radio, 62, 21, kRadioW, 12, kStrX02},
    {1051, Kind::Radio, 110, 21, kRadioW, 12, kStrX05},
    {1052, Kind::Radio, 158, 21, kRadioW, 12, kStrX10},
    {1205, Kind::Box, 6, 44, kBoxW, 27, kStrMModeType},
    {1130, Kind::Radio, 14, 55, 70, 12, kStrMovingBar},
    {1131, Kind::Radio, 110, 55, 70, 12, kStrScroll},
    {1206, Kind::Box, 6, 74, kBoxW, 27, kStrAutoStop},
    {1132, Kind::Edit, 13, 84, 34, 0, 0},
    {1210, Kind::Label, 52, 87, 30, 10, kStrSec},
    {1204, Kind::Box, 6, 104, kBoxW, 32, kStrDateFormat},
    {1134, Kind::Choice, 12, 115, 98, 0, 0},
    {1207, Kind::Box, 6, 140, kBoxW, 32, kStrScanDirection},
    {1198, Kind::Radio, 14, 153, 70, 12, kStrNormal},
    {1199, Kind::Radio, 110, 153, 70, 12, kStrInvert},
    {1209, Kind::Box, 6, 176, kBoxW, 32, kStrGaModel},
    {1053, Kind::Radio, 14, 189, kRadioW, 12, kStrUsa},
    {1054, Kind::Radio, 62, 189, kRadioW, 12, kStrEuro1},
    {1055, Kind::Radio, 110, 189, kRadioW, 12, kStrEuro2},
    {1056, Kind::Radio, 158, 189, kRadioW, 12, kStrJsumModel},
    {1208, Kind::Box, 6, 212, kBoxW, 32, kStrEfwEquation},
    {1135, Kind::Choice, 12, 223, 98, 0, 0},
    {-1, Kind::Box, 7, 246, kBoxW - 1, 29, kStrHiFrameMode},
    {1215, Kind::Radio, 14, 258, 70, 12, kStrOff},
    {1216, Kind::Radio, 110, 258, 70, 12, kStrOn},
    {-1, Kind::Box, 7, 278, kBoxW - 1, 29, kStrAutoSleepTime},
    {1217, Kind::Sleep, 13, 288, 34, 0, 0},
    {-1, Kind::Label, 52, 291, 30, 10, kStrSec},
    {-1, Kind::Box, 7, 310, kBoxW - 1, 29, kStrImageFilter},
    {1218, Kind::Radio, 14, 322, 70, 12, kStrOff},
    {1219, Kind::Radio, 110, 322, 70, 12, kStrOn},
    {wxID_OK, Kind::Button, 84, 343, 50, 14, kStrOk},
    {wxID_CANCEL, Kind::Button, 162, 343, 50, 14, kStrCancel},
};
constexpr double kDialogW = 219;
constexpr double kDialogH = 364;

wxString Text(int id) {
    return wxString::FromUTF8(resources::LoadString(id));
}
wxPoint At(const Row& r) {
    return wxPoint(Du(r.x), Du(r.y));
}
// A height of 0 takes the control's own height (choices and edits need their font's).
wxSize Size(const Row& r) {
    return wxSize(Du(r.w), r.h > 0 ? Du(r.h) : -1);
}

}  // namespace

CSettingsDlg::CSettingsDlg(wxWindow* parent, SettingsValues& values, bool pcMode)
    : wxDialog(parent, wxID_ANY, Text(kStrSettingsTitle), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU),
      m_values(values) {
    SetClientSize(Du(kDialogW), Du(kDialogH));
    m_groups = {
        {kIdFrameCorrelation, 4, &m_values.frameCorrelation}, {kIdMModeType, 2, &m_values.mModeType},
        {kIdScanDirection, 2, &m_values.scanDirection},       {kIdGaModel, 4, &m_values.gaModel},
        {kIdHiFrameMode, 2, &m_values.hiFrameMode},           {kIdImageFilter, 2, &m_values.imageFilter}};
    Build();
    Fill();
    EnableOptions();
    Bind(wxEVT_CHAR_HOOK, &CSettingsDlg::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(wxID_CANCEL); });
    PlaceOnScreen(pcMode);
}

void CSettingsDlg::Build() {
    for (const Row& r : kTable) {
        switch (r.kind) {
            case Kind::Box:
                m_boxes[r.id == -1 ? r.text : r.id] =
                    new wxStaticBox(this, r.id == -1 ? wxID_ANY : r.id, Text(r.text), At(r), Size(r));
                break;
            case Kind::Radio: {
                bool first = false;
                for (const RadioGroup& g : m_groups)
                    first = first || g.firstId == r.id;
                m_radios[r.id] =
                    new wxRadioButton(this, r.id, Text(r.text), At(r), Size(r), first ? wxRB_GROUP : 0);
                // A group whose value may be none gets a hidden last radio to hold that state.
                for (RadioGroup& g : m_groups) {
                    if (r.id == g.firstId + g.count - 1 && g.firstId == kIdGaModel) {
                        g.none = new wxRadioButton(this, wxID_ANY, wxEmptyString, At(r), wxSize(1, 1));
                        g.none->Hide();
                    }
                }
                break;
            }
            case Kind::Edit:
                m_pAutoStop = new wxTextCtrl(this, r.id, wxEmptyString, At(r), Size(r), 0,
                                             wxTextValidator(wxFILTER_DIGITS));
                m_pAutoStop->SetMaxLength(5);
                break;
            case Kind::Sleep:
                m_pAutoSleep = new CstmEdit(this, r.id, At(r), Size(r));
                break;
            case Kind::Choice:
                (r.id == kIdDateFormat ? m_pDateFormat : m_pEfw) = new wxChoice(this, r.id, At(r), Size(r));
                break;
            case Kind::Label:
                new wxStaticText(this, r.id == -1 ? wxID_ANY : r.id, Text(r.text), At(r), Size(r));
                break;
            case Kind::Button: {
                auto* b = new wxButton(this, r.id, Text(r.text), At(r), Size(r));
                if (r.id == wxID_OK)
                    b->Bind(wxEVT_BUTTON, &CSettingsDlg::OnOk, this);
                else
                    b->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_CANCEL); });
                break;
            }
        }
    }
}

void CSettingsDlg::Fill() {
    for (const RadioGroup& g : m_groups) {
        const int v = *g.value;
        if (v >= 0 && v < g.count)
            m_radios[g.firstId + v]->SetValue(true);
        else if (g.none)
            g.none->SetValue(true);
    }
    m_pAutoStop->ChangeValue(wxString::FromUTF8(m_values.autoStopText));
    m_pAutoSleep->m_nMin = m_values.autoSleepMin;
    m_pAutoSleep->m_nMax = m_values.autoSleepMax;
    m_pAutoSleep->m_nLast = m_values.autoSleepTime;
    m_pAutoSleep->ChangeValue(wxString::Format("%d", m_values.autoSleepTime));
    for (const std::string& name : DateFormatNames())
        m_pDateFormat->Append(wxString::FromUTF8(name));
    m_pDateFormat->SetSelection(m_values.dateFormat);
    for (const std::string& name : m_values.efwNames)
        m_pEfw->Append(wxString::FromUTF8(name));
    m_pEfw->SetSelection(m_values.efwEquation);
}

void CSettingsDlg::EnableOptions() {
    for (int id : {+kIdHiFrameMode, kIdHiFrameMode + 1})
        m_radios[id]->Enable(m_values.hiFrameSupported);
    m_pAutoSleep->Enable(m_values.autoSleepSupported);
    for (int id : {+kIdImageFilter, kIdImageFilter + 1})
        m_radios[id]->Enable(m_values.imageFilterSupported);
    for (int i = 0; i < 4; ++i)
        m_radios[kIdGaModel + i]->Enable(m_values.obOptionsEnabled);
    m_boxes[kIdBoxGaModel]->Enable(m_values.obOptionsEnabled);
    m_boxes[kIdBoxEfw]->Enable(m_values.obOptionsEnabled);
    m_pEfw->Enable(m_values.obOptionsEnabled);
}

void CSettingsDlg::PlaceOnScreen(bool pcMode) {
    if (pcMode) {
        CentreOnParent();
        return;
    }
    // The top edge of the work area, centred across it.
    const int display = wxDisplay::GetFromWindow(GetParent() ? GetParent() : this);
    const wxRect work =
        wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    Move((work.width - GetSize().x) / 2 + work.x, work.y);
}

wxRadioButton* CSettingsDlg::Radio(int id) const {
    const auto it = m_radios.find(id);
    return it == m_radios.end() ? nullptr : it->second;
}

void CSettingsDlg::OnOk(wxCommandEvent&) {
    for (const RadioGroup& g : m_groups) {
        int chosen = g.none ? -1 : *g.value;
        for (int i = 0; i < g.count; ++i) {
            if (m_radios[g.firstId + i]->GetValue())
                chosen = i;
        }
        *g.value = chosen;
    }
    m_values.autoStopText = m_pAutoStop->GetValue().utf8_string();
    // The edit keeps its last accepted value; an emptied field keeps it too.
    m_values.autoSleepTime = m_pAutoSleep->m_nLast;
    m_values.dateFormat = std::max(m_pDateFormat->GetSelection(), 0);
    m_values.efwEquation = std::max(m_pEfw->GetSelection(), 0);
    EndModal(wxID_OK);
}

void CSettingsDlg::OnCharHook(wxKeyEvent& event) {
    // Esc and Enter do not close the dialog.
    const int code = event.GetKeyCode();
    if (code == WXK_ESCAPE || code == WXK_RETURN || code == WXK_NUMPAD_ENTER)
        return;
    event.Skip();
}
