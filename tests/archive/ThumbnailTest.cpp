#include "archive/ThumbnailCache.h"

#include <gtest/gtest.h>

#include "platform/BmpCodec.h"
#include "tests/support/TestSupport.h"

namespace {

using archive::ComposeThumbnail;

TEST(Thumbnail, NumberTexts) {
    const std::pair<int, const char*> cases[] = {{1, "001"},     {42, "042"},    {999, "999"},
                                                 {1000, "1000"}, {9999, "9999"}, {12345, "9999"}};
    for (const auto& [n, text] : cases)
        EXPECT_EQ(archive::ThumbnailNumberText(n), text) << n;
}

// The columns where a colour appears in rows from `top` on.
std::pair<int, int> Columns(const Image32& t, uint32_t colour, int top = 0, int bottom = 120) {
    int first = 1000, last = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < t.width(); ++x)
            if (t.At(x, y) == colour) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

TEST(Thumbnail, PictureNumberTagAndCineMark) {
    const Image32 picture(480, 480, GreyPixel(40));
    const Image32 mark(38, 38, MakePixel(200, 0, 0));

    const Image32 still = ComposeThumbnail(picture, 7, "", false, mark);
    ASSERT_EQ(still.width(), 120);
    EXPECT_EQ(still.At(10, 10), GreyPixel(40));
    EXPECT_EQ(still.At(55, 55), GreyPixel(40));  // no cine mark on a still
    const auto three = Columns(still, MakePixel(255, 255, 255), 100);
    EXPECT_GE(three.first, 85);

    const Image32 cine = ComposeThumbnail(picture, 1234, "", true, mark);
    EXPECT_GE(Columns(cine, MakePixel(255, 255, 255), 100).first, 75);
    EXPECT_LT(Columns(cine, MakePixel(255, 255, 255), 100).first, 85);
    // The mark is ORed over the picture at (41, 41), 30 pixels square.
    EXPECT_EQ(cine.At(41, 41), MakePixel(200 | 40, 40, 40));
    EXPECT_EQ(cine.At(70, 70), MakePixel(200 | 40, 40, 40));
    EXPECT_EQ(cine.At(40, 40) & 0xFF0000, 40u << 16);
    EXPECT_EQ(cine.At(71, 71) & 0xFF0000, 40u << 16);
    // The gold tag sits above y 71, centred on x 60.
    const Image32 tagged = ComposeThumbnail(picture, 3, "BPD", false, mark);
    const auto tag = Columns(tagged, MakePixel(192, 160, 31), 0, 100);
    ASSERT_GE(tag.second, 0);
    EXPECT_NEAR((tag.first + tag.second) / 2.0, 60.0, 3.0);
    EXPECT_TRUE(Columns(tagged, MakePixel(192, 160, 31), 73, 120).second < 0);
}

class ThumbnailCacheTest : public ::testing::Test {
protected:
    archive::StoreItemRecord Item(int n, bool good = true) {
        archive::StoreItemRecord r;
        r.imagePath = dir / (std::to_string(n) + ".bmp");
        r.number = n;
        testsupport::WriteAll(r.imagePath,
                              good ? platform::EncodeBmpGrey8(Image8(480, 480, 9)) : "BM broken");
        return r;
    }
    testsupport::TempDir dir;
};

TEST_F(ThumbnailCacheTest, BoundedAndDecodedOnlyOnce) {
    archive::ThumbnailCache cache(3 * 120 * 120 * 4);
    std::vector<archive::StoreItemRecord> items;
    for (int n = 1; n <= 5; ++n)
        items.push_back(Item(n));
    for (const auto& item : items)
        ASSERT_NE(cache.Get(item, ""), nullptr);
    EXPECT_EQ(cache.Count(), 3u);
    EXPECT_EQ(cache.Bytes(), 3u * 120 * 120 * 4);
    const uint64_t decodes = platform::BmpDecodeCount();
    cache.Get(items[4], "");  // still cached
    EXPECT_EQ(platform::BmpDecodeCount(), decodes);
    cache.Get(items[0], "");  // evicted: decoded again
    EXPECT_EQ(platform::BmpDecodeCount(), decodes + 1);
    cache.Get(items[0], "FL");  // another tag is another thumbnail
    EXPECT_EQ(platform::BmpDecodeCount(), decodes + 2);
    cache.Forget(items[0].imagePath);
    EXPECT_EQ(cache.Count(), 1u);
}

TEST_F(ThumbnailCacheTest, AFailedPictureIsReportedOncePerFillAndNeverDecodedWhilePainting) {
    archive::ThumbnailCache cache;
    const auto bad = Item(1, false);
    const auto bad2 = Item(2, false);
    EXPECT_EQ(cache.Get(bad, ""), nullptr);
    const uint64_t decodes = platform::BmpDecodeCount();
    EXPECT_EQ(cache.Get(bad, ""), nullptr);
    EXPECT_EQ(platform::BmpDecodeCount(), decodes);
    EXPECT_TRUE(cache.TakePendingMessage());
    EXPECT_EQ(cache.Get(bad2, ""), nullptr);
    EXPECT_FALSE(cache.TakePendingMessage());
    cache.NewFill();
    EXPECT_EQ(cache.Get(bad, ""), nullptr);
    EXPECT_TRUE(cache.TakePendingMessage());
}

}  // namespace
