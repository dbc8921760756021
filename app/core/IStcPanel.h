// The left STC panel (dialog 221): ten depth-gain sliders with their value labels, Auto and Back.
#pragma once

#include <string>

#include "app/core/ISidePanel.h"

class IStcPanel : public ISidePanel {
public:
    static constexpr int kSliderCount = 10;
    // Every slider: the range (not redrawn), tick frequency 1, page size 10.
    virtual void SetSliderRange(int minimum, int maximum) = 0;
    virtual int GetSliderPos(int index) const = 0;
    virtual void SetSliderPos(int index, int position) = 0;  // clamped to the range, sends nothing
    // With show values on, the label shows the slider's position.
    virtual void UpdateValueLabel(int index) = 0;
    virtual void SetShowValues(bool show) = 0;
    // The Auto button: caption ("Auto", "Reset", "ON", "OFF") and state, repainted with erasing.
    virtual void SetAutoButton(const std::string& caption, int state) = 0;
    virtual void EnableBackButton(bool enable) = 0;
    virtual bool IsButtonFocused() const = 0;
    virtual void FocusBackButton() = 0;
};
