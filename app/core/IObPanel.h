// The OB/GY side panel (dialog 223). It comes with the OB/GY subsystem; until then the core
// uses this default, which does nothing but keep the enabled state of the five item buttons:
// the patient keys F1 and F4 ask BPD and CRL, which stay enabled until a layout disables them.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/ISidePanel.h"

class IObPanel : public ISidePanel {
public:
    void PlaceAndShow(const draw::Rect&) override {}
    void Show(bool) override {}
    bool IsShown() const override { return false; }
    int AnchorRight(int) const override { return -1; }

    // 1 while OB/GY mode is on (Part of the panel's own state), else 0.
    virtual int GetState() const { return 0; }
    virtual bool IsButtonEnabled(int id) const { return IsItemButton(id) && m_bItemButtonsEnabled; }
    virtual void FocusButton(int /*id*/) {}
    // The five item buttons BPD, FL, CRL, AC, GS.
    virtual void EnableItemButtons(bool enable) { m_bItemButtonsEnabled = enable; }
    virtual void SetItemSubCaption(int /*id*/, const std::string& /*text*/) {}
    virtual void SetAcSubCaptionColour(uint32_t /*pixel*/) {}
    virtual void SetModelCaption(const std::string& /*text*/) {}
    virtual void SetGaModelText(const std::string& /*text*/) {}
    virtual void SetItemCaption(int /*id*/, const std::string& /*text*/) {}
    virtual void SetMode(int /*layout*/, int /*subItem*/, bool /*redraw*/) {}
    // 1 while OB/GY mode is on, else 0.
    virtual void SetState(int /*state*/) {}
    // Empties both sub-captions of the five item buttons.
    virtual void ClearMeasureValues() {}
    // The sub-caption colour of an item button (AC uses SetAcSubCaptionColour).
    virtual void SetItemSubCaptionColour(int /*id*/, uint32_t /*pixel*/) {}
    // The LMP and BBT texts shown by controls 1183 and 1184 (empty: not set).
    virtual void SetDateTexts(const std::string& /*lmp*/, const std::string& /*bbt*/) {}

private:
    // BPD 1008, FL 1009, CRL 1010, AC 1036, GS 1049.
    static bool IsItemButton(int id) {
        return id == 1008 || id == 1009 || id == 1010 || id == 1036 || id == 1049;
    }
    bool m_bItemButtonsEnabled = true;
};
