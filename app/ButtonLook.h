// How the control kit's push and check buttons look: the colour choice by kind, state,
// enabled, pressed and focus, and the painting of face, border, caption and sub-captions
// into an image. No window code, so every look can be checked pixel by pixel.
#pragma once

#include <string>

#include "platform/Image.h"
#include "platform/draw/Fonts.h"
#include "platform/draw/Geometry.h"

constexpr Colorref Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return Colorref::FromRgb(r, g, b);
}

// The colours a button is drawn with; owners may change any of them.
struct ButtonPalette {
    Colorref faceNormal = Rgb(0, 0, 14);
    Colorref faceHighlighted = Rgb(0, 50, 94);
    Colorref faceChecked = Rgb(192, 31, 31);
    Colorref faceUnchecked = Rgb(192, 160, 31);
    Colorref faceGrey = Rgb(59, 59, 59);
    Colorref faceRed = Rgb(192, 31, 31);
    Colorref faceBlue = Rgb(31, 116, 192);
    Colorref borderNormal = Rgb(255, 255, 255);
    Colorref borderHighlighted = Rgb(0, 255, 0);
    Colorref borderWarning = Rgb(255, 0, 0);
    Colorref textLight = Rgb(255, 255, 255);
    Colorref spare1 = Rgb(192, 192, 192);  // kept with the palette, never drawn
    Colorref spare2 = Rgb(0, 0, 0);
    Colorref disabled = Rgb(128, 128, 128);
    Colorref subText = Rgb(255, 255, 255);
    int focusBorder = -1;  // a COLORREF value, or -1 for none
    Colorref textNormal = Rgb(31, 116, 192);
    Colorref textHighlighted = Rgb(255, 255, 255);
};

enum ButtonShape : int { ButtonShapeCentred = 0, ButtonShapeLeftCaption = 1, ButtonShapeCircle = 2 };
enum ButtonState : int { ButtonStateNormal = 5, ButtonStateHighlighted = 6, ButtonStateWarning = 7 };

inline constexpr Colorref kDisabledText = Rgb(169, 169, 169);

// The blue of captions under 18 point on the navy face. The palette's RGB(31, 116, 192)
// reaches only 4.3:1 there, below the 4.5:1 that small text needs to stay legible; this is
// the nearest shade that reaches it (4.5:1). 18 point captions keep the palette's blue.
inline constexpr Colorref kSmallTextNormal = Rgb(31, 121, 192);

// The contrast ratio of two colours, 1 to 21, from their relative luminance (sRGB).
double ContrastRatio(Colorref a, Colorref b);

struct ButtonColours {
    Colorref face;
    Colorref border;
    Colorref text;
    friend bool operator==(const ButtonColours&, const ButtonColours&) = default;
};

ButtonColours PickButtonColours(const ButtonPalette& p, int kind, int state, bool enabled, bool pressed,
                                bool focused);
ButtonColours PickCheckBoxColours(const ButtonPalette& p, bool checked, bool pressed, bool focused);

struct ButtonContent {
    int shape = ButtonShapeCentred;
    std::string caption;
    std::string subText1;
    std::string subText2;
    bool multiLine = false;
    bool enabled = true;
    draw::Font captionFont = draw::FontFor(draw::FontRole::ButtonCaption);
    Colorref subTextColour = Rgb(255, 255, 255);
};

// Where the caption is drawn inside `item`: the whole button but its border, shortened at
// the bottom when exactly one sub-caption shares a centred caption's space.
draw::Rect ButtonCaptionRect(const draw::Rect& item, const ButtonContent& content);
// Where a centred button's sub-captions go: the first at the bottom, the second at the top.
draw::Rect ButtonSubCaptionRect(const draw::Rect& item, const ButtonContent& content);

// Paints the button over `item` (the whole control); `background` shows outside the shape.
void PaintButton(Image32& image, const draw::Rect& item, uint32_t background, const ButtonColours& colours,
                 const ButtonContent& content);
