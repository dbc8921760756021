#include "app/CstmSliderCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "common/EventHub.h"
#include "platform/draw/Raster.h"

wxDEFINE_EVENT(EVT_CSTM_SLIDER_SCROLL, wxCommandEvent);

namespace {
constexpr int kThumbLength = 10;  // along the channel
constexpr int kMargin = 2;
constexpr int kTickLength = 3;
}  // namespace

CCstmSliderCtrl::CCstmSliderCtrl(wxWindow* parent, int id, bool vertical, const wxPoint& pos,
                                 const wxSize& size)
    : CDrawnControl(parent, id, pos, size), m_bVertical(vertical), m_pageTimer(this) {
    Bind(wxEVT_KEY_DOWN, &CCstmSliderCtrl::OnKeyDown, this);
    Bind(wxEVT_KEY_UP, &CCstmSliderCtrl::OnKeyUp, this);
    Bind(wxEVT_LEFT_DOWN, &CCstmSliderCtrl::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CCstmSliderCtrl::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CCstmSliderCtrl::OnLeftUp, this);
    Bind(wxEVT_MOTION, &CCstmSliderCtrl::OnMotion, this);
    Bind(wxEVT_MOUSEWHEEL, &CCstmSliderCtrl::OnWheel, this);
    Bind(wxEVT_LEAVE_WINDOW, &CCstmSliderCtrl::OnLeave, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CCstmSliderCtrl::OnCaptureLost, this);
    Bind(wxEVT_SET_FOCUS, &CCstmSliderCtrl::OnSetFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CCstmSliderCtrl::OnKillFocus, this);
    Bind(wxEVT_TIMER, &CCstmSliderCtrl::OnPageTimer, this);
}

void CCstmSliderCtrl::SetRange(int minimum, int maximum, bool redraw) {
    m_nMin = minimum;
    m_nMax = std::max(minimum, maximum);
    m_nPos = std::clamp(m_nPos, m_nMin, m_nMax);
    if (redraw)
        Refresh(false);
}

void CCstmSliderCtrl::SetPos(int pos) {
    m_nPos = std::clamp(pos, m_nMin, m_nMax);
    Refresh(false);
}

void CCstmSliderCtrl::SetTicFreq(int freq) {
    m_nTicFreq = std::max(freq, 1);
    Refresh(false);
}

int CCstmSliderCtrl::AxisStart() const {
    return kMargin + kThumbLength / 2;
}

int CCstmSliderCtrl::Span() const {
    const wxSize s = GetClientSize();
    return std::max(1, (m_bVertical ? s.y : s.x) - 2 * AxisStart());
}

SliderAxis CCstmSliderCtrl::Axis() const {
    return {AxisStart(), Span(), m_nMin, m_nMax};
}

int CCstmSliderCtrl::PixelFromPos(int pos) const {
    return Axis().PixelOf(pos);
}

int CCstmSliderCtrl::PosFromPixel(int pixel) const {
    return Axis().ValueAt(pixel);
}

wxRect CCstmSliderCtrl::ThumbRect() const {
    const wxSize s = GetClientSize();
    const int c = PixelFromPos(m_nPos);
    if (m_bVertical)
        return {kMargin, c - kThumbLength / 2, s.x - 2 * kMargin - kTickLength - 1, kThumbLength};
    return {c - kThumbLength / 2, kMargin, kThumbLength, s.y - 2 * kMargin - kTickLength - 1};
}

void CCstmSliderCtrl::RenderInto(Image32& image) const {
    const int w = image.width();
    const int h = image.height();
    // The whole client in the background colour, then the channel, the ticks and the thumb.
    draw::FillRect(image, {0, 0, w, h}, m_crBack.ToPixel());
    const wxRect thumb = ThumbRect();
    const uint32_t groove = MakePixel(70, 78, 92);
    const uint32_t grooveLight = MakePixel(120, 130, 146);
    if (m_bVertical) {
        const int cx = thumb.x + thumb.width / 2;
        draw::DrawRectangle(image, {cx - 2, AxisStart() - 2, cx + 2, AxisStart() + Span() + 2},
                            draw::Pen{groove, 1}, MakePixel(0, 0, 0));
        draw::DrawLine(image, {cx + 1, AxisStart() - 1}, {cx + 1, AxisStart() + Span() + 1},
                       {grooveLight, 1});
    } else {
        const int cy = thumb.y + thumb.height / 2;
        draw::DrawRectangle(image, {AxisStart() - 2, cy - 2, AxisStart() + Span() + 2, cy + 2},
                            draw::Pen{groove, 1}, MakePixel(0, 0, 0));
        draw::DrawLine(image, {AxisStart() - 1, cy + 1}, {AxisStart() + Span() + 1, cy + 1},
                       {grooveLight, 1});
    }
    // Automatic ticks beside the channel, thinned so that they never touch each other.
    const uint32_t tick = MakePixel(110, 120, 136);
    for (const int p : Axis().TickPixels(m_nTicFreq)) {
        if (m_bVertical) {
            draw::DrawLine(image, {w - kMargin - kTickLength, p}, {w - kMargin, p}, {tick, 1});
        } else {
            draw::DrawLine(image, {p, h - kMargin - kTickLength}, {p, h - kMargin}, {tick, 1});
        }
    }
    // The thumb: a 1-pixel inside-frame pen, white when enabled.
    const bool enabled = IsEnabled();
    const uint32_t frame = enabled ? MakePixel(255, 255, 255) : MakePixel(128, 128, 128);
    uint32_t fill = m_crThumb.ToPixel();
    if (!enabled) {
        fill = MakePixel(128, 128, 128);
    } else if (m_bDragging) {
        fill = m_crThumbPressed.ToPixel();
    } else if (m_bFocused || m_bHot) {
        fill = m_crThumbFocused.ToPixel();
    }
    draw::DrawRectangle(image, {thumb.x, thumb.y, thumb.GetRight() + 1, thumb.GetBottom() + 1},
                        draw::Pen{frame, 1}, fill);
}

void CCstmSliderCtrl::Send(int code) {
    wxCommandEvent scroll(EVT_CSTM_SLIDER_SCROLL, GetId());
    scroll.SetEventObject(this);
    scroll.SetInt(code);
    // As with the trackbar's scroll message, only thumb codes carry the position.
    scroll.SetExtraLong(code == TB_THUMBPOSITION || code == TB_THUMBTRACK ? m_nPos : 0);
    ProcessWindowEvent(scroll);
}

void CCstmSliderCtrl::Step(int code, int newPos) {
    m_nPos = std::clamp(newPos, m_nMin, m_nMax);
    Refresh(false);
    Send(code);
}

void CCstmSliderCtrl::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_LEFT:
        case WXK_UP:
            Step(TB_LINEUP, m_nPos - m_nLineSize);
            return;
        case WXK_RIGHT:
        case WXK_DOWN:
            Step(TB_LINEDOWN, m_nPos + m_nLineSize);
            return;
        case WXK_PAGEUP:
            Step(TB_PAGEUP, m_nPos - m_nPageSize);
            return;
        case WXK_PAGEDOWN:
            Step(TB_PAGEDOWN, m_nPos + m_nPageSize);
            return;
        case WXK_HOME:
            Step(TB_TOP, m_nMin);
            return;
        case WXK_END:
            Step(TB_BOTTOM, m_nMax);
            return;
        default:
            event.Skip();
    }
}

void CCstmSliderCtrl::OnKeyUp(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_LEFT:
        case WXK_UP:
        case WXK_RIGHT:
        case WXK_DOWN:
        case WXK_PAGEUP:
        case WXK_PAGEDOWN:
        case WXK_HOME:
        case WXK_END:
            Send(TB_ENDTRACK);
            return;
        default:
            event.Skip();
    }
}

void CCstmSliderCtrl::PageTowardClick() {
    const int thumb = PixelFromPos(m_nPos);
    if (std::abs(m_nPageTarget - thumb) <= kThumbLength / 2) {
        m_pageTimer.Stop();
        return;
    }
    if (m_nPageTarget < thumb) {
        Step(TB_PAGEUP, m_nPos - m_nPageSize);
    } else {
        Step(TB_PAGEDOWN, m_nPos + m_nPageSize);
    }
}

void CCstmSliderCtrl::OnLeftDown(wxMouseEvent& event) {
    if (!IsEnabled())
        return;
    SetFocus();
    if (!HasCapture())
        CaptureMouse();
    const wxRect thumb = ThumbRect();
    if (thumb.Contains(event.GetPosition())) {
        m_bDragging = true;
        m_nDragOffset = Along(event.GetPosition()) - PixelFromPos(m_nPos);
        Refresh(false);
        return;
    }
    // A press on the channel pages toward it, and keeps paging while held.
    m_bPaging = true;
    m_nPageTarget = Along(event.GetPosition());
    PageTowardClick();
    m_pageTimer.Start(100);
}

void CCstmSliderCtrl::OnPageTimer(wxTimerEvent&) {
    if (m_bPaging)
        PageTowardClick();
}

void CCstmSliderCtrl::OnMotion(wxMouseEvent& event) {
    const bool hot = ThumbRect().Contains(event.GetPosition());
    if (hot != m_bHot) {
        m_bHot = hot;
        Refresh(false);
    }
    if (m_bDragging) {
        const int pos = PosFromPixel(Along(event.GetPosition()) - m_nDragOffset);
        if (pos != m_nPos)
            Step(TB_THUMBTRACK, pos);
    } else if (m_bPaging) {
        m_nPageTarget = Along(event.GetPosition());
    }
}

void CCstmSliderCtrl::OnWheel(wxMouseEvent& event) {
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || event.GetWheelDelta() <= 0) {
        event.Skip();
        return;
    }
    // As the trackbar does: each whole wheel step is a line step with its scroll code, up
    // (away from the user) toward the minimum; smooth wheels add up to whole steps.
    m_nWheelRest += event.GetWheelRotation();
    const int steps = m_nWheelRest / event.GetWheelDelta();
    m_nWheelRest -= steps * event.GetWheelDelta();
    for (int i = 0; i < std::abs(steps); ++i) {
        if (steps > 0) {
            Step(TB_LINEUP, m_nPos - m_nLineSize);
        } else {
            Step(TB_LINEDOWN, m_nPos + m_nLineSize);
        }
    }
}

void CCstmSliderCtrl::OnLeave(wxMouseEvent& event) {
    if (m_bHot) {
        m_bHot = false;
        Refresh(false);
    }
    event.Skip();
}

void CCstmSliderCtrl::OnLeftUp(wxMouseEvent&) {
    if (HasCapture())
        ReleaseMouse();
    m_pageTimer.Stop();
    if (m_bDragging) {
        m_bDragging = false;
        Refresh(false);
        Send(TB_THUMBPOSITION);
        Send(TB_ENDTRACK);
    } else if (m_bPaging) {
        m_bPaging = false;
        Send(TB_ENDTRACK);
    }
}

void CCstmSliderCtrl::OnCaptureLost(wxMouseCaptureLostEvent&) {
    m_pageTimer.Stop();
    const bool wasActive = m_bDragging || m_bPaging;
    m_bDragging = false;
    m_bPaging = false;
    Refresh(false);
    if (wasActive)
        Send(TB_ENDTRACK);
}

void CCstmSliderCtrl::OnSetFocus(wxFocusEvent& event) {
    event.Skip();
    m_bFocused = true;
    Refresh(false);
    CEventHub::GetInstance().Publish(EventKindSliderFocus, this);
}

void CCstmSliderCtrl::OnKillFocus(wxFocusEvent& event) {
    event.Skip();
    m_bFocused = false;
    Refresh(false);
    CEventHub::GetInstance().Publish(EventKindSliderFocus, this);
}
