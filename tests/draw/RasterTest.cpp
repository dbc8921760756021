#include "platform/draw/Raster.h"

#include <gtest/gtest.h>

#include "tests/draw/PixelTestUtil.h"

using draw::Point;
using draw::Rect;
using drawtest::InkBox;
using drawtest::PixelsOf;

namespace {
constexpr uint32_t kBlack = 0;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
}  // namespace

TEST(Raster, LineCoversItsStartButNotItsEnd) {
    struct Case {
        Point from, to;
        int count;
    };
    for (const Case& c : {Case{{2, 5}, {13, 5}, 11}, Case{{5, 2}, {5, 13}, 11}, Case{{13, 5}, {2, 5}, 11},
                          Case{{2, 2}, {12, 12}, 10}, Case{{3, 3}, {3, 3}, 0}, Case{{1, 1}, {15, 6}, 14}}) {
        Image32 img(20, 20, kBlack);
        draw::DrawLine(img, c.from, c.to, {kWhite, 1});
        EXPECT_EQ(static_cast<int>(PixelsOf(img, kWhite).size()), c.count);
        if (c.count > 0) {
            EXPECT_EQ(img.At(c.from.x, c.from.y), kWhite);
            EXPECT_EQ(img.At(c.to.x, c.to.y), kBlack);
        }
    }
}

TEST(Raster, PlusMarkIsSymmetricElevenPixelsEachWay) {
    // The view's "+" mark: horizontal x-5 .. x+6 and vertical y-5 .. y+6.
    Image32 img(40, 40, kBlack);
    const int x = 20;
    const int y = 18;
    draw::DrawLine(img, {x - 5, y}, {x + 6, y}, {kRed, 1});
    draw::DrawLine(img, {x, y - 5}, {x, y + 6}, {kRed, 1});
    EXPECT_EQ(InkBox(img, kBlack), (Rect{x - 5, y - 5, x + 6, y + 6}));
    EXPECT_EQ(PixelsOf(img, kRed).size(), 21u);
}

TEST(Raster, LineLeavingTheImageIsClipped) {
    Image32 img(10, 10, kBlack);
    draw::DrawLine(img, {-20, -20}, {30, 30}, {kWhite, 3});
    EXPECT_EQ(img.At(0, 0), kWhite);
    EXPECT_EQ(img.At(9, 9), kWhite);
}

TEST(Raster, RectangleExcludesRightAndBottomAndKeepsThePenInside) {
    Image32 img(20, 20, kBlack);
    draw::DrawRectangle(img, {2, 3, 12, 10}, draw::Pen{kWhite, 2}, kRed);
    EXPECT_EQ(InkBox(img, kBlack), (Rect{2, 3, 12, 10}));
    EXPECT_EQ(img.At(3, 4), kWhite);  // second pen pixel
    EXPECT_EQ(img.At(4, 5), kRed);    // first fill pixel
    EXPECT_EQ(img.At(10, 8), kWhite);
    EXPECT_EQ(img.At(9, 7), kRed);

    Image32 hollow(20, 20, kBlack);
    draw::DrawRectangle(hollow, {2, 3, 12, 10}, draw::Pen{kWhite, 1}, std::nullopt);
    EXPECT_EQ(hollow.At(5, 5), kBlack);
    EXPECT_EQ(PixelsOf(hollow, kWhite).size(), 2u * 10 + 2u * 5);
}

TEST(Raster, SmallFilledCircleCoversItsBoxSymmetrically) {
    // The trace marker: a 6 x 6 disc from (x - 3, y - 3) to (x + 3, y + 3).
    Image32 img(20, 20, kBlack);
    draw::DrawEllipse(img, {7, 7, 13, 13}, draw::Pen{kWhite, 1}, kWhite);
    EXPECT_EQ(InkBox(img, kBlack), (Rect{7, 7, 13, 13}));
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(img.At(x, y), img.At(19 - x, y)) << x << "," << y;  // mirror about x = 10
            EXPECT_EQ(img.At(x, y), img.At(x, 19 - y)) << x << "," << y;
        }
    }
    EXPECT_EQ(img.At(7, 7), kBlack);  // corners of the box stay outside the disc
    EXPECT_EQ(img.At(10, 7), kWhite);
}

TEST(Raster, EllipseOutlineIsAClosedOnePixelRing) {
    for (const Rect box : {Rect{5, 5, 35, 35}, Rect{3, 10, 57, 24}, Rect{10, 2, 18, 38}}) {
        Image32 img(60, 40, kBlack);
        draw::DrawEllipse(img, box, draw::Pen{kWhite, 1}, std::nullopt);
        EXPECT_EQ(InkBox(img, kBlack), box);
        const int cx = (box.left + box.right) / 2;
        const int cy = (box.top + box.bottom) / 2;
        EXPECT_EQ(img.At(cx, cy), kBlack);
        // Every ring pixel has at least two ring neighbours: no gaps, no stray ends.
        for (const Point p : PixelsOf(img, kWhite)) {
            int neighbours = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if ((dx || dy) && img.Contains(p.x + dx, p.y + dy) &&
                        img.At(p.x + dx, p.y + dy) == kWhite) {
                        ++neighbours;
                    }
                }
            }
            EXPECT_GE(neighbours, 2) << p.x << "," << p.y;
        }
    }
}

TEST(Raster, TriangleIsFilledAndOutlined) {
    // The focus mark of the depth scale.
    Image32 img(20, 30, kBlack);
    const int y = 15;
    const Point tri[] = {{5, y - 5}, {5, y + 5}, {11, y}};
    draw::DrawPolygon(img, tri, draw::Pen{kRed, 1}, kWhite);
    EXPECT_EQ(img.At(5, y - 5), kRed);
    EXPECT_EQ(img.At(11, y), kRed);
    EXPECT_EQ(img.At(5, y + 5), kRed);
    EXPECT_EQ(img.At(7, y), kWhite);
    EXPECT_EQ(img.At(12, y), kBlack);
    EXPECT_EQ(img.At(4, y), kBlack);
}
