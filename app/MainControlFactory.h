// Creates the main window's 49 controls from the pixel table, with the fonts and colours of
// the main dialog's initialisation, and registers each with the controls port.
#pragma once

#include "app/MainFonts.h"
#include "platform/Image.h"

class wxWindow;
class CMainControlsWx;
class CMainViewWindow;

struct MainColours {
    Colorref text = Colorref::FromRgb(255, 255, 255);
    Colorref back = Colorref::FromRgb(0, 0, 14);
    Colorref accent = Colorref::FromRgb(192, 160, 31);   // gold
    Colorref accent2 = Colorref::FromRgb(31, 117, 192);  // blue
};

struct MainViewWindows {
    CMainViewWindow* main = nullptr;
    CMainViewWindow* left = nullptr;
    CMainViewWindow* right = nullptr;
};

MainViewWindows CreateMainControls(wxWindow* parent, CMainControlsWx& controls, const MainDialogFonts& fonts);
// The settings colours on every control (statics, buttons, list).
void ApplyMainColours(CMainControlsWx& controls, const MainColours& colours);
