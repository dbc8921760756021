#include "app/FingerView.h"

#include <wx/dcclient.h>
#include <algorithm>

#include "app/DialogFrame.h"
#include "app/MainViewWindow.h"
#include "app/PictureWindow.h"
#include "app/WxImage.h"
#include "platform/draw/Blit.h"

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

void CFingerView::AddSource(CMainViewWindow* view) {
    m_composer.AddSource({[view] {
                              if (!view->IsShownOnScreen())
                                  return draw::Rect{};
                              const wxRect r = view->GetScreenRect();
                              return draw::Rect{r.x, r.y, r.x + r.width, r.y + r.height};
                          },
                          [view](int, int) { return view->Render(); }});
}

Image32 CFingerView::Render() {
    m_rcWindow = GetScreenRect();
    const int w = m_rcWindow.width;
    const int h = m_rcWindow.height;
    Image32 image(std::max(w, 0), std::max(h, 0), m_crBack);
    if (image.empty())
        return image;
    if (m_ptLoupe != wxPoint(-1, -1)) {
        // The screen area of the window's size around the point, copied into the client
        // area inside the frame, which keeps as much of it as fits.
        const int left = m_ptLoupe.x - w / 2;
        const int top = m_ptLoupe.y - h / 2;
        const int f = kDialogFrameWidth;
        const Image32 area = m_composer.Compose({left, top, left + w - 2 * f, top + h - 2 * f}, m_crBack);
        draw::CopyRect(area, {0, 0, area.width(), area.height()}, image, {f, f});
    }
    DrawDialogFrame(image);
    return image;
}

void CFingerView::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const Image32 image = Render();
    if (!image.empty())
        dc.DrawBitmap(wxBitmap(ToWxImage(image)), 0, 0);
}
