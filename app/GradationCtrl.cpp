#include "app/GradationCtrl.h"

#include <algorithm>

#include "platform/draw/Raster.h"

CGradationCtrl::CGradationCtrl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size)
    : CDrawnControl(parent, id, pos, size) {
    for (int i = 0; i < 256; ++i)
        m_anTable[static_cast<size_t>(i)] = i;
}

int CGradationCtrl::EntryForRow(int y, int height) {
    const double step = 255.0 / height;
    return std::clamp(-static_cast<int>(y * step + 0.5 - 255), 0, 255);
}

void CGradationCtrl::RenderInto(Image32& image) const {
    for (int y = 0; y < image.height(); ++y) {
        const int g = m_anTable[static_cast<size_t>(EntryForRow(y, image.height()))] & 0xFF;
        draw::FillRect(image, {0, y, image.width(), y + 1}, GreyPixel(static_cast<uint8_t>(g)));
    }
}
