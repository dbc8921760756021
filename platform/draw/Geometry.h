// Integer points and rectangles in pixel coordinates. A rectangle holds the pixels from
// left to right - 1 and from top to bottom - 1: right and bottom lie outside it.
#pragma once

#include <algorithm>
#include <cstdint>

namespace draw {

struct Point {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(Point, Point) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    // Pixel inside the rectangle, the way hit tests of window rectangles count it.
    constexpr bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    constexpr Rect Inflated(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    constexpr Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr Rect Intersect(const Rect& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
    }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

constexpr Rect RectOfSize(int x, int y, int width, int height) {
    return {x, y, x + width, y + height};
}

// A pen: colour (0x00RRGGBB) and width in pixels.
struct Pen {
    uint32_t pixel = 0;
    int width = 1;
};

}  // namespace draw
