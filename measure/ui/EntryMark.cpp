#include "measure/ui/EntryMark.h"

#include "platform/draw/Painter.h"

CEntryMark::CEntryMark(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size)
    : CDrawnControl(parent, id, pos, size) {
    SetCursor(wxCursor(wxCURSOR_HAND));
    Bind(wxEVT_LEFT_UP, &CEntryMark::OnLeftUp, this);
}

void CEntryMark::RenderInto(Image32& image) const {
    image.Fill(BackgroundPixel());
    const int w = image.width();
    const int h = image.height();
    const draw::Point tri[3] = {{1, h / 4}, {w - 1, h / 4}, {w / 2, h - h / 4}};
    draw::Painter painter(image);
    painter.FillPolygon(tri, 3, m_crMark);
}

void CEntryMark::OnLeftUp(wxMouseEvent& event) {
    const wxSize size = GetClientSize();
    if (event.GetX() >= 0 && event.GetY() >= 0 && event.GetX() < size.x && event.GetY() < size.y) {
        wxCommandEvent click(wxEVT_BUTTON, GetId());
        click.SetEventObject(this);
        ProcessWindowEvent(click);
    }
    event.Skip();
}
