// A text label whose colours are asked for each time it paints, so that an owner can
// light up the label of the measurement under way without keeping colours in step.
#pragma once

#include <functional>
#include <string>

#include "app/DrawnControl.h"
#include "platform/draw/Painter.h"

struct LabelColours {
    Colorref text;
    Colorref back;
};

class CColorLabel : public CDrawnControl {
public:
    CColorLabel(wxWindow* parent, int id, const std::string& text, const wxPoint& pos, const wxSize& size,
                unsigned format);

    void SetText(const std::string& text);
    std::string GetText() const { return m_strText; }
    void SetFont(const draw::Font& font);
    const draw::Font& GetFont() const { return m_font; }
    unsigned GetFormat() const { return m_nFormat; }
    // The colours the label paints with now.
    LabelColours Colours() const;
    // Where the text goes: the label less a pixel at each side, so that no glyph touches
    // the edge of a label that ends at a column.
    draw::Rect TextRect() const;
    // Asked at every paint; without one the label paints white on its parent's background.
    void SetColourSource(std::function<LabelColours()> source);

    bool AcceptsFocus() const override { return false; }

protected:
    void RenderInto(Image32& image) const override;

private:
    std::string m_strText;
    draw::Font m_font = draw::FontFor(draw::FontRole::PanelText);
    unsigned m_nFormat;
    std::function<LabelColours()> m_colourSource;
};
