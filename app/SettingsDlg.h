// The settings dialog (template 197) over SettingsValues: frame correlation, M-mode type,
// auto stop, date format, scan direction, the OB/GY models and the probe options. OK copies
// the controls back into the values; Cancel and the window's close leave them alone. Esc and
// Enter do not close it.
#pragma once

#include <wx/dialog.h>

#include <array>
#include <map>
#include <vector>

#include "app/core/SettingsModel.h"

class CstmEdit;
class wxChoice;
class wxRadioButton;
class wxStaticBox;
class wxTextCtrl;

class CSettingsDlg : public wxDialog {
public:
    // Control ids of the template.
    enum : int {
        kIdFrameCorrelation = 1049,  // 1049..1052
        kIdGaModel = 1053,           // 1053..1056
        kIdMModeType = 1130,         // 1130..1131
        kIdAutoStop = 1132,
        kIdDateFormat = 1134,
        kIdEfwEquation = 1135,
        kIdScanDirection = 1198,  // 1198..1199
        kIdHiFrameMode = 1215,    // 1215..1216
        kIdAutoSleep = 1217,
        kIdImageFilter = 1218,  // 1218..1219
        kIdBoxGaModel = 1209,
        kIdBoxEfw = 1208,
    };

    // pcMode: the setting "PCMODE" is 1 (the dialog stays where it opens).
    CSettingsDlg(wxWindow* parent, SettingsValues& values, bool pcMode);

    wxRadioButton* Radio(int id) const;
    wxTextCtrl* AutoStopEdit() const { return m_pAutoStop; }
    CstmEdit* AutoSleepEdit() const { return m_pAutoSleep; }
    wxChoice* DateFormatChoice() const { return m_pDateFormat; }
    wxChoice* EfwChoice() const { return m_pEfw; }

private:
    struct RadioGroup {
        int firstId;
        int count;
        int* value;
        wxRadioButton* none = nullptr;  // hidden: selected when no radio is pre-selected
    };
    void Build();
    void Fill();
    void EnableOptions();
    void PlaceOnScreen(bool pcMode);
    void OnOk(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);

    SettingsValues& m_values;
    std::map<int, wxRadioButton*> m_radios;
    std::vector<RadioGroup> m_groups;
    std::map<int, wxStaticBox*> m_boxes;
    wxTextCtrl* m_pAutoStop = nullptr;
    CstmEdit* m_pAutoSleep = nullptr;
    wxChoice* m_pDateFormat = nullptr;
    wxChoice* m_pEfw = nullptr;
};
