#include "app/CstmButton.h"

#include <wx/settings.h>

#include <cstdlib>

CCstmButton::CCstmButton(wxWindow* parent, int id, const std::string& caption, const wxPoint& pos,
                         const wxSize& size)
    : CDrawnControl(parent, id, pos, size) {
    SetLabel(wxString::FromUTF8(caption));
    Bind(wxEVT_LEFT_DOWN, &CCstmButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CCstmButton::OnDoubleClick, this);
    Bind(wxEVT_LEFT_UP, &CCstmButton::OnLeftUp, this);
    Bind(wxEVT_MOTION, &CCstmButton::OnMotion, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CCstmButton::OnCaptureLost, this);
    Bind(wxEVT_KEY_DOWN, &CCstmButton::OnKeyDown, this);
    Bind(wxEVT_KEY_UP, &CCstmButton::OnKeyUp, this);
}

void CCstmButton::SetCaption(const std::string& caption) {
    SetLabel(wxString::FromUTF8(caption));
    Refresh(false);
}

std::string CCstmButton::GetCaption() const {
    return GetLabel().utf8_string();
}

void CCstmButton::EnableButton(bool enable) {
    m_nEnabled = enable ? 1 : 0;
    Enable(enable);
    Refresh(false);
}

bool CCstmButton::HasFocusNow() const {
    return wxWindow::FindFocus() == this;
}

void CCstmButton::Click() {
    wxCommandEvent click(wxEVT_BUTTON, GetId());
    click.SetEventObject(this);
    ProcessWindowEvent(click);
}

ButtonColours CCstmButton::PickColours() const {
    return PickButtonColours(m_palette, m_nKind, m_nState, m_nEnabled == 1, m_bPressed, HasFocusNow());
}

ButtonContent CCstmButton::Content() const {
    ButtonContent c;
    c.shape = m_nShape;
    c.caption = GetCaption();
    c.subText1 = m_strSubText1;
    c.subText2 = m_strSubText2;
    c.multiLine = m_nMultiLine != 0;
    c.enabled = m_nEnabled == 1;
    c.captionFont = m_font;
    c.subTextColour = m_palette.subText;
    return c;
}

void CCstmButton::RenderInto(Image32& image) const {
    PaintButton(image, {0, 0, image.width(), image.height()}, BackgroundPixel(), PickColours(), Content());
}

void CCstmButton::SetPressed(bool pressed) {
    if (pressed == m_bPressed)
        return;
    m_bPressed = pressed;
    Refresh(false);
}

bool CCstmButton::CompletesDoubleClick(const wxMouseEvent& event) const {
    if (!m_bFirstPressKnown)
        return false;
    // The display's double-click time and distance (a box centred on the first press).
    const int ms = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC, this);
    const int dx = wxSystemSettings::GetMetric(wxSYS_DCLICK_X, this);
    const int dy = wxSystemSettings::GetMetric(wxSYS_DCLICK_Y, this);
    const long long elapsed = static_cast<long long>(event.GetTimestamp()) - m_lFirstPressTime;
    const wxPoint d = event.GetPosition() - m_ptFirstPress;
    return elapsed >= 0 && elapsed <= (ms > 0 ? ms : 500) && std::abs(d.x) <= (dx > 0 ? dx : 4) / 2 &&
           std::abs(d.y) <= (dy > 0 ? dy : 4) / 2;
}

void CCstmButton::OnDoubleClick(wxMouseEvent&) {
    // The second press of a double click: no click, and the next press begins a new one.
    m_bFirstPressKnown = false;
}

void CCstmButton::OnLeftDown(wxMouseEvent& event) {
    if (!IsEnabled())
        return;
    // The display may also deliver the second press of a double click as a plain press.
    if (CompletesDoubleClick(event)) {
        m_bFirstPressKnown = false;
        return;
    }
    m_bFirstPressKnown = true;
    m_lFirstPressTime = event.GetTimestamp();
    m_ptFirstPress = event.GetPosition();
    SetFocus();
    if (!HasCapture())
        CaptureMouse();
    m_bTracking = true;
    SetPressed(true);
}

void CCstmButton::OnMotion(wxMouseEvent& event) {
    if (m_bTracking)
        SetPressed(GetClientRect().Contains(event.GetPosition()));
}

void CCstmButton::OnLeftUp(wxMouseEvent& event) {
    if (!m_bTracking)
        return;
    m_bTracking = false;
    if (HasCapture())
        ReleaseMouse();
    const bool inside = GetClientRect().Contains(event.GetPosition());
    SetPressed(false);
    if (inside)
        Click();
}

void CCstmButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
    m_bTracking = false;
    SetPressed(false);
}

void CCstmButton::OnKeyDown(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_SPACE && IsEnabled()) {
        SetPressed(true);
        return;
    }
    event.Skip();
}

void CCstmButton::OnKeyUp(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_SPACE && m_bPressed) {
        SetPressed(false);
        Click();
        return;
    }
    event.Skip();
}

ButtonColours CCstmCheckBox::PickColours() const {
    return PickCheckBoxColours(m_palette, m_bChecked, IsPressed(), HasFocusNow());
}
