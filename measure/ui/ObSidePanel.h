// The OB/GY side panel (dialog 223): five item buttons with their measured values, the LMP
// and BBT dates with their entry marks, the growth-table set and fetal-weight equation names,
// G-Age and Back. It never calls the main window: its presses go out on the event hub as
// {223, code}; the main window drives it through CObPanelPort (the core's IObPanel).
#pragma once

#include <array>
#include <string>

#include "app/ColorLabel.h"
#include "app/CstmButton.h"
#include "app/SidePanel.h"
#include "app/core/IObPanel.h"

class CEntryMark;

class CLSideOBGYPanel : public CSidePanel {
public:
    static constexpr int kDialogId = 223;
    enum ControlId : int {
        IDC_TITLE = 1189,
        IDC_LMP_LABEL = 1190,
        IDC_LMP_TEXT = 1183,
        IDC_LMP_MARK = 1186,
        IDC_BBT_LABEL = 1191,
        IDC_BBT_TEXT = 1184,
        IDC_BBT_MARK = 1187,
        IDC_EVAL = 1192,
        IDC_GA_LABEL = 1211,
        IDC_GA_MODEL = 1182,
        IDC_EFW_LABEL = 1212,
        IDC_EFW_MODEL = 1181,
        IDC_BPD = 1008,
        IDC_FL = 1009,
        IDC_CRL = 1010,
        IDC_AC = 1036,
        IDC_GS = 1049,
        IDC_GAGE = 1188,
        IDC_BACK = 1179,
        IDC_ANCHOR = 1180,
    };
    // What the hub carries for each press.
    static constexpr int kCodeBack = 1006;
    static constexpr int kCodeLmp = 1050;
    static constexpr int kCodeBbt = 1051;
    // The five item buttons, in panel order.
    static constexpr std::array<int, 5> kItemButtons = {IDC_BPD, IDC_FL, IDC_CRL, IDC_AC, IDC_GS};

    explicit CLSideOBGYPanel(wxWindow* parent);

    // Empties both sub-captions of the five item buttons.
    void ClearMeasureValues();
    // Layout 18: the item buttons shown in the normal state, the item's highlighted, the date
    // texts shown, their enabling left as the layout set it; any other layout: the item
    // buttons hidden.
    void SetMode(int layout, int item);
    void SetDateTexts(const std::string& lmp, const std::string& bbt);
    CCstmButton* Button(int id) const;

    bool PreTranslateKey(const wxKeyEvent& event) override;
    // The code a press of the control publishes; 0 for none.
    static int CodeOf(int controlId);

    int m_nState = 0;  // 1 while the OB/GY mode is on
    std::string m_strLmp;
    std::string m_strBbt;
    CColorLabel* m_pGaModel = nullptr;
    CColorLabel* m_pEfwModel = nullptr;
    CColorLabel* m_pLmpText = nullptr;
    CColorLabel* m_pBbtText = nullptr;
    CEntryMark* m_pLmpMark = nullptr;
    CEntryMark* m_pBbtMark = nullptr;
    Colorref m_crValue = Colorref::FromRgb(192, 160, 31);

private:
    CColorLabel* Label(int id, const std::string& text, int x, int y, int w, int h, bool value);
    void OnButton(wxCommandEvent& event);
    std::array<CCstmButton*, 7> m_apButtons{};  // the five items, G-Age, Back
};

// The core's view of the panel.
class CObPanelPort : public IObPanel {
public:
    explicit CObPanelPort(CLSideOBGYPanel* panel) : m_pPanel(panel) {}
    void PlaceAndShow(const draw::Rect& rect) override;
    void Show(bool show) override;
    bool IsShown() const override;
    int AnchorRight(int controlId) const override;

    int GetState() const override { return m_pPanel->m_nState; }
    void SetState(int state) override { m_pPanel->m_nState = state; }
    bool IsButtonEnabled(int id) const override;
    void FocusButton(int id) override;
    void EnableItemButtons(bool enable) override;
    void SetItemSubCaption(int id, const std::string& text) override;
    void SetItemSubCaptionColour(int id, uint32_t pixel) override;
    void SetAcSubCaptionColour(uint32_t pixel) override;
    void SetModelCaption(const std::string& text) override;
    void SetGaModelText(const std::string& text) override;
    void SetItemCaption(int id, const std::string& text) override;
    void SetMode(int layout, int subItem, bool redraw) override;
    void ClearMeasureValues() override { m_pPanel->ClearMeasureValues(); }
    void SetDateTexts(const std::string& lmp, const std::string& bbt) override {
        m_pPanel->SetDateTexts(lmp, bbt);
    }

private:
    CLSideOBGYPanel* m_pPanel;
};
