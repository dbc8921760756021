#include "app/PictureWindow.h"

#include <wx/dcclient.h>

#include "app/WxImage.h"

CPictureWindow::CPictureWindow(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size)
    : wxWindow(parent, id, pos, size, wxBORDER_NONE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CPictureWindow::OnPaint, this);
}

Image32 CPictureWindow::Render() const {
    const wxSize s = GetClientSize();
    return m_view.RenderClient(std::max(s.x, 0), std::max(s.y, 0));
}

void CPictureWindow::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize s = GetClientSize();
    const Image32& image = m_view.ClientImage(std::max(s.x, 0), std::max(s.y, 0), m_scratch);
    if (!image.empty())
        dc.DrawBitmap(wxBitmap(ToWxImage(image)), 0, 0);
}
