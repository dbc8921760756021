// The core's side-panel interfaces over the three panel windows: placing and showing them,
// and the panel operations the core uses.
#pragma once

#include "app/core/ILivePanel.h"
#include "app/core/IRightPanel.h"
#include "app/core/IStcPanel.h"

class CSidePanel;
class CLSideDxUnFreeze;
class CLSideDxSTC;
class CRSideDxUnFreeze;

// Placing, showing and anchors, the same for every panel.
class CSidePanelPlacement {
public:
    explicit CSidePanelPlacement(CSidePanel* panel) : m_pPanel(panel) {}
    void PlaceAndShow(const draw::Rect& rect);
    void Show(bool show);
    bool IsShown() const;
    int AnchorRight(int controlId) const;

private:
    CSidePanel* m_pPanel;
};

class CLivePanelPort : public ILivePanel {
public:
    explicit CLivePanelPort(CLSideDxUnFreeze* panel);
    void PlaceAndShow(const draw::Rect& rect) override { m_place.PlaceAndShow(rect); }
    void Show(bool show) override { m_place.Show(show); }
    bool IsShown() const override { return m_place.IsShown(); }
    int AnchorRight(int controlId) const override { return m_place.AnchorRight(controlId); }

    void EnableButton(int id, bool enable) override;
    bool IsButtonEnabled(int id) const override;
    void SetButtonState(int id, int state) override;
    void SetButtonKind(int id, int kind) override;
    void SetRecButtonText(const std::string& text) override;
    void SetButtonText(int id, const std::string& text) override;
    void SetButtonSubText2(int id, const std::string& text) override;
    void SetFreezeChecked(bool checked) override;
    bool IsFreezeChecked() const override;
    void SetGamma(double gamma) override;
    void SetRecTimeText(const std::string& text) override;
    bool IsButtonFocused() const override;
    void FocusButton(int id) override;

    void SetGradationRect(const draw::Rect& rect) override;

private:
    CLSideDxUnFreeze* m_pPanel;
    CSidePanelPlacement m_place;
};

class CStcPanelPort : public IStcPanel {
public:
    explicit CStcPanelPort(CLSideDxSTC* panel);
    void PlaceAndShow(const draw::Rect& rect) override { m_place.PlaceAndShow(rect); }
    void Show(bool show) override { m_place.Show(show); }
    bool IsShown() const override { return m_place.IsShown(); }
    int AnchorRight(int controlId) const override { return m_place.AnchorRight(controlId); }

    void SetSliderRange(int minimum, int maximum) override;
    int GetSliderPos(int index) const override;
    void SetSliderPos(int index, int position) override;
    void UpdateValueLabel(int index) override;
    void SetShowValues(bool show) override;
    void SetAutoButton(const std::string& caption, int state) override;
    void EnableBackButton(bool enable) override;
    bool IsButtonFocused() const override;
    void FocusBackButton() override;

private:
    CLSideDxSTC* m_pPanel;
    CSidePanelPlacement m_place;
};

class CRightPanelPort : public IRightPanel {
public:
    explicit CRightPanelPort(CRSideDxUnFreeze* panel);
    void PlaceAndShow(const draw::Rect& rect) override { m_place.PlaceAndShow(rect); }
    void Show(bool show) override { m_place.Show(show); }
    bool IsShown() const override { return m_place.IsShown(); }
    int AnchorRight(int controlId) const override { return m_place.AnchorRight(controlId); }

    int GetSliderPos(int sliderId) const override;
    void SetSliderPos(int sliderId, int position) override;
    int GetSliderMin(int sliderId) const override;
    int GetSliderMax(int sliderId) const override;
    void SetSliderRange(int sliderId, int minimum, int maximum, bool redraw) override;
    bool IsSliderReversed(int sliderId) const override;
    void SetValueText(int sliderId, const std::string& text) override;
    bool RedrawSliderValues(const void* slider) override;
    void SetFreqButtonCaption(int id, const std::string& caption) override;
    void EnableFreqButton(int id, bool enable) override;
    void ShowFreqButton(int id, bool show) override;
    void SetFreqButtonState(int id, int state) override;
    void RedrawFreqButtons() override;

    void MoveTo(draw::Point topLeft) override;

private:
    CRSideDxUnFreeze* m_pPanel;
    CSidePanelPlacement m_place;
};
