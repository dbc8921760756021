// The right live panel (dialog 229): depth, gain, contrast and gamma sliders with their value
// labels, and the three transmit-frequency buttons. Gain and contrast sliders are reversed
// (the top is the largest value: value = maximum - position); the gamma slider too, as
// (maximum + minimum - position) / 100. The depth slider's position is the depth in mm.
#pragma once

#include <string>

#include "app/core/ISidePanel.h"

class IRightPanel : public ISidePanel {
public:
    // Sliders: maindlg::IDC_R_DEPTH, IDC_R_GAIN, IDC_R_CONTRAST, IDC_R_GAMMA.
    virtual int GetSliderPos(int sliderId) const = 0;
    virtual void SetSliderPos(int sliderId, int position) = 0;  // clamped to the range, sends nothing
    virtual int GetSliderMin(int sliderId) const = 0;
    virtual int GetSliderMax(int sliderId) const = 0;
    virtual void SetSliderRange(int sliderId, int minimum, int maximum, bool redraw) = 0;
    // True for the sliders whose top is their largest value (gain, contrast).
    virtual bool IsSliderReversed(int sliderId) const = 0;
    // The value label beside a slider ("%d"; gamma "%3.2f").
    virtual void SetValueText(int sliderId, const std::string& text) = 0;
    // Repaints the letter, caption and value of the slider (the slider-focus event's payload);
    // false when it is none of the four.
    virtual bool RedrawSliderValues(const void* slider) = 0;

    // Frequency buttons maindlg::IDC_R_FREQ1..3.
    virtual void SetFreqButtonCaption(int id, const std::string& caption) = 0;
    virtual void EnableFreqButton(int id, bool enable) = 0;  // window and enabled flag
    virtual void ShowFreqButton(int id, bool show) = 0;
    virtual void SetFreqButtonState(int id, int state) = 0;  // 5 normal, 6 highlighted
    virtual void RedrawFreqButtons() = 0;                    // without erasing
    // Moves the panel's top-left corner (main dialog client coordinates).
    virtual void MoveTo(draw::Point /*topLeft*/) {}
};
