#include "platform/BmpCodec.h"

#include <gtest/gtest.h>
#include <cstring>
#include <random>

namespace {

using platform::DecodeBmp;
using platform::DecodeBmpGrey;

uint32_t Read32(const std::string& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// A BMP written by hand, as another program would: the headers, an optional palette, and rows
// given top-down whatever the file's order, each padded to four bytes.
struct ForeignBmp {
    ForeignBmp(int w, int h, int b, bool top) : width(w), height(h), bits(b), topDown(top) {}
    int width = 0;
    int height = 0;
    int bits = 24;
    bool topDown = false;
    uint32_t compression = 0;
    std::vector<uint32_t> palette;           // 0x00RRGGBB
    std::vector<std::vector<uint8_t>> rows;  // raw pixel bytes of each row, top first
    std::string extraAfterHeader;            // e.g. the three colour masks

    std::string Bytes() const {
        const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
        const size_t offBits = 54 + extraAfterHeader.size() + palette.size() * 4;
        std::string b(offBits + stride * static_cast<size_t>(height), '\0');
        auto put32 = [&](size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); };
        b[0] = 'B';
        b[1] = 'M';
        put32(2, static_cast<uint32_t>(b.size()));
        put32(10, static_cast<uint32_t>(offBits));
        put32(14, 40);
        put32(18, static_cast<uint32_t>(width));
        put32(22, static_cast<uint32_t>(topDown ? -height : height));
        b[26] = 1;
        b[28] = static_cast<char>(bits);
        put32(30, compression);
        put32(46, static_cast<uint32_t>(palette.size()));
        std::memcpy(b.data() + 54, extraAfterHeader.data(), extraAfterHeader.size());
        for (size_t i = 0; i < palette.size(); ++i)
            put32(54 + extraAfterHeader.size() + i * 4, palette[i]);
        for (int y = 0; y < height; ++y) {
            const int fileRow = topDown ? y : height - 1 - y;
            const auto& row = rows[static_cast<size_t>(y)];
            std::memcpy(b.data() + offBits + static_cast<size_t>(fileRow) * stride, row.data(), row.size());
        }
        return b;
    }
};

TEST(BmpCodec, GreyFrameIsTheArchiveFormatAndReadsBack) {
    Image8 frame(480, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            frame.At(x, y) = static_cast<uint8_t>((x * 7 + y * 3) & 0xFF);
    const std::string b = platform::EncodeBmpGrey8(frame);
    ASSERT_EQ(b.size(), 231478u);
    EXPECT_EQ(Read32(b, 2), 231478u);
    EXPECT_EQ(Read32(b, 10), 1078u);
    EXPECT_EQ(Read32(b, 22), 480u);  // positive height: bottom-up
    EXPECT_EQ(b[28], 8);
    for (uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(Read32(b, 54 + i * 4), i << 16 | i << 8 | i) << i;
    // The first row in the file is the bottom row of the picture.
    EXPECT_EQ(static_cast<uint8_t>(b[1078 + 5]), frame.At(5, 479));

    Image8 grey;
    ASSERT_TRUE(DecodeBmpGrey(b, grey));
    EXPECT_EQ(grey, frame);
    Image32 colour;
    ASSERT_TRUE(DecodeBmp(b, colour));
    EXPECT_EQ(colour.At(17, 300), GreyPixel(frame.At(17, 300)));
}

TEST(BmpCodec, StillIs32BitWithFourthByteZeroAndReadsBack) {
    for (const auto& [w, h] : {std::pair{480, 480}, std::pair{3, 2}}) {
        Image32 still(w, h);
        std::mt19937 random(7);
        for (size_t i = 0; i < still.size(); ++i)
            still.data()[i] = random() & 0xFFFFFF;
        const std::string b = platform::EncodeBmp32(still);
        ASSERT_EQ(b.size(), 54u + static_cast<size_t>(w * h * 4));
        EXPECT_EQ(Read32(b, 30), 0u);  // BI_RGB
        EXPECT_EQ(b[28], 32);
        for (size_t i = 0; i < still.size(); ++i)
            ASSERT_EQ(b[54 + i * 4 + 3], 0) << i;
        Image32 back;
        ASSERT_TRUE(DecodeBmp(b, back));
        EXPECT_EQ(back, still) << w;
    }
}

TEST(BmpCodec, ReadsForeignFiles) {
    // 24-bit, top-down, a width that needs row padding.
    ForeignBmp top(3, 2, 24, true);
    top.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 20, 30, 40, 50, 60, 70, 80, 90}};
    Image32 image;
    ASSERT_TRUE(DecodeBmp(top.Bytes(), image));
    ASSERT_EQ(image.width(), 3);
    ASSERT_EQ(image.height(), 2);
    EXPECT_EQ(image.At(0, 0), MakePixel(3, 2, 1));
    EXPECT_EQ(image.At(2, 1), MakePixel(90, 80, 70));

    // 32-bit bottom-up whose fourth bytes hold anything (alpha from a paint program).
    ForeignBmp alpha(2, 2, 32, false);
    alpha.rows = {{10, 20, 30, 255, 11, 21, 31, 0}, {12, 22, 32, 128, 13, 23, 33, 7}};
    ASSERT_TRUE(DecodeBmp(alpha.Bytes(), image));
    EXPECT_EQ(image.At(0, 0), MakePixel(30, 20, 10));
    EXPECT_EQ(image.At(1, 0), MakePixel(31, 21, 11));
    EXPECT_EQ(image.At(1, 1), MakePixel(33, 23, 13));

    // 32-bit with the usual colour masks (BI_BITFIELDS).
    ForeignBmp masks = alpha;
    masks.compression = 3;
    masks.extraAfterHeader = std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00", 12);
    ASSERT_TRUE(DecodeBmp(masks.Bytes(), image));
    EXPECT_EQ(image.At(1, 1), MakePixel(33, 23, 13));

    // 8-bit with a short colour palette; the grey read takes the nearest grey of each colour.
    ForeignBmp indexed(2, 1, 8, false);
    indexed.palette = {MakePixel(255, 0, 0), MakePixel(10, 20, 31)};
    indexed.rows = {{1, 0}};
    ASSERT_TRUE(DecodeBmp(indexed.Bytes(), image));
    EXPECT_EQ(image.At(0, 0), MakePixel(10, 20, 31));
    Image8 grey;
    ASSERT_TRUE(DecodeBmpGrey(indexed.Bytes(), grey));
    EXPECT_EQ(grey.At(0, 0), 20);  // 61 / 3 = 20.33
    EXPECT_EQ(grey.At(1, 0), 85);

    // 8-bit with a full palette of greys but for one colour: every pixel through its entry.
    ForeignBmp almostGrey(3, 1, 8, false);
    for (uint32_t i = 0; i < 256; ++i)
        almostGrey.palette.push_back(GreyPixel(static_cast<uint8_t>(i)));
    almostGrey.palette[200] = MakePixel(255, 0, 0);
    almostGrey.rows = {{200, 7, 201}};
    ASSERT_TRUE(DecodeBmpGrey(almostGrey.Bytes(), grey));
    EXPECT_EQ(grey.At(0, 0), 85);
    EXPECT_EQ(grey.At(1, 0), 7);
    EXPECT_EQ(grey.At(2, 0), 201);
}

TEST(BmpCodec, RefusesDamagedAndUnsupportedFiles) {
    ForeignBmp good(4, 4, 24, false);
    good.rows.assign(4, std::vector<uint8_t>(12, 9));
    const std::string ok = good.Bytes();
    Image32 decoded;
    ASSERT_TRUE(DecodeBmp(ok, decoded));

    auto with = [&](size_t at, uint32_t value, int bytes = 4) {
        std::string b = ok;
        std::memcpy(b.data() + at, &value, static_cast<size_t>(bytes));
        return b;
    };
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"header only", ok.substr(0, 54)},
        {"last row cut", ok.substr(0, ok.size() - 1)},
        {"file size larger than the file", with(2, static_cast<uint32_t>(ok.size() + 1))},
        {"not BM", with(0, 'X' | 'M' << 8, 2)},
        {"height beyond the pixels", with(22, 5000)},
        {"width beyond the pixels", with(18, 100000)},
        {"zero width", with(18, 0)},
        {"zero height", with(22, 0)},
        {"16-bit", with(28, 16, 2)},
        {"RLE", with(30, 1)},
        {"core header", with(14, 12)},
        {"pixels beyond the end", with(10, static_cast<uint32_t>(ok.size()))},
    };
    for (const Case& c : cases) {
        Image32 image;
        std::string error;
        EXPECT_FALSE(DecodeBmp(c.bytes, image, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

}  // namespace
