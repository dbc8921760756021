#include "app/MainViewWindow.h"

#include <wx/dcclient.h>
#include <wx/rawbmp.h>

#include "app/WxImage.h"
#include "app/core/CstmPictureCtrl.h"

CMainViewWindow::CMainViewWindow(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size)
    : wxWindow(parent, id, pos, size, wxBORDER_NONE | wxWANTS_CHARS) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CMainViewWindow::OnPaint, this);
    Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent&) {
        if (onDoubleClick)
            onDoubleClick(GetId());
    });
}

Image32 CMainViewWindow::Render() const {
    const wxSize s = GetClientSize();
    if (!m_pModel || s.x <= 0 || s.y <= 0)
        return {};
    return m_pModel->RenderClient(s.x, s.y);
}

void CMainViewWindow::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize s = GetClientSize();
    if (!m_pModel || s.x <= 0 || s.y <= 0) {
        dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
        dc.Clear();
        return;
    }
    // The buffer itself at 1:1; only a scaled or magnified view is rendered into the scratch.
    const Image32& image = m_pModel->ClientImage(s.x, s.y, m_scratch);
    // One bitmap kept at the client's size and written in place: no image conversion per frame.
    if (!m_bitmap.IsOk() || m_bitmap.GetWidth() != image.width() || m_bitmap.GetHeight() != image.height())
        m_bitmap.Create(image.width(), image.height(), 24);
    wxNativePixelData data(m_bitmap);
    if (!data) {
        dc.DrawBitmap(wxBitmap(ToWxImage(image)), 0, 0);
        return;
    }
    wxNativePixelData::Iterator row(data);
    const uint32_t* src = image.data();
    for (int y = 0; y < image.height(); ++y) {
        wxNativePixelData::Iterator p = row;
        for (int x = 0; x < image.width(); ++x, ++p, ++src) {
            p.Red() = PixelR(*src);
            p.Green() = PixelG(*src);
            p.Blue() = PixelB(*src);
        }
        row.OffsetY(data, 1);
    }
    dc.DrawBitmap(m_bitmap, 0, 0);
}
