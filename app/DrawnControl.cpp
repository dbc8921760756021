#include "app/DrawnControl.h"

#include <wx/dcbuffer.h>

#include "app/WxImage.h"

CDrawnControl::CDrawnControl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, long style)
    : wxControl(parent, id, pos, size, style | wxBORDER_NONE | wxWANTS_CHARS) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);  // we paint every pixel: no erase, no flicker
    Bind(wxEVT_PAINT, &CDrawnControl::OnPaint, this);
    Bind(wxEVT_SET_FOCUS, &CDrawnControl::OnFocusChange, this);
    Bind(wxEVT_KILL_FOCUS, &CDrawnControl::OnFocusChange, this);
}

uint32_t CDrawnControl::BackgroundPixel() const {
    const wxColour c = GetParent() ? GetParent()->GetBackgroundColour() : GetBackgroundColour();
    return MakePixel(c.Red(), c.Green(), c.Blue());
}

Image32 CDrawnControl::Render() const {
    const wxSize size = GetClientSize();
    Image32 image(std::max(size.x, 0), std::max(size.y, 0), BackgroundPixel());
    if (!image.empty())
        RenderInto(image);
    return image;
}

void CDrawnControl::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const Image32 image = Render();
    if (image.empty())
        return;
    dc.DrawBitmap(wxBitmap(ToWxImage(image)), 0, 0);
}

void CDrawnControl::OnFocusChange(wxFocusEvent& event) {
    Refresh(false);
    event.Skip();
}
