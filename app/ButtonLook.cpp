#include "app/ButtonLook.h"

#include <algorithm>
#include <cmath>

#include "platform/draw/Painter.h"
#include "platform/draw/Raster.h"

double ContrastRatio(Colorref a, Colorref b) {
    auto luminance = [](Colorref c) {
        auto linear = [](uint8_t v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.r()) + 0.7152 * linear(c.g()) + 0.0722 * linear(c.b());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ButtonColours PickButtonColours(const ButtonPalette& p, int kind, int state, bool enabled, bool pressed,
                                bool focused) {
    ButtonColours c{};
    if (!enabled)
        return {p.disabled, p.disabled, kDisabledText};  // kind, state and focus do not count
    if (pressed) {
        c = {p.faceNormal, p.borderHighlighted, p.textLight};
    } else {
        switch (kind) {
            case 8:
                c = {p.faceHighlighted, {}, p.textHighlighted};
                break;
            case 2:
                c = {p.faceGrey, {}, p.textLight};
                break;
            case 13:
                c = {p.faceRed, {}, p.textLight};
                break;
            case 14:
                c = {p.faceBlue, {}, p.textLight};
                break;
            case 15:
                c = {p.faceNormal, {}, p.textLight};
                break;
            default:  // kind 1 and every other kind
                c = {p.faceNormal, {}, p.textNormal};
                break;
        }
        if (state == ButtonStateHighlighted) {
            c = {p.faceHighlighted, p.borderHighlighted, p.textHighlighted};
        } else if (state == ButtonStateWarning) {
            c.border = p.borderWarning;
        } else {
            c.border = p.borderNormal;
        }
    }
    if (focused && p.focusBorder != -1)
        c.border = Colorref{static_cast<uint32_t>(p.focusBorder)};
    return c;
}

ButtonColours PickCheckBoxColours(const ButtonPalette& p, bool checked, bool pressed, bool focused) {
    ButtonColours c{pressed || checked ? p.faceChecked : p.faceUnchecked, p.borderNormal, p.textLight};
    if (focused && p.focusBorder != -1)
        c.border = Colorref{static_cast<uint32_t>(p.focusBorder)};
    return c;
}

draw::Rect ButtonCaptionRect(const draw::Rect& item, const ButtonContent& content) {
    draw::Rect rect = item.Inflated(-2, -2);
    if (content.shape == ButtonShapeLeftCaption) {
        rect.left = item.left + 24;
    } else if (content.subText1.empty() != content.subText2.empty()) {
        // The caption makes room on the side of its one sub-caption: the first stands at the
        // bottom, the second at the top (the STC button's "automatic"), where a caption moved
        // up would run over it.
        if (content.subText2.empty())
            rect.bottom -= item.Height() / 4;
        else
            rect.top += item.Height() / 4;
    }
    return rect;
}

draw::Rect ButtonSubCaptionRect(const draw::Rect& item, const ButtonContent& content) {
    draw::Rect rect = ButtonCaptionRect(item, content);
    if (content.subText1.empty() != content.subText2.empty()) {
        const int back = static_cast<int>(item.Height() / 4 / 1.5);
        if (content.subText2.empty())
            rect.bottom += back;
        else
            rect.top -= back;
    }
    return rect;
}

void PaintButton(Image32& image, const draw::Rect& item, uint32_t background, const ButtonColours& colours,
                 const ButtonContent& content) {
    draw::FillRect(image, item, background);
    draw::Painter painter(image);
    const uint32_t face = colours.face.ToPixel();
    const uint32_t border = colours.border.ToPixel();
    if (content.shape == ButtonShapeCircle) {
        const int d = item.Height();
        const int left = item.left + (item.Width() - d) / 2;
        const draw::Rect circle{left, item.top, left + d, item.top + d};
        painter.FillEllipse(circle, face);
        painter.StrokeEllipse(circle, 2.0, border);
    } else {
        painter.FillRoundRect(item, 2.0, face);
        painter.StrokeRoundRect(item, 2.0, 1.0, border);
    }

    const uint32_t text = colours.text.ToPixel();
    const uint32_t subText = content.subTextColour.ToPixel();
    const unsigned wrap = content.multiLine ? draw::kTextWordBreak : 0u;
    const draw::Font subFont = draw::FontFor(draw::FontRole::ButtonSubCaption);
    const draw::Rect inner = item.Inflated(-2, -2);
    if (content.shape == ButtonShapeLeftCaption) {
        painter.DrawText(ButtonCaptionRect(item, content), content.caption, content.captionFont, text,
                         draw::kTextVCenter | wrap);
        if (!content.enabled)
            return;
        draw::Rect subRect = inner;
        subRect.right = item.right - 24;
        if (!content.subText2.empty()) {
            painter.DrawText(subRect, content.subText1, subFont, subText, draw::kTextRight | draw::kTextTop);
            painter.DrawText(subRect, content.subText2, subFont, subText,
                             draw::kTextRight | draw::kTextBottom);
        } else {
            painter.DrawText(subRect, content.subText1, subFont, subText,
                             draw::kTextRight | draw::kTextVCenter);
        }
        return;
    }
    // Centred caption; with exactly one sub-caption the caption moves away from it by a quarter
    // of the height and the sub-caption takes the space it left.
    painter.DrawText(ButtonCaptionRect(item, content), content.caption, content.captionFont, text,
                     draw::kTextCenter | draw::kTextVCenter | wrap);
    if (content.shape != ButtonShapeCentred)
        return;  // the circle has no sub-captions
    const draw::Rect rect = ButtonSubCaptionRect(item, content);
    painter.DrawText(rect, content.subText1, subFont, subText, draw::kTextCenter | draw::kTextBottom);
    painter.DrawText(rect, content.subText2, subFont, subText, draw::kTextCenter | draw::kTextTop);
}
