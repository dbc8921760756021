// Small helpers for pixel tests of drawings.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/draw/Geometry.h"
#include "platform/draw/Painter.h"

namespace drawtest {

inline std::vector<draw::Point> PixelsOf(const Image32& image, uint32_t pixel) {
    std::vector<draw::Point> out;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.At(x, y) == pixel)
                out.push_back({x, y});
        }
    }
    return out;
}

// Bounding box (right and bottom exclusive) of the pixels that differ from `background`.
inline draw::Rect InkBox(const Image32& image, uint32_t background) {
    draw::Rect box{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.At(x, y) == background)
                continue;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                   std::max(box.bottom, y + 1)};
        }
    }
    return box;
}

// The same, counting only the pixels inside `region`.
inline draw::Rect InkBoxIn(const Image32& image, uint32_t background, const draw::Rect& region) {
    draw::Rect box{region.right, region.bottom, region.left, region.top};
    for (int y = std::max(region.top, 0); y < std::min(region.bottom, image.height()); ++y) {
        for (int x = std::max(region.left, 0); x < std::min(region.right, image.width()); ++x) {
            if (image.At(x, y) == background)
                continue;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                   std::max(box.bottom, y + 1)};
        }
    }
    return box;
}

// True when the text drawn on `background` ends in "…": its last few columns of ink are a dot
// on the baseline, no taller than a few pixels, where a letter's would be.
inline bool InkEndsInEllipsis(const Image32& image, uint32_t background) {
    const draw::Rect ink = InkBox(image, background);
    if (ink.IsEmpty())
        return false;
    const draw::Rect tail = InkBoxIn(image, background, {ink.right - 4, ink.top, ink.right, ink.bottom});
    return !tail.IsEmpty() && tail.Height() <= 4;
}

// True when the text, drawn clipped to a box of the size of `box`, loses none of its ink.
inline bool TextFits(const std::string& text, const draw::Font& font, const draw::Rect& box,
                     unsigned format) {
    Image32 clipped(box.Width(), box.Height(), 0);
    draw::DrawText(clipped, {0, 0, box.Width(), box.Height()}, text, font, 0xFFFFFF, format);
    Image32 whole(box.Width() * 3 + 100, box.Height() * 3 + 100, 0);
    draw::DrawText(whole, {0, 0, whole.width(), whole.height()}, text, font, 0xFFFFFF);
    const draw::Rect a = InkBox(clipped, 0);
    const draw::Rect b = InkBox(whole, 0);
    return !a.IsEmpty() && a.Width() == b.Width() && a.Height() == b.Height();
}

}  // namespace drawtest
