// The small clickable mark beside a date of the OB/GY panel: a drawn down-pointing triangle
// that sends wxEVT_BUTTON with its id when clicked.
#pragma once

#include "app/DrawnControl.h"

class CEntryMark : public CDrawnControl {
public:
    CEntryMark(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size);
    bool AcceptsFocus() const override { return false; }
    uint32_t m_crMark = MakePixel(255, 255, 255);

protected:
    void RenderInto(Image32& image) const override;

private:
    void OnLeftUp(wxMouseEvent& event);
};
