#include "app/PanelPorts.h"

#include "app/LSideDxSTC.h"
#include "app/LSideDxUnFreeze.h"
#include "app/RSideDxUnFreeze.h"

void CSidePanelPlacement::PlaceAndShow(const draw::Rect& rect) {
    m_pPanel->SetSize(rect.left, rect.top, rect.Width(), rect.Height());
    m_pPanel->Show(true);
    m_pPanel->Raise();
}

void CSidePanelPlacement::Show(bool show) {
    m_pPanel->Show(show);
    if (show)
        m_pPanel->Raise();
}

bool CSidePanelPlacement::IsShown() const {
    return m_pPanel->IsShown();
}

int CSidePanelPlacement::AnchorRight(int controlId) const {
    const wxWindow* control = m_pPanel->FindWindow(controlId);
    if (!control || control == m_pPanel)
        return -1;
    return m_pPanel->GetPosition().x + control->GetRect().GetRight() + 1;
}

// ---- live panel

CLivePanelPort::CLivePanelPort(CLSideDxUnFreeze* panel) : m_pPanel(panel), m_place(panel) {}

void CLivePanelPort::EnableButton(int id, bool enable) {
    m_pPanel->EnableButton(id, enable);
    if (CCstmButton* b = m_pPanel->GetButton(id))
        b->Refresh(false);
}

bool CLivePanelPort::IsButtonEnabled(int id) const {
    CCstmButton* b = m_pPanel->GetButton(id);
    return b && b->m_nEnabled != 0;
}

void CLivePanelPort::SetButtonState(int id, int state) {
    if (CCstmButton* b = m_pPanel->GetButton(id); b && b->m_nState != state) {
        b->m_nState = state;
        b->Refresh(false);
    }
}

void CLivePanelPort::SetButtonKind(int id, int kind) {
    if (CCstmButton* b = m_pPanel->GetButton(id); b && b->m_nKind != kind) {
        b->m_nKind = kind;
        b->Refresh(false);
    }
}

void CLivePanelPort::SetRecButtonText(const std::string& text) {
    m_pPanel->SetRecButtonText(text);
}

void CLivePanelPort::SetButtonText(int id, const std::string& text) {
    m_pPanel->SetButtonText(id, text);
}

void CLivePanelPort::SetButtonSubText2(int id, const std::string& text) {
    if (CCstmButton* b = m_pPanel->GetButton(id); b && b->m_strSubText2 != text) {
        b->SetSubText2(text);
        b->Refresh(false);
    }
}

void CLivePanelPort::SetFreezeChecked(bool checked) {
    m_pPanel->m_btnFreeze->m_bChecked = checked;
    m_pPanel->m_btnFreeze->Refresh(false);
    m_pPanel->m_btnFreeze->Update();
}

bool CLivePanelPort::IsFreezeChecked() const {
    return m_pPanel->m_btnFreeze->m_bChecked;
}

void CLivePanelPort::SetGamma(double gamma) {
    m_pPanel->SetGamma(gamma);
}

void CLivePanelPort::SetRecTimeText(const std::string& text) {
    m_pPanel->m_lblRecTime->SetText(text);
    m_pPanel->m_lblRecTime->Update();
}

bool CLivePanelPort::IsButtonFocused() const {
    return m_pPanel->IsButtonFocused();
}

void CLivePanelPort::FocusButton(int id) {
    wxWindow* b = id == CLSideDxUnFreeze::IDC_FREEZE ? m_pPanel->m_btnFreeze : m_pPanel->GetButton(id);
    if (b && b->IsShownOnScreen())
        b->SetFocus();
}

// ---- STC panel

CStcPanelPort::CStcPanelPort(CLSideDxSTC* panel) : m_pPanel(panel), m_place(panel) {}

void CStcPanelPort::SetSliderRange(int minimum, int maximum) {
    m_pPanel->SetSliderRange(minimum, maximum);
}

int CStcPanelPort::GetSliderPos(int index) const {
    CCstmSliderCtrl* s = m_pPanel->GetSlider(index);
    return s ? s->GetPos() : 0;
}

void CStcPanelPort::SetSliderPos(int index, int position) {
    if (CCstmSliderCtrl* s = m_pPanel->GetSlider(index))
        s->SetPos(position);
}

void CStcPanelPort::UpdateValueLabel(int index) {
    m_pPanel->UpdateValueLabel(index);
}

void CStcPanelPort::SetShowValues(bool show) {
    m_pPanel->SetShowValues(show);
}

void CStcPanelPort::SetAutoButton(const std::string& caption, int state) {
    m_pPanel->m_btnAuto->SetCaption(caption);
    m_pPanel->m_btnAuto->m_nState = state;
    m_pPanel->m_btnAuto->Refresh(true);
}

void CStcPanelPort::EnableBackButton(bool enable) {
    m_pPanel->m_btnBack->EnableButton(enable);
    m_pPanel->m_btnBack->Refresh(false);
}

bool CStcPanelPort::IsButtonFocused() const {
    return m_pPanel->IsButtonFocused();
}

void CStcPanelPort::FocusBackButton() {
    if (m_pPanel->m_btnBack->IsShownOnScreen())
        m_pPanel->m_btnBack->SetFocus();
}

// ---- right panel

CRightPanelPort::CRightPanelPort(CRSideDxUnFreeze* panel) : m_pPanel(panel), m_place(panel) {}

int CRightPanelPort::GetSliderPos(int sliderId) const {
    const CCstmSliderCtrl* s = m_pPanel->GetSlider(sliderId);
    return s ? s->GetPos() : 0;
}

void CRightPanelPort::SetSliderPos(int sliderId, int position) {
    if (CCstmSliderCtrl* s = m_pPanel->GetSlider(sliderId))
        s->SetPos(position);
}

int CRightPanelPort::GetSliderMin(int sliderId) const {
    const CCstmSliderCtrl* s = m_pPanel->GetSlider(sliderId);
    return s ? s->GetRangeMin() : 0;
}

int CRightPanelPort::GetSliderMax(int sliderId) const {
    const CCstmSliderCtrl* s = m_pPanel->GetSlider(sliderId);
    return s ? s->GetRangeMax() : 0;
}

void CRightPanelPort::SetSliderRange(int sliderId, int minimum, int maximum, bool redraw) {
    if (CCstmSliderCtrl* s = m_pPanel->GetSlider(sliderId))
        s->SetRange(minimum, maximum, redraw);
}

bool CRightPanelPort::IsSliderReversed(int sliderId) const {
    return sliderId == CRSideDxUnFreeze::IDC_SLIDER_GAIN || sliderId == CRSideDxUnFreeze::IDC_SLIDER_CONTRAST;
}

void CRightPanelPort::SetValueText(int sliderId, const std::string& text) {
    static constexpr std::pair<int, int> kValueOf[] = {
        {CRSideDxUnFreeze::IDC_SLIDER_DEPTH, CRSideDxUnFreeze::IDC_VALUE_DEPTH},
        {CRSideDxUnFreeze::IDC_SLIDER_GAIN, CRSideDxUnFreeze::IDC_VALUE_GAIN},
        {CRSideDxUnFreeze::IDC_SLIDER_CONTRAST, CRSideDxUnFreeze::IDC_VALUE_CONTRAST},
        {CRSideDxUnFreeze::IDC_SLIDER_GAMMA, CRSideDxUnFreeze::IDC_VALUE_GAMMA},
    };
    for (const auto& [slider, value] : kValueOf) {
        if (slider == sliderId) {
            if (CColorLabel* label = m_pPanel->GetLabel(value))
                label->SetText(text);
        }
    }
}

bool CRightPanelPort::RedrawSliderValues(const void* slider) {
    return m_pPanel->RedrawSliderValues(static_cast<const wxWindow*>(slider));
}

void CRightPanelPort::SetFreqButtonCaption(int id, const std::string& caption) {
    if (CCstmButton* b = m_pPanel->GetFreqButton(id))
        b->SetCaption(caption);
}

void CRightPanelPort::EnableFreqButton(int id, bool enable) {
    if (CCstmButton* b = m_pPanel->GetFreqButton(id)) {
        b->EnableButton(enable);
        b->Refresh(false);
    }
}

void CRightPanelPort::ShowFreqButton(int id, bool show) {
    if (CCstmButton* b = m_pPanel->GetFreqButton(id))
        b->Show(show);
}

void CRightPanelPort::SetFreqButtonState(int id, int state) {
    if (CCstmButton* b = m_pPanel->GetFreqButton(id))
        b->m_nState = state;
}

void CRightPanelPort::RedrawFreqButtons() {
    for (CCstmButton* b : m_pPanel->m_btnFreq)
        b->Refresh(false);
}

void CLivePanelPort::SetGradationRect(const draw::Rect& rect) {
    m_pPanel->SetGradationRect(wxRect(rect.left, rect.top, rect.Width(), rect.Height()));
}

void CRightPanelPort::MoveTo(draw::Point topLeft) {
    m_pPanel->Move(topLeft.x, topLeft.y);
}
