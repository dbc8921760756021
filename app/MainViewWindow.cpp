#include "app/MainViewWindow.h"

#include <wx/dcclient.h>

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
    const Image32 image = Render();
    if (image.empty()) {
        dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
        dc.Clear();
        return;
    }
    dc.DrawBitmap(wxBitmap(ToWxImage(image)), 0, 0);
}
