#include "app/ColorLabel.h"

#include <algorithm>

#include "platform/draw/Painter.h"
#include "platform/draw/Raster.h"

CColorLabel::CColorLabel(wxWindow* parent, int id, const std::string& text, const wxPoint& pos,
                         const wxSize& size, unsigned format)
    : CDrawnControl(parent, id, pos, size), m_strText(text), m_nFormat(format) {}

void CColorLabel::SetText(const std::string& text) {
    if (text == m_strText)
        return;
    m_strText = text;
    Refresh(false);
}

void CColorLabel::SetFont(const draw::Font& font) {
    m_font = font;
    Refresh(false);
}

void CColorLabel::SetColourSource(std::function<LabelColours()> source) {
    m_colourSource = std::move(source);
    Refresh(false);
}

LabelColours CColorLabel::Colours() const {
    if (m_colourSource)
        return m_colourSource();
    const uint32_t back = BackgroundPixel();
    return {Colorref::FromRgb(255, 255, 255), Colorref::FromRgb(PixelR(back), PixelG(back), PixelB(back))};
}

draw::Rect CColorLabel::TextRect() const {
    const wxSize size = GetClientSize();
    return {1, 0, std::max(size.x - 1, 1), size.y};
}

void CColorLabel::RenderInto(Image32& image) const {
    const LabelColours c = Colours();
    draw::FillRect(image, {0, 0, image.width(), image.height()}, c.back.ToPixel());
    draw::DrawText(image, TextRect(), m_strText, m_font, c.text.ToPixel(), m_nFormat);
}
