#include "imaging/FrameOverlays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "ImagingTestSupport.h"

using namespace imagingtest;

TEST(Overlays, ScaleTicksEveryCentimetreFromTheCentre) {
    Image8 image(480, 480, 0);
    DrawScale(image, 470.0 / 225);  // 20.89 pixels per centimetre
    auto height = [&](int x) {
        int h = 0;
        while (h < 480 && image.At(x, 479 - h) == 255)
            ++h;
        return h;
    };
    EXPECT_EQ(height(240), 10);  // tick 0: 3 wide, 10 tall
    EXPECT_EQ(height(239), 10);
    EXPECT_EQ(height(241), 10);
    EXPECT_EQ(height(260), 5);  // tick 1 at 260.9 and its mirror 219.1
    EXPECT_EQ(height(219), 5);
    EXPECT_EQ(height(261), 0);
    EXPECT_EQ(height(343), 5);  // tick 5 at 344.4: 3 wide
    EXPECT_EQ(height(344), 5);
    EXPECT_EQ(height(345), 5);
    EXPECT_EQ(height(134), 5);   // its mirror 135.6
    EXPECT_EQ(height(448), 10);  // tick 10 at 448.9: 10 tall
    EXPECT_EQ(height(30), 10);
    EXPECT_EQ(height(469), 5);  // tick 11 at 469.8; tick 12 would be past the edge
    EXPECT_EQ(height(10), 5);

    int lit = 0;
    for (int x = 0; x < 480; ++x)
        lit += height(x) > 0;
    EXPECT_EQ(lit, 3 + 2 * (9 + 2 * 3));  // centre, then 11 ticks each side, two of them 3 wide
}

// A frame stamped with depth -1 gave a negative tick step and the loop never ended.
TEST(Overlays, ScaleWithoutAUsableStepDrawsNothing) {
    for (double ppm : {-470.0, 0.0, std::numeric_limits<double>::infinity(), std::nan("")}) {
        Image8 image(480, 480, 0);
        DrawScale(image, ppm);
        EXPECT_EQ(image, Image8(480, 480, 0)) << ppm;
    }
}

TEST(Overlays, OrientationMarkIsTheGlyphAndIsClipped) {
    Image8 image(480, 480, 7);
    DrawOrientationMark(image, 152);
    const char* expected[8] = {".......", ".#####.", "#.....#", "#......",
                               ".#####.", "......#", "#.....#", ".#####."};
    for (int row = 0; row < 8; ++row) {
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(image.At(152 + i, 4 + row), expected[row][i] == '#' ? 255 : 0) << row << "," << i;
        }
    }
    EXPECT_EQ(image.At(151, 5), 7);
    EXPECT_EQ(image.At(152, 3), 7);

    Image8 left(480, 480, 7);
    DrawOrientationMark(left, -3);  // only its last four columns are inside
    EXPECT_EQ(left.At(0, 6), 0);
    EXPECT_EQ(left.At(3, 6), 255);
    Image8 right(480, 480, 7);
    DrawOrientationMark(right, 476);
    EXPECT_EQ(right.At(476, 6), 255);
    EXPECT_EQ(right.At(479, 5), 255);
    DrawOrientationMark(right, INT_MIN);  // no usable position: nothing
}

TEST(Overlays, StraightDownMLineSamplesTheCentreColumn) {
    Image8 image(480, 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 480; ++x)
            image.At(x, y) = static_cast<uint8_t>(x == 239 ? y : 0);
    }
    const DepthGeometry d = ComputeDepthGeometry(Convex(), 225, 1);  // top offset 125.3, image top 116
    const MLineSample m = SampleMLine(image, 3 * std::numbers::pi / 2, d);
    // cos(3 pi / 2) x r is a hair below zero: x = trunc(239.99...) = 239. y = r - 116 for
    // r = 125 .. 595: rows 9 .. 479, read from display rows 8 .. 478.
    ASSERT_TRUE(m.hasPoint);
    EXPECT_EQ(m.firstRow, 9);
    for (int i = 0; i < 471; ++i)
        ASSERT_EQ(m.column[i], static_cast<uint8_t>(8 + i)) << i;
    for (int i = 471; i < 480; ++i)
        EXPECT_EQ(m.column[i], 0) << i;

    const MLineSample outside = SampleMLine(image, 0.0, d);  // horizontal: above the image
    EXPECT_FALSE(outside.hasPoint);
    EXPECT_EQ(outside.column, (std::array<uint8_t, 480>{}));
}

TEST(Overlays, RawDisplayShowsEachLineAsAColumnAndStaysInside) {
    std::vector<std::vector<int>> rows(600, std::vector<int>(1024));
    for (int l = 0; l < 600; ++l) {
        for (int s = 0; s < 1024; ++s)
            rows[l][s] = (l + s) & 0xFF;
    }
    std::vector<const int*> ptrs;
    for (auto& r : rows)
        ptrs.push_back(r.data());
    Image8 image(480, 480, 0);
    DrawRawDisplay(image, ptrs.data(), 1024, 600);  // 600 lines: columns past 479 are dropped
    // Sample trunc(i x 1024 / 480) of line l on display row i - 1.
    EXPECT_EQ(image.At(3, 0), (3 + 2) & 0xFF);       // i = 1: sample 2
    EXPECT_EQ(image.At(479, 9), (479 + 21) & 0xFF);  // i = 10: sample 21
    EXPECT_EQ(image.At(0, 479), 0);                  // i = 480 does not exist
}
