#include "measure/EllipseCaliper.h"

#include <cmath>

#include "platform/draw/Raster.h"

using draw::Point;

namespace {

double Length(int dx, int dy) {
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}

// The perpendicular of (dx, dy) scaled by length / over, truncated toward zero:
// (dy length / over, -dx length / over). Multiplying before dividing keeps exact integer
// results exact, where a ratio rounded first (1 / 49) could truncate them one short.
Point Perpendicular(Point c, int dx, int dy, double length, double over, int sign) {
    return {c.x + sign * static_cast<int>(dy * length / over),
            c.y - sign * static_cast<int>(dx * length / over)};
}

}  // namespace

void DrawPlusMark(Image32& image, Point p, const draw::Pen& pen) {
    draw::DrawLine(image, {p.x - 5, p.y}, {p.x + 6, p.y}, pen);
    draw::DrawLine(image, {p.x, p.y - 5}, {p.x, p.y + 6}, pen);
}

void CEllipseCaliper::SetPoint(Point p, int handleIndex, int mode) {
    if (handleIndex < 0 || handleIndex > kCentre)
        return;
    handle[handleIndex] = p;
    Recalculate(mode, handleIndex);
}

void CEllipseCaliper::Recalculate(int mode, int h) {
    Point& c = handle[kCentre];
    if (mode == 1) {
        c = {(handle[0].x + handle[1].x) / 2, (handle[0].y + handle[1].y) / 2};
        const int dx = handle[0].x - c.x;
        const int dy = handle[0].y - c.y;
        a = Length(dx, dy);
        b = 0.5 * a;
        handle[2] = Perpendicular(c, dx, dy, 0.5, 1.0, 1);
        handle[3] = Perpendicular(c, dx, dy, 0.5, 1.0, -1);
        return;
    }
    if (mode != 2)
        return;
    switch (h) {
        case kCentre: {
            const Point mid{(handle[0].x + handle[1].x) / 2, (handle[0].y + handle[1].y) / 2};
            const int sx = c.x - mid.x;
            const int sy = c.y - mid.y;
            for (int i = 0; i < 4; ++i)
                handle[i] = {handle[i].x + sx, handle[i].y + sy};
            return;
        }
        case 0:
        case 1:
        case 2:
        case 3: {
            // The dragged end's opposite mirrors through the centre and its axis is measured
            // again; the other axis is rebuilt perpendicular to it with its half length kept.
            const int axis = h / 2 * 2;  // 0: the first axis, 2: the second
            handle[axis + 1 - (h - axis)] = {2 * c.x - handle[h].x, 2 * c.y - handle[h].y};
            double& half = axis == 0 ? a : b;
            const double otherHalf = axis == 0 ? b : a;
            const int dx = handle[axis].x - c.x;
            const int dy = handle[axis].y - c.y;
            half = Length(dx, dy);
            if (half == 0.0)
                return;  // the axis shrank onto the centre: keep the other axis as it was
            const int other = 2 - axis;
            handle[other] = Perpendicular(c, dx, dy, otherHalf, half, 1);
            handle[other + 1] = Perpendicular(c, dx, dy, otherHalf, half, -1);
            return;
        }
        default:
            return;
    }
}

double CEllipseCaliper::Angle() const {
    if (a == 0.0)
        return 0.0;
    const double cosine = (handle[0].x - centre().x) / a;
    double theta = std::acos(std::fmax(-1.0, std::fmin(1.0, cosine)));
    const double sine = (handle[0].y - centre().y) / a;
    if ((std::sin(theta) < 0) != (sine < 0))
        theta = -theta;
    return theta;
}

double CEllipseCaliper::Measure(Point p) const {
    if (a == 0.0 || b == 0.0)
        return HUGE_VAL;  // a degenerate ellipse has no inside
    const double theta = Angle();
    const double dx = p.x - centre().x;
    const double dy = p.y - centre().y;
    const double u = (dx * std::cos(theta) + dy * std::sin(theta)) / a;
    const double v = (-dx * std::sin(theta) + dy * std::cos(theta)) / b;
    return u * u + v * v;
}

int CEllipseCaliper::HitTest(Point p) const {
    for (int i = 0; i < 4; ++i) {
        const int dx = p.x - handle[i].x;
        const int dy = p.y - handle[i].y;
        if (dx * dx + dy * dy < kHitDistanceSquared)
            return i;
    }
    return Measure(p) <= 0.75 ? kCentre : -1;
}

void CEllipseCaliper::DrawHandles(Image32& image, const draw::Pen& pen) const {
    draw::DrawLine(image, handle[0], handle[1], pen);
    draw::DrawLine(image, handle[2], handle[3], pen);
    for (const Point& p : handle) {
        draw::DrawEllipse(image, {p.x - 4, p.y - 4, p.x + 4, p.y + 4}, pen, std::nullopt);
    }
}

void CEllipseCaliper::DrawOutline(Image32& image, const draw::Pen& pen) const {
    const double theta = Angle();
    const double ct = std::cos(theta);
    const double st = std::sin(theta);
    Point previous{};
    for (int i = 0; i <= 100; ++i) {
        const double t = i * 0.06283185307179587;
        const Point p{static_cast<int>(ct * a * std::cos(t) - st * b * std::sin(t)) + centre().x,
                      static_cast<int>(ct * b * std::sin(t) + st * a * std::cos(t)) + centre().y};
        if (i > 0)
            draw::DrawLine(image, previous, p, pen);
        previous = p;
    }
}

void CEllipseCaliper::DrawAxes(Image32& image, const draw::Pen& pen, int markStyle, int x, int y) const {
    for (const Point p : {handle[0], Point{x, y}}) {
        if (markStyle != 0) {
            DrawPlusMark(image, p, pen);
        } else {
            draw::DrawLine(image, {p.x - 5, p.y - 5}, {p.x + 6, p.y + 6}, pen);
            draw::DrawLine(image, {p.x + 5, p.y - 5}, {p.x - 6, p.y + 6}, pen);
        }
    }
    if (x >= 0 && y >= 0)
        draw::DrawLine(image, handle[0], {x, y}, pen);
}
