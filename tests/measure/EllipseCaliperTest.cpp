#include "measure/EllipseCaliper.h"

#include <gtest/gtest.h>
#include <cmath>

#include "tests/draw/PixelTestUtil.h"

using draw::Point;

namespace {

CEllipseCaliper FirstAxis(Point p0, Point p1) {
    CEllipseCaliper e;
    e.SetPoint(p0, 0, 0);
    e.SetPoint(p1, 1, 1);
    return e;
}

constexpr uint32_t kPen = 0xFFC0CB;

}  // namespace

TEST(EllipseCaliper, FirstAxisAddsAPerpendicularAxisOfHalfItsLength) {
    const CEllipseCaliper e = FirstAxis({0, 0}, {100, 0});
    EXPECT_EQ(e.centre(), (Point{50, 0}));
    EXPECT_DOUBLE_EQ(e.a, 50.0);
    EXPECT_DOUBLE_EQ(e.b, 25.0);
    EXPECT_EQ(e.handle[2], (Point{50, 25}));
    EXPECT_EQ(e.handle[3], (Point{50, -25}));

    // Odd coordinates: halves truncate toward zero.
    const CEllipseCaliper odd = FirstAxis({-3, 7}, {10, -8});
    EXPECT_EQ(odd.centre(), (Point{3, 0}));
}

TEST(EllipseCaliper, DraggingASecondAxisEndKeepsTheFirstAxisLengthAndTurnsIt) {
    CEllipseCaliper e = FirstAxis({0, 0}, {100, 0});
    e.SetPoint({50, 40}, 2, 2);  // outward
    EXPECT_DOUBLE_EQ(e.b, 40.0);
    EXPECT_EQ(e.handle[3], (Point{50, -40}));
    EXPECT_EQ(e.handle[0], (Point{100, 0}));  // C + (dy a/b, -dx a/b): a from the centre again
    EXPECT_EQ(e.handle[1], (Point{0, 0}));
    EXPECT_DOUBLE_EQ(e.a, 50.0);

    // Dragging the second end sideways turns the first axis with it.
    e.SetPoint({90, 40}, 2, 2);
    EXPECT_EQ(e.handle[3], (Point{10, -40}));
    const int dx = e.handle[0].x - e.centre().x;
    const int dy = e.handle[0].y - e.centre().y;
    EXPECT_EQ(dx * 40 + dy * 40, 0);  // perpendicular to (40, 40)
}

TEST(EllipseCaliper, DraggingAFirstAxisEndMirrorsTheOtherAndKeepsB) {
    CEllipseCaliper e = FirstAxis({0, 0}, {100, 0});
    e.SetPoint({50, -60}, 0, 2);
    EXPECT_EQ(e.handle[1], (Point{50, 60}));
    EXPECT_DOUBLE_EQ(e.a, 60.0);
    EXPECT_DOUBLE_EQ(e.b, 25.0);
    EXPECT_EQ(e.handle[2], (Point{25, 0}));  // C + (dy b/a, -dx b/a)
    EXPECT_EQ(e.handle[3], (Point{75, 0}));
}

TEST(EllipseCaliper, RebuiltAxisTruncatesTheWholeProductNotAPreRoundedRatio) {
    // b / a = 1 / 49 is not exact in binary: 49 x (1 / 49) falls just short of 1, while
    // 49 x 1 / 49 is exactly 1.
    CEllipseCaliper e = FirstAxis({0, 0}, {4, 0});
    ASSERT_DOUBLE_EQ(e.b, 1.0);
    e.SetPoint({2, 49}, 0, 2);
    EXPECT_EQ(e.handle[1], (Point{2, -49}));
    EXPECT_EQ(e.handle[2], (Point{3, 0}));
    EXPECT_EQ(e.handle[3], (Point{1, 0}));

    // The same on the second axis: a / b = 2 / 98.
    CEllipseCaliper f = FirstAxis({0, 0}, {8, 0});  // a = 4, b = 2
    f.SetPoint({4 + 98, 0}, 2, 2);                  // b = 98, (dx, dy) = (98, 0)
    EXPECT_EQ(f.handle[0], (Point{4, -4}));
    EXPECT_EQ(f.handle[1], (Point{4, 4}));
}

TEST(EllipseCaliper, MovingTheCentreShiftsEveryHandle) {
    CEllipseCaliper e = FirstAxis({0, 0}, {100, 0});
    e.SetPoint({60, 30}, CEllipseCaliper::kCentre, 2);
    EXPECT_EQ(e.handle[0], (Point{10, 30}));
    EXPECT_EQ(e.handle[1], (Point{110, 30}));
    EXPECT_EQ(e.handle[2], (Point{60, 55}));
    EXPECT_EQ(e.handle[3], (Point{60, 5}));
}

TEST(EllipseCaliper, HitTestFindsHandlesWithinEightPixelsThenTheInside) {
    const CEllipseCaliper e = FirstAxis({100, 100}, {200, 100});
    struct Case {
        Point p;
        int hit;
    };
    for (const Case& c : {Case{{108, 100}, 0},   // 64 is below 65
                          Case{{92, 101}, -1},   // 65 is not, and the point lies outside
                          Case{{208, 101}, -1},  // too far from handle 1
                          Case{{150, 126}, 2}, Case{{150, 80}, 3}, Case{{150, 100}, 4}, Case{{185, 112}, 4},
                          Case{{188, 114}, -1}}) {  // inside the outline, but beyond the 0.75 of a grab
        EXPECT_EQ(e.HitTest(c.p), c.hit) << c.p.x << "," << c.p.y;
    }
    // The measure at the ends of both axes is exactly one.
    EXPECT_DOUBLE_EQ(e.Measure({200, 100}), 1.0);
    EXPECT_DOUBLE_EQ(e.Measure({150, 125}), 1.0);
}

TEST(EllipseCaliper, AngleFollowsTheFirstAxisInEveryQuadrant) {
    struct Case {
        Point end;
        double degrees;
    };
    for (const Case& c : {Case{{30, 0}, 0}, Case{{0, 30}, 90}, Case{{0, -30}, -90}, Case{{-30, 0}, 180},
                          Case{{20, -20}, -45}}) {
        const CEllipseCaliper e = FirstAxis(c.end, {-c.end.x, -c.end.y});
        EXPECT_NEAR(e.Angle() * 180 / M_PI, c.degrees, 1e-9);
        // The axis ends lie on the outline of the turned ellipse.
        EXPECT_NEAR(e.Measure(e.handle[0]), 1.0, 1e-9);
        EXPECT_NEAR(e.Measure(e.handle[2]), 1.0, 0.05);
    }
}

TEST(EllipseCaliper, HandleDraggedOntoTheCentreLeavesFiniteHandles) {
    CEllipseCaliper e = FirstAxis({0, 0}, {100, 0});
    e.SetPoint(e.centre(), 2, 2);  // b becomes 0: the first axis is kept as it was
    EXPECT_EQ(e.handle[0], (Point{0, 0}));
    EXPECT_EQ(e.handle[1], (Point{100, 0}));
    EXPECT_GT(e.Measure({50, 1}), 1.0);  // a flat ellipse has no inside
    e.SetPoint(e.centre(), 0, 2);
    EXPECT_EQ(e.handle[1], e.centre());
}

TEST(EllipseCaliper, OutlinePixelsLieOnTheEllipse) {
    CEllipseCaliper e = FirstAxis({60, 20}, {140, 100});  // turned by 45 degrees
    Image32 img(200, 140, 0);
    e.DrawOutline(img, {kPen, 1});
    const auto pixels = drawtest::PixelsOf(img, kPen);
    ASSERT_GT(pixels.size(), 150u);
    for (const Point p : pixels)
        EXPECT_NEAR(std::sqrt(e.Measure(p)), 1.0, 0.06) << p.x << "," << p.y;
}

TEST(EllipseCaliper, HandlesAndAxesAreDrawnWhereTheyBelong) {
    const CEllipseCaliper e = FirstAxis({40, 50}, {120, 50});
    Image32 img(160, 120, 0);
    e.DrawHandles(img, {kPen, 1});
    for (const Point h : e.handle) {
        EXPECT_EQ(img.At(h.x - 4, h.y), kPen);  // the circle's left edge
        EXPECT_EQ(img.At(h.x + 3, h.y), kPen);  // its right edge (box excludes x + 4)
    }
    EXPECT_EQ(img.At(80, 60), kPen);  // on the second axis
    EXPECT_EQ(img.At(60, 50), kPen);  // on the first axis

    Image32 plus(160, 120, 0);
    e.DrawAxes(plus, {kPen, 1}, 2, 100, 90);
    EXPECT_EQ(drawtest::InkBox(plus, 0), (draw::Rect{35, 45, 106, 96}));
    EXPECT_EQ(plus.At(70, 70), kPen);  // the rubber band from handle 0 to (100, 90)

    Image32 cross(160, 120, 0);
    e.DrawAxes(cross, {kPen, 1}, 0, -1, -1);  // no free end: crosses, no line
    EXPECT_EQ(cross.At(35, 45), kPen);
    EXPECT_EQ(cross.At(45, 45), kPen);
    EXPECT_EQ(cross.At(34, 56), 0u);  // the end of the second diagonal is left out
    EXPECT_EQ(cross.At(40, 45), 0u);
    EXPECT_EQ(cross.At(20, 25), 0u);
}
