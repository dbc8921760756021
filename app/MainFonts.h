// The main window's nine fonts, in member order. The point sizes are those of the original
// window; here they become fixed pixel sizes at 96 dots per inch (points x 4 / 3) in the
// one Latin UI face, so the layout does not follow the desktop's font scaling.
#pragma once

#include "platform/draw/Fonts.h"

struct MainDialogFonts {
    draw::Font m_font22B;
    draw::Font m_font18B;
    draw::Font m_font18;
    draw::Font m_font14B;
    draw::Font m_font14;
    draw::Font m_font13B;
    draw::Font m_font12;
    draw::Font m_font8;
    draw::Font m_font10;
};

// The font of a point size in tenths (120 = 12 point) as a pixel size at 96 dpi.
draw::Font MakeUiFont(int tenthsOfPoint, bool bold);
MainDialogFonts CreateFonts();
