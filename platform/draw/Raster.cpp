#include "platform/draw/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace draw {

namespace {

void Span(Image32& image, int y, int x0, int x1, uint32_t pixel) {  // x0..x1-1
    if (y < 0 || y >= image.height())
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, image.width());
    if (x0 >= x1)
        return;
    std::fill(image.Row(y) + x0, image.Row(y) + x1, pixel);
}

void Stamp(Image32& image, int x, int y, const Pen& pen) {
    if (pen.width <= 1) {
        image.SetClipped(x, y, pen.pixel);
        return;
    }
    const int x0 = x - pen.width / 2;
    const int y0 = y - pen.width / 2;
    FillRect(image, RectOfSize(x0, y0, pen.width, pen.width), pen.pixel);
}

// Horizontal extent [first, last + 1) of the ellipse inscribed in `box` on row y, pixel-centre rule.
bool EllipseRowSpan(const Rect& box, int y, int& x0, int& x1) {
    const double rx = box.Width() / 2.0;
    const double ry = box.Height() / 2.0;
    if (rx <= 0 || ry <= 0)
        return false;
    const double cx = box.left + rx;
    const double cy = box.top + ry;
    const double dy = (y + 0.5 - cy) / ry;
    const double q = 1.0 - dy * dy;
    if (q < 0)
        return false;
    const double hw = rx * std::sqrt(q);
    x0 = static_cast<int>(std::ceil(cx - hw - 0.5));
    x1 = static_cast<int>(std::floor(cx + hw - 0.5)) + 1;
    return x1 > x0;
}

}  // namespace

void FillRect(Image32& image, const Rect& rect, uint32_t pixel) {
    const Rect r = rect.Intersect({0, 0, image.width(), image.height()});
    for (int y = r.top; y < r.bottom; ++y)
        Span(image, y, r.left, r.right, pixel);
}

void DrawLine(Image32& image, Point from, Point to, const Pen& pen) {
    const int dx = std::abs(to.x - from.x);
    const int dy = std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1;
    const int sy = from.y < to.y ? 1 : -1;
    int x = from.x;
    int y = from.y;
    if (dx >= dy) {
        int err = 2 * dy - dx;
        for (int i = 0; i < dx; ++i) {
            Stamp(image, x, y, pen);
            if (err > 0) {
                y += sy;
                err -= 2 * dx;
            }
            err += 2 * dy;
            x += sx;
        }
    } else {
        int err = 2 * dx - dy;
        for (int i = 0; i < dy; ++i) {
            Stamp(image, x, y, pen);
            if (err > 0) {
                x += sx;
                err -= 2 * dy;
            }
            err += 2 * dx;
            y += sy;
        }
    }
}

void DrawPolyline(Image32& image, std::span<const Point> points, const Pen& pen) {
    for (size_t i = 1; i < points.size(); ++i)
        DrawLine(image, points[i - 1], points[i], pen);
}

void DrawRectangle(Image32& image, const Rect& box, const std::optional<Pen>& pen, const Brush& brush) {
    if (box.IsEmpty())
        return;
    const int w = pen ? std::max(pen->width, 1) : 0;
    if (brush)
        FillRect(image, box.Inflated(-w, -w), *brush);
    if (!pen)
        return;
    FillRect(image, {box.left, box.top, box.right, box.top + w}, pen->pixel);
    FillRect(image, {box.left, box.bottom - w, box.right, box.bottom}, pen->pixel);
    FillRect(image, {box.left, box.top, box.left + w, box.bottom}, pen->pixel);
    FillRect(image, {box.right - w, box.top, box.right, box.bottom}, pen->pixel);
}

void DrawEllipse(Image32& image, const Rect& box, const std::optional<Pen>& pen, const Brush& brush) {
    if (box.IsEmpty())
        return;
    const int w = pen ? std::max(pen->width, 1) : 0;
    const Rect inner =
        box.Inflated(-(w - 1), -(w - 1));  // the 1-pixel ring of this box is the pen's inner edge
    // Row spans of the box's ellipse and of the inner one; an empty span is {0, 0}.
    auto spans = [](const Rect& r, int rows, int top) {
        std::vector<std::pair<int, int>> out(static_cast<size_t>(rows), {0, 0});
        for (int i = 0; i < rows; ++i) {
            int x0 = 0;
            int x1 = 0;
            if (top + i >= r.top && top + i < r.bottom && EllipseRowSpan(r, top + i, x0, x1)) {
                out[static_cast<size_t>(i)] = {x0, x1};
            }
        }
        return out;
    };
    const int rows = box.Height();
    const auto outer = spans(box, rows, box.top);
    const auto ring = spans(inner, rows, box.top);
    auto inside = [&](const std::vector<std::pair<int, int>>& sp, int x, int y) {
        const int i = y - box.top;
        if (i < 0 || i >= rows)
            return false;
        const auto [x0, x1] = sp[static_cast<size_t>(i)];
        return x >= x0 && x < x1;
    };
    for (int y = box.top; y < box.bottom; ++y) {
        const auto [x0, x1] = outer[static_cast<size_t>(y - box.top)];
        for (int x = x0; x < x1; ++x) {
            // The pen covers the outer band and the pixels of the inner ellipse that touch
            // its outside through an edge, which keeps a 1-pixel ring closed.
            const bool onPen =
                pen && (!inside(ring, x, y) || !inside(ring, x - 1, y) || !inside(ring, x + 1, y) ||
                        !inside(ring, x, y - 1) || !inside(ring, x, y + 1));
            if (onPen) {
                image.SetClipped(x, y, pen->pixel);
            } else if (brush) {
                image.SetClipped(x, y, *brush);
            }
        }
    }
}

void DrawPolygon(Image32& image, std::span<const Point> points, const std::optional<Pen>& pen,
                 const Brush& brush) {
    if (points.size() < 2)
        return;
    if (brush && points.size() >= 3) {
        int top = points[0].y;
        int bottom = points[0].y;
        for (const Point& p : points) {
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        std::vector<double> xs;
        for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
            const double yc = y + 0.5;
            xs.clear();
            for (size_t i = 0; i < points.size(); ++i) {
                const Point a = points[i];
                const Point b = points[(i + 1) % points.size()];
                if ((a.y <= yc) == (b.y <= yc))
                    continue;
                xs.push_back(a.x + (yc - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t i = 0; i + 1 < xs.size(); i += 2) {
                Span(image, y, static_cast<int>(std::ceil(xs[i] - 0.5)),
                     static_cast<int>(std::ceil(xs[i + 1] - 0.5)), *brush);
            }
        }
    }
    if (!pen)
        return;
    for (size_t i = 0; i < points.size(); ++i)
        DrawLine(image, points[i], points[(i + 1) % points.size()], *pen);
}

}  // namespace draw
