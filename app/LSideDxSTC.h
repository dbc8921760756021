// The left STC panel: ten depth-gain sliders with their values, Auto and Back.
#pragma once

#include <array>

#include "app/ColorLabel.h"
#include "app/CstmButton.h"
#include "app/CstmSliderCtrl.h"
#include "app/SidePanel.h"

class CLSideDxSTC : public CSidePanel {
public:
    static constexpr int kDialogId = 221;
    static constexpr int kSliderCount = 10;
    enum ControlId : int {
        IDC_STC_SLIDER_FIRST = 1151,  // slider i is 1151 + i
        IDC_STC_VALUE_FIRST = 1224,   // its value label 1224 + i
        IDC_AUTO = 1167,
        IDC_BACK = 1166,
    };

    explicit CLSideDxSTC(wxWindow* parent);

    // Every slider: the range (not redrawn), tick frequency 1 and page size 10.
    void SetSliderRange(int minimum, int maximum);
    CCstmSliderCtrl* GetSlider(int index);
    CColorLabel* GetValueLabel(int index);
    static int SliderIndexFromId(int id);
    // With show values on, the label shows the slider's position.
    void UpdateValueLabel(int index);
    // Shows or hides the ten value labels.
    void SetShowValues(bool show);
    bool IsButtonFocused() const;

    bool PreTranslateKey(const wxKeyEvent& event) override;

    std::array<CCstmSliderCtrl*, kSliderCount> m_apSlider{};
    std::array<CColorLabel*, kSliderCount> m_apValue{};
    CCstmButton* m_btnAuto;
    CCstmButton* m_btnBack;
    bool m_bShowValues = false;

private:
    void OnButton(wxCommandEvent& event);
    void OnSliderScroll(wxCommandEvent& event);
};
