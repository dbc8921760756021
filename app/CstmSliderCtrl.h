// The control kit's trackbar: a drawn slider with the keyboard, mouse, wheel and scroll-code
// behaviour of a Windows trackbar. Every move sends EVT_CSTM_SLIDER_SCROLL to the parent
// (GetInt() the scroll code, GetExtraLong() the position), and every focus change is
// published on the event hub as EventKindSliderFocus with the slider itself.
#pragma once

#include <wx/timer.h>

#include "app/DrawnControl.h"
#include "app/SliderAxis.h"

wxDECLARE_EVENT(EVT_CSTM_SLIDER_SCROLL, wxCommandEvent);

// The trackbar scroll request codes.
enum TrackbarCode : int {
    TB_LINEUP = 0,
    TB_LINEDOWN = 1,
    TB_PAGEUP = 2,
    TB_PAGEDOWN = 3,
    TB_THUMBPOSITION = 4,
    TB_THUMBTRACK = 5,
    TB_TOP = 6,
    TB_BOTTOM = 7,
    TB_ENDTRACK = 8,
};

class CCstmSliderCtrl : public CDrawnControl {
public:
    CCstmSliderCtrl(wxWindow* parent, int id, bool vertical, const wxPoint& pos, const wxSize& size);

    void SetRange(int minimum, int maximum, bool redraw = false);
    int GetRangeMin() const { return m_nMin; }
    int GetRangeMax() const { return m_nMax; }
    void SetPos(int pos);  // clamped; sends nothing
    int GetPos() const { return m_nPos; }
    void SetPageSize(int size) { m_nPageSize = size; }
    int GetPageSize() const { return m_nPageSize; }
    void SetLineSize(int size) { m_nLineSize = size; }
    void SetTicFreq(int freq);
    bool IsVertical() const { return m_bVertical; }

    // The thumb's rectangle in client pixels.
    wxRect ThumbRect() const;

    bool m_bFocused = false;
    Colorref m_crThumb = Colorref::FromRgb(0, 50, 94);
    Colorref m_crThumbFocused = Colorref::FromRgb(192, 160, 31);
    Colorref m_crThumbPressed = Colorref::FromRgb(192, 160, 31);
    Colorref m_crBack = Colorref::FromRgb(0, 0, 14);

protected:
    void RenderInto(Image32& image) const override;

private:
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnWheel(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnPageTimer(wxTimerEvent& event);

    // Moves by `delta` (clamped) and sends `code`; the position goes with thumb codes only.
    void Step(int code, int newPos);
    void Send(int code);
    int Span() const;       // pixels the thumb's centre can travel
    int AxisStart() const;  // first pixel of that travel
    SliderAxis Axis() const;
    int PosFromPixel(int pixel) const;
    int PixelFromPos(int pos) const;
    int Along(const wxPoint& p) const { return m_bVertical ? p.y : p.x; }
    void PageTowardClick();

    bool m_bVertical;
    int m_nMin = 0;
    int m_nMax = 100;
    int m_nPos = 0;
    int m_nLineSize = 1;
    int m_nPageSize = 20;
    int m_nTicFreq = 1;
    bool m_bDragging = false;
    bool m_bPaging = false;
    bool m_bHot = false;
    int m_nDragOffset = 0;
    int m_nPageTarget = 0;  // pixel the paging moves toward
    int m_nWheelRest = 0;   // wheel rotation short of a whole step
    wxTimer m_pageTimer;
};
