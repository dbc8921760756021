#include "app/FingerView.h"

#include <wx/dcclient.h>

#include "app/PictureWindow.h"
#include "app/WxImage.h"

CFingerView::CFingerView(wxWindow* parent) : wxPopupWindow(parent, wxBORDER_NONE) {
    SetSize(kWidth, kHeight);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CFingerView::OnPaint, this);
}

void CFingerView::AddSource(CPictureWindow* view) {
    m_composer.AddSource({[view] {
                              const wxRect r = view->GetScreenRect();
                              return draw::Rect{r.x, r.y, r.x + r.width, r.y + r.height};
                          },
                          [view](int, int) { return view->Render(); }});
}

Image32 CFingerView::Render() {
    m_rcWindow = GetScreenRect();
    const int w = m_rcWindow.width;
    const int h = m_rcWindow.height;
    if (m_ptLoupe == wxPoint(-1, -1))
        return Image32(w, h, m_crBack);
    const int left = m_ptLoupe.x - w / 2;
    const int top = m_ptLoupe.y - h / 2;
    return m_composer.Compose({left, top, left + w, top + h}, m_crBack);
}

void CFingerView::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const Image32 image = Render();
    if (!image.empty())
        dc.DrawBitmap(wxBitmap(ToWxImage(image)), 0, 0);
}
