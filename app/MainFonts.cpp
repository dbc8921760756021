#include "app/MainFonts.h"

draw::Font MakeUiFont(int tenthsOfPoint, bool bold) {
    return draw::Font{draw::kUiFace, tenthsOfPoint / 10.0 * 4.0 / 3.0, bold};
}

MainDialogFonts CreateFonts() {
    MainDialogFonts f;
    f.m_font22B = MakeUiFont(220, true);
    f.m_font18B = MakeUiFont(180, true);
    f.m_font18 = MakeUiFont(180, false);
    f.m_font14B = MakeUiFont(140, true);
    f.m_font14 = MakeUiFont(140, false);
    f.m_font13B = MakeUiFont(130, true);
    f.m_font12 = MakeUiFont(120, false);
    f.m_font8 = MakeUiFont(80, false);
    f.m_font10 = MakeUiFont(100, false);
    return f;
}
