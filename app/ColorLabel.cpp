#include "app/ColorLabel.h"

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

void CColorLabel::RenderInto(Image32& image) const {
    const uint32_t back = BackgroundPixel();
    LabelColours c{Colorref::FromRgb(255, 255, 255),
                   Colorref::FromRgb(PixelR(back), PixelG(back), PixelB(back))};
    if (m_colourSource)
        c = m_colourSource();
    draw::FillRect(image, {0, 0, image.width(), image.height()}, c.back.ToPixel());
    draw::DrawText(image, {0, 0, image.width(), image.height()}, m_strText, m_font, c.text.ToPixel(),
                   m_nFormat);
}
