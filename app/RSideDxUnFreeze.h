// The right live panel: depth, gain, contrast and gamma sliders with their captions and
// values, and the transmit-frequency choices. The texts of a slider light up in gold
// while it has the focus.
#pragma once

#include <string>

#include "app/ColorLabel.h"
#include "app/CstmButton.h"
#include "app/CstmSliderCtrl.h"
#include "app/SidePanel.h"

class CRSideDxUnFreeze : public CSidePanel {
public:
    static constexpr int kDialogId = 229;
    enum ControlId : int {
        IDC_CAPTION_DEPTH = 1020,
        IDC_CAPTION_GAIN = 1022,
        IDC_CAPTION_CONTRAST = 1023,
        IDC_CAPTION_GAMMA = 1168,
        IDC_VALUE_DEPTH = 1035,
        IDC_VALUE_GAIN = 1033,
        IDC_VALUE_CONTRAST = 1034,
        IDC_VALUE_GAMMA = 1040,
        IDC_LETTER_DEPTH = 1113,
        IDC_LETTER_GAIN = 1114,
        IDC_LETTER_CONTRAST = 1115,
        IDC_LETTER_GAMMA = 1214,
        IDC_SLIDER_DEPTH = 1017,
        IDC_SLIDER_GAIN = 1013,
        IDC_SLIDER_CONTRAST = 1016,
        IDC_SLIDER_GAMMA = 1213,
        IDC_FREQ_CAPTION = 1116,
        IDC_FREQ_1 = 1221,
        IDC_FREQ_2 = 1222,
        IDC_FREQ_3 = 1223,
        IDC_FRAME_CORRELATION_1 = 1110,
        IDC_FRAME_CORRELATION_2 = 1111,
    };

    explicit CRSideDxUnFreeze(wxWindow* parent);

    // (maximum + minimum - position) / 100 of the gamma slider: its top is the largest value.
    double GetGamma() const;
    // The value limited to the gamma slider's range / 100.
    double ClampGamma(double gamma) const;
    void SetGammaText(double gamma);
    // Repaints the letter, caption and value of the slider; false when it is none of the four.
    bool RedrawSliderValues(const wxWindow* slider);

    CCstmSliderCtrl* GetSlider(int id);
    CColorLabel* GetLabel(int id);
    CCstmButton* GetFreqButton(int id);

    bool PreTranslateKey(const wxKeyEvent& event) override;
    // The text colour becomes the normal colour of the captions and values.
    void SetPanelColours(Colorref text, Colorref back) override;

    Colorref m_crNormalText = Colorref::FromRgb(255, 255, 255);
    Colorref m_crHighlightText = Colorref::FromRgb(192, 160, 31);

    struct SliderGroup {
        CCstmSliderCtrl* slider;
        CColorLabel* letter;
        CColorLabel* caption;
        CColorLabel* value;
    };
    SliderGroup m_groups[4]{};  // depth, gain, contrast, gamma
    CColorLabel* m_lblFreq;
    CCstmButton* m_btnFreq[3];
    CColorLabel* m_lblFrameCorrelation[2];

private:
    void OnFreqButton(wxCommandEvent& event);
    void OnSliderScroll(wxCommandEvent& event);
    const SliderGroup* GroupOf(const wxWindow* slider) const;
    void ColourBySlider(CColorLabel* label, CCstmSliderCtrl* slider);
};
