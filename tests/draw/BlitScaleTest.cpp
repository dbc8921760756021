#include <gtest/gtest.h>

#include "platform/draw/Blit.h"
#include "platform/draw/Scale.h"

namespace {
constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
}  // namespace

TEST(MaskedAffineBlit, KeyColourStaysTransparentAndCornersMapAsGiven) {
    // A 4 x 4 marker: magenta except a green top-left pixel and a blue bottom-right one.
    Image32 marker(4, 4, kMagenta);
    marker.At(0, 0) = kGreen;
    marker.At(3, 3) = kBlue;

    Image32 dst(12, 12, 0x101010);
    draw::MaskedAffineBlit(marker, kMagenta, dst, {{{2, 2}, {6, 2}, {2, 6}}});  // unrotated
    EXPECT_EQ(dst.At(2, 2), kGreen);
    EXPECT_EQ(dst.At(5, 5), kBlue);
    EXPECT_EQ(dst.At(3, 3), 0x101010u);  // magenta let the background through
    EXPECT_EQ(dst.At(6, 6), 0x101010u);

    // A quarter turn: the source's upper-left goes to (9, 2), its upper-right below it.
    Image32 turned(12, 12, 0);
    draw::MaskedAffineBlit(marker, kMagenta, turned, {{{10, 2}, {10, 6}, {6, 2}}});
    EXPECT_EQ(turned.At(9, 2), kGreen);
    EXPECT_EQ(turned.At(6, 5), kBlue);
}

TEST(MaskedAffineBlit, ShrinkingBlendsEdgesInsteadOfDroppingPixels) {
    Image32 marker(8, 8, kMagenta);
    for (int y = 0; y < 8; ++y)
        marker.At(0, y) = 0xFFFFFF;  // a one-pixel white column
    Image32 dst(4, 4, 0);
    draw::MaskedAffineBlit(marker, kMagenta, dst, {{{0, 0}, {2, 0}, {0, 2}}});
    // The column covers a quarter of the first destination column: a quarter-bright grey.
    EXPECT_EQ(dst.At(0, 0), 0x404040u);
    EXPECT_EQ(dst.At(1, 0), 0u);
}

TEST(StretchHalftone, IdentityCopiesAndUniformStaysUniform) {
    Image32 src(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x)
            src.At(x, y) = MakePixel(x * 30, y * 50, 7);
    }
    EXPECT_EQ(draw::Resized(src, 7, 5), src);

    Image32 grey(13, 9, GreyPixel(77));
    for (auto [w, h] : {std::pair{5, 4}, std::pair{40, 31}, std::pair{13, 2}}) {
        const Image32 out = draw::Resized(grey, w, h);
        for (size_t i = 0; i < out.size(); ++i)
            ASSERT_EQ(out.data()[i], GreyPixel(77));
    }
}

TEST(StretchHalftone, ShrinkingAveragesTheCoveredArea) {
    Image32 checker(8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            checker.At(x, y) = ((x + y) % 2) ? GreyPixel(200) : GreyPixel(0);
    }
    const Image32 half = draw::Resized(checker, 4, 4);
    for (size_t i = 0; i < half.size(); ++i)
        EXPECT_EQ(half.data()[i], GreyPixel(100));
}

TEST(StretchHalftone, SourceAndDestinationRectanglesAreClipped) {
    Image32 src(4, 4, GreyPixel(50));
    Image32 dst(6, 6, 0);
    draw::StretchHalftone(src, {-2, -2, 6, 6}, dst, {3, 3, 9, 9});  // both reach outside
    EXPECT_EQ(dst.At(2, 2), 0u);
    EXPECT_EQ(dst.At(3, 3), GreyPixel(50));
    EXPECT_EQ(dst.At(5, 5), GreyPixel(50));
}

TEST(CopyRect, ClipsOnBothSides) {
    Image32 src(4, 4, kBlue);
    src.At(0, 0) = kGreen;
    Image32 dst(5, 5, 0);
    draw::CopyRect(src, {0, 0, 4, 4}, dst, {-1, 3});
    EXPECT_EQ(dst.At(0, 3), kBlue);
    EXPECT_EQ(dst.At(2, 4), kBlue);
    EXPECT_EQ(dst.At(3, 3), 0u);
    EXPECT_EQ(dst.At(0, 2), 0u);
}
