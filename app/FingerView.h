// The finger loupe: a small caption-less popup with a raised dialog frame that shows,
// unscaled, the pixels around the point a finger is placing, composed from our own views'
// renders. It never takes focus.
#pragma once

#include <wx/popupwin.h>

#include "app/LoupeComposer.h"

class CPictureWindow;
class CMainViewWindow;

class CFingerView : public wxPopupWindow {
public:
    // 73 x 65 dialog units.
    static constexpr int kWidth = 110;
    static constexpr int kHeight = 98;

    explicit CFingerView(wxWindow* parent);

    // Shows the views' pixels; anything else in the loupe is `m_crBack`.
    void AddSource(CPictureWindow* view);
    void AddSource(CMainViewWindow* view);
    LoupeComposer& Composer() { return m_composer; }

    // What the loupe shows now: the frame around the pixels, or around nothing but the
    // background for (-1, -1).
    Image32 Render();

    wxPoint m_ptLoupe{-1, -1};  // screen point to show, (-1, -1) for none
    wxRect m_rcWindow;          // the loupe's own screen rectangle, read at each paint
    uint32_t m_crBack = MakePixel(0, 0, 14);

    bool AcceptsFocus() const override { return false; }

private:
    void OnPaint(wxPaintEvent& event);
    LoupeComposer m_composer;
};
