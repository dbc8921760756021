// The left live panel (dialog 222): Freeze, BB, BM, SyncView, STC and REC buttons, the
// recording time and the grey bar of the gamma curve.
#pragma once

#include <string>

#include "app/core/ISidePanel.h"

class ILivePanel : public ISidePanel {
public:
    // Buttons: maindlg::IDC_LIVE_FREEZE, _BB, _BM, _SYNCVIEW, _STC, _REC.
    // Enables or disables the button and sets its own enabled flag.
    virtual void EnableButton(int id, bool enable) = 0;
    virtual bool IsButtonEnabled(int id) const = 0;
    virtual void SetButtonState(int id, int state) = 0;  // maindlg::ButtonState
    virtual void SetButtonKind(int id, int kind) = 0;    // maindlg::ButtonKind
    // The REC button's caption.
    virtual void SetRecButtonText(const std::string& text) = 0;
    // First sub-caption, light grey ("camera prep", "stop").
    virtual void SetButtonText(int id, const std::string& text) = 0;
    // Second sub-caption ("automatic" under STC).
    virtual void SetButtonSubText2(int id, const std::string& text) = 0;
    // The Freeze toggle: on while frozen; repainted at once.
    virtual void SetFreezeChecked(bool checked) = 0;
    virtual bool IsFreezeChecked() const = 0;
    // The grey bar follows the gamma curve.
    virtual void SetGamma(double gamma) = 0;
    // The recording time static 1195 ("00:30"), repainted at once.
    virtual void SetRecTimeText(const std::string& text) = 0;
    virtual bool IsButtonFocused() const = 0;
    virtual void FocusButton(int id) = 0;
    // The gradation bar's rectangle (main dialog client coordinates).
    virtual void SetGradationRect(const draw::Rect& /*rect*/) {}
};
