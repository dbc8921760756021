// The left live panel: Freeze, BB, BM, SyncView, STC and REC, the recording time and the
// grey bar of the gamma curve.
#pragma once

#include <string>

#include "app/ColorLabel.h"
#include "app/CstmButton.h"
#include "app/GradationCtrl.h"
#include "app/SidePanel.h"

class CLSideDxUnFreeze : public CSidePanel {
public:
    static constexpr int kDialogId = 222;
    enum ControlId : int {
        IDC_FREEZE = 1001,
        IDC_BB = 1177,
        IDC_BM = 1178,
        IDC_SYNCVIEW = 1048,
        IDC_STC = 1166,
        IDC_REC = 1037,
        IDC_GRADATION = 1041,
        IDC_REC_TIME = 1195,
    };

    explicit CLSideDxUnFreeze(wxWindow* parent);

    void SetRecButtonText(const std::string& text);
    void EnableButton(int id, bool enable);
    // The button's first sub-caption, in light grey.
    void SetButtonText(int id, const std::string& text);
    CCstmButton* GetButton(int id);
    // The grey bar follows the gamma curve: entry i = trunc(255 (i / 255)^(1 / gamma)).
    void SetGamma(double gamma);
    void SetColors(const draw::Font& buttonFont, const draw::Font& recTimeFont, const draw::Font& recFont,
                   Colorref text, Colorref back, Colorref focusBorder);
    void SetGradationRect(const wxRect& rect);
    bool IsButtonFocused() const;
    // Repaints the REC button (the recording blink).
    void RefreshRecButton();

    bool PreTranslateKey(const wxKeyEvent& event) override;

    CCstmCheckBox* m_btnFreeze;
    CCstmButton* m_btnBB;
    CCstmButton* m_btnBM;
    CCstmButton* m_btnSyncView;
    CCstmButton* m_btnSTC;
    CCstmButton* m_btnRec;
    CGradationCtrl* m_gradation;
    CColorLabel* m_lblRecTime;
    wxRect m_rcGradation;
    Colorref m_crFocusBorder = Colorref::FromRgb(192, 160, 31);

private:
    void OnButton(wxCommandEvent& event);
    void OnShow(wxShowEvent& event);
};
