#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <vector>

#include "archive/export/ExportSettings.h"
#include "archive/export/JpegExport.h"
#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

using namespace exportfile;

namespace {

constexpr uint8_t kQuadrants[4] = {0, 255, 96, 176};  // top left, top right, bottom left, bottom right

Image32 QuadrantRender() {
    Image32 img(480, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            img.At(x, y) = GreyPixel(kQuadrants[(y >= 240) * 2 + (x >= 240)]);
    return img;
}

// The first value of the first quantisation table (the luminance one).
int FirstDqtValue(const std::string& jpeg) {
    for (size_t i = 0; i + 5 < jpeg.size(); ++i)
        if (static_cast<uint8_t>(jpeg[i]) == 0xFF && static_cast<uint8_t>(jpeg[i + 1]) == 0xDB)
            return static_cast<uint8_t>(jpeg[i + 5]);  // FFDB, length (2), Pq/Tq, Q0
    return -1;
}

struct Decoded {
    int width = 0, height = 0, subsampling = -1;
    std::vector<uint8_t> rgb;
    int Grey(int x, int y) const { return rgb[(static_cast<size_t>(y) * width + x) * 3 + 1]; }
};

Decoded DecodeJpeg(const std::string& jpeg) {
    Decoded d;
    tjhandle h = tjInitDecompress();
    int colorspace = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(jpeg.data());
    if (tjDecompressHeader3(h, bytes, jpeg.size(), &d.width, &d.height, &d.subsampling, &colorspace) == 0) {
        d.rgb.resize(static_cast<size_t>(d.width) * d.height * 3);
        if (tjDecompress2(h, bytes, jpeg.size(), d.rgb.data(), d.width, 0, d.height, TJPF_RGB, 0) != 0)
            d.rgb.clear();
    }
    tjDestroy(h);
    return d;
}

}  // namespace

TEST(JpegExport, PictureHoldsTheRenderBelowTheCaptionBand) {
    const Image32 picture = ComposeJpegPicture(QuadrantRender(), "   Ab   ");
    ASSERT_EQ(picture.width(), 480);
    ASSERT_EQ(picture.height(), 500);
    const Image32 render = QuadrantRender();
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 480; x += 5)
            ASSERT_EQ(picture.At(x, y + 20), render.At(x, y)) << x << "," << y;
    // "Ab" and 56 spaces: a band of more than 56 space widths, ink only at its start.
    EXPECT_EQ(picture.At(200, 2), kCaptionBand);
    EXPECT_EQ(picture.At(479, 2), 0xFFFFFFu);
    int inkRight = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 480; ++x)
            if (PixelG(picture.At(x, y)) < 0x80)
                inkRight = std::max(inkRight, x);
    EXPECT_GE(inkRight, 0);
    EXPECT_LT(inkRight, 40);  // the leading blanks were trimmed
}

TEST(JpegExport, QualitiesAndDecodedQuadrants) {
    const Image32 render = QuadrantRender();
    struct Case {
        int index, dqt;
    };
    for (const Case c : {Case{kQualityHigh, 1}, Case{kQualityMiddle, 8}, Case{kQualityLow, 23}}) {
        std::string jpeg;
        ASSERT_TRUE(EncodeJpeg(ComposeJpegPicture(render, "Ab"), JpegQualityFor(c.index), jpeg));
        EXPECT_EQ(FirstDqtValue(jpeg), c.dqt);
        const Decoded d = DecodeJpeg(jpeg);
        ASSERT_FALSE(d.rgb.empty());
        EXPECT_EQ(d.width, 480);
        EXPECT_EQ(d.height, 500);
        EXPECT_EQ(d.subsampling, TJSAMP_420);
        // Quadrant centres at rows 20-499, unflipped, and the grey band above.
        EXPECT_NEAR(d.Grey(120, 20 + 120), kQuadrants[0], 8);
        EXPECT_NEAR(d.Grey(360, 20 + 120), kQuadrants[1], 8);
        EXPECT_NEAR(d.Grey(120, 20 + 360), kQuadrants[2], 8);
        EXPECT_NEAR(d.Grey(360, 20 + 360), kQuadrants[3], 8);
        EXPECT_NEAR(d.Grey(200, 8), 0xC0, 10);
    }
}

TEST(JpegExport, WritesTheFileOnce) {
    testsupport::TempDir dir;
    const std::string path = dir / "0001_20200820123456_.jpg";
    const ExportOutcome saved = ExportJpeg(path, QuadrantRender(), "Measurement Time:x", kQualityHigh);
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(saved.message, "saved\n" + path);
    EXPECT_EQ(saved.icon, platform::MsgIcon::Information);
    EXPECT_EQ(FirstDqtValue(testsupport::ReadAll(path)), 1);
}

TEST(JpegExport, BadOutputGivesOneMessageAndNoFile) {
    testsupport::TempDir dir;
    testsupport::WriteAll(dir / "taken.jpg", "old");
    testsupport::WriteAll(dir / "plainfile", "x");
    struct Case {
        std::string path;
        bool fault;
        const char* reason;
    };
    const Case cases[] = {
        {dir / "taken.jpg", false, "already exists"},
        {dir / "full.jpg", true, "could not be written"},
        {dir / "plainfile/sub.jpg", false, "folder does not exist"},
        {dir / "missing/sub.jpg", false, "folder does not exist"},
    };
    for (const Case& c : cases) {
        if (c.fault)
            platform::SetWriteFaultHook([](const std::string&) { return true; });
        const ExportOutcome out = ExportJpeg(c.path, QuadrantRender(), "x", kQualityLow);
        platform::SetWriteFaultHook({});
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.icon, platform::MsgIcon::Error);
        EXPECT_EQ(out.message.rfind("save error\n\u3000" + c.path + "\n", 0), 0u) << out.message;
        EXPECT_NE(out.message.find(c.reason), std::string::npos) << out.message;
    }
    const ExportOutcome noBitmap = ExportJpeg(dir / "none.jpg", Image32(), "x", kQualityLow);
    EXPECT_FALSE(noBitmap.ok);
    EXPECT_EQ(noBitmap.message, "Bitmap Load Error.");
    std::vector<platform::DirEntry> entries;
    ASSERT_TRUE(platform::ListDirectory(dir.path(), entries));
    ASSERT_EQ(entries.size(), 2u);  // nothing new, no temporary file left
    EXPECT_EQ(testsupport::ReadAll(dir / "taken.jpg"), "old");
}
