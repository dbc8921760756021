// The ellipse caliper: two axes given by four handles around a centre, kept perpendicular
// while the user drags a handle, with its hit test and its three ways of being drawn.
// All coordinates are image pixels.
#pragma once

#include "platform/Image.h"
#include "platform/draw/Geometry.h"

enum EllipseState : int {
    EllipseStateEmpty = 0,
    EllipseStatePlacing = 1,     // first end placed, the second follows the mouse
    EllipseStateSelected = 2,    // complete, handles shown
    EllipseStateDeselected = 3,  // complete, outline only
    EllipseStateDragging = 4,    // a handle is being dragged
};

class CEllipseCaliper {
public:
    static constexpr int kCentre = 4;
    // Squared pixel distance below which a point grabs a handle (within 8 pixels).
    static constexpr int kHitDistanceSquared = 65;

    // Stores the point as handle 0 to 3 or the centre (4) and keeps the ellipse consistent.
    void SetPoint(draw::Point p, int handle, int mode);
    // Mode 1: the first axis was placed; mode 2: a handle moved; other modes change nothing.
    void Recalculate(int mode, int handle);
    // 0 to 3 for a handle, 4 for the inside, -1 elsewhere.
    int HitTest(draw::Point p) const;
    // u² + v² of the point in the ellipse's own axes: at most 1.0 inside.
    double Measure(draw::Point p) const;
    // Rotation of the first axis, in radians.
    double Angle() const;

    // Lines between opposite handles and a radius-4 circle around each handle and the centre.
    void DrawHandles(Image32& image, const draw::Pen& pen) const;
    // The outline as 100 joined segments.
    void DrawOutline(Image32& image, const draw::Pen& pen) const;
    // A mark at handle 0 and at (x, y) ("+" for a non-zero mark style, else "x"), and the line
    // between them when x and y are not negative.
    void DrawAxes(Image32& image, const draw::Pen& pen, int markStyle, int x, int y) const;

    draw::Point handle[5]{};  // 0 and 1 the first axis, 2 and 3 the second, 4 the centre
    double a = 0.0;           // half the first axis
    double b = 0.0;           // half the second axis
    int state = EllipseStateEmpty;

    draw::Point& centre() { return handle[kCentre]; }
    const draw::Point& centre() const { return handle[kCentre]; }
};

// The "+" mark of the view's calipers: horizontal x-5..x+6, vertical y-5..y+6.
void DrawPlusMark(Image32& image, draw::Point p, const draw::Pen& pen);
