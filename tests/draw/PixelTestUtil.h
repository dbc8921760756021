// Small helpers for pixel tests of drawings.
#pragma once

#include <vector>

#include "platform/Image.h"
#include "platform/draw/Geometry.h"

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

}  // namespace drawtest
