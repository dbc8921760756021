// The grey bar beside the live image: the gamma curve shown as a column of greys, the
// highest input level at the top.
#pragma once

#include <array>

#include "app/DrawnControl.h"

class CGradationCtrl : public CDrawnControl {
public:
    CGradationCtrl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size);

    // The grey level drawn for each of the 256 input levels; the owner fills it.
    std::array<int, 256> m_anTable{};

    // The entry drawn on row y of a bar `height` rows high.
    static int EntryForRow(int y, int height);

    // It shows no focus and takes no input: no tab stop.
    bool AcceptsFocus() const override { return false; }

protected:
    void RenderInto(Image32& image) const override;
};
