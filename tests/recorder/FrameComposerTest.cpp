#include <gtest/gtest.h>

#include "archive/recorder/CaptionBlock.h"
#include "archive/recorder/FrameComposer.h"
#include "platform/draw/Painter.h"

using camera::CameraSample;
using recorder::FrameComposer;

namespace {

// Pixel (x, ySeen) of a composed frame as 0x00RRGGBB; ySeen counts from the top.
uint32_t FramePixel(const std::vector<uint8_t>& frame, int width, int x, int ySeen) {
    const uint8_t* p = frame.data() + (static_cast<size_t>(479 - ySeen) * width + x) * 3;
    return MakePixel(p[2], p[1], p[0]);
}

// A camera picture whose pixels name their own place: blue and green the column, red the
// row counted from the bottom (bottom-up rows, as samples are).
CameraSample CoordinateSample(int w, int h) {
    CameraSample s{w, h, 1, std::vector<uint8_t>(static_cast<size_t>(w * h * 3))};
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = s.bgr.data() + (static_cast<size_t>(row) * w + x) * 3;
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(x >> 8);
            p[2] = static_cast<uint8_t>(row);
        }
    return s;
}

// The image view: white above its middle, grey below.
Image32 View() {
    Image32 view(480, 480, 0x808080);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 480; ++x)
            view.At(x, y) = 0xFFFFFF;
    return view;
}

bool RowsBlack(const std::vector<uint8_t>& frame, int width, int fromX, int toX, int fromSeen, int toSeen) {
    for (int y = fromSeen; y < toSeen; ++y)
        for (int x = fromX; x < toX; ++x)
            if (FramePixel(frame, width, x, y) != 0)
                return false;
    return true;
}

}  // namespace

TEST(FrameComposer, ScalesTheCameraIntoTheTopRowsOfTheRightHalfUpright) {
    struct Case {
        int cw, ch, rows;
    };
    for (const Case& c :
         {Case{640, 480, 360}, Case{640, 360, 270}, Case{320, 240, 360}, Case{1280, 720, 270}}) {
        SCOPED_TRACE(std::to_string(c.cw) + "x" + std::to_string(c.ch));
        EXPECT_EQ(recorder::CameraRows(c.cw, c.ch), c.rows);
        const CameraSample sample = CoordinateSample(c.cw, c.ch);
        FrameComposer composer(true);
        std::vector<uint8_t> frame;
        composer.Compose(View(), &sample, nullptr, frame);
        ASSERT_EQ(frame.size(), 960u * 480u * 3u);
        for (int ySeen : {0, 1, c.rows / 2, c.rows - 1})
            for (int x : {0, 1, 241, 479}) {
                const int sx = static_cast<int>(x * c.cw / 480.0);
                // Scaled rows count from the bottom: the frame's first row shows the sample's top.
                const int scaledRow = c.rows - 1 - ySeen;
                const int sy = static_cast<int>(static_cast<double>(scaledRow) * c.ch / c.rows);
                EXPECT_EQ(FramePixel(frame, 960, 480 + x, ySeen),
                          MakePixel(static_cast<uint8_t>(sy), static_cast<uint8_t>(sx >> 8),
                                    static_cast<uint8_t>(sx)))
                    << "x " << x << " y " << ySeen;
            }
        EXPECT_TRUE(RowsBlack(frame, 960, 480, 960, c.rows, 480));
        EXPECT_EQ(FramePixel(frame, 960, 10, 0), 0xFFFFFFu);
        EXPECT_EQ(FramePixel(frame, 960, 470, 479), 0x808080u);
    }
}

TEST(FrameComposer, APictureTallerThan4By3KeepsItsTopInTheTopRows) {
    const CameraSample sample = CoordinateSample(480, 480);
    FrameComposer composer(true);
    std::vector<uint8_t> frame;
    composer.Compose(View(), &sample, nullptr, frame);
    EXPECT_EQ(PixelR(FramePixel(frame, 960, 480, 0)), static_cast<uint8_t>(479));
    EXPECT_EQ(PixelR(FramePixel(frame, 960, 480, 359)), static_cast<uint8_t>(120));
    EXPECT_TRUE(RowsBlack(frame, 960, 480, 960, 360, 480));
}

TEST(FrameComposer, NoUsableCameraLeavesTheRightHalfBlackApartFromTheCaption) {
    const Image32 caption = recorder::RenderCaptionBlock({109, 50, 60}, "Torvik", Image32(32, 32, 0x00FF00));
    const CameraSample zeroWidth{0, 480, 1, {}};
    const CameraSample shortBytes{640, 480, 1, std::vector<uint8_t>(100, 0xFF)};
    for (const CameraSample* sample : {static_cast<const CameraSample*>(nullptr), &zeroWidth, &shortBytes}) {
        FrameComposer composer(true);
        std::vector<uint8_t> frame;
        composer.Compose(View(), sample, &caption, frame);
        EXPECT_TRUE(RowsBlack(frame, 960, 480, 960, 0, 360));
        EXPECT_FALSE(RowsBlack(frame, 960, 480, 960, 360, 480));  // the caption
        EXPECT_EQ(FramePixel(frame, 960, 0, 0), 0xFFFFFFu);
    }
}

TEST(FrameComposer, AViewOnlyFrameIsTheImageViewAlone) {
    const CameraSample sample = CoordinateSample(640, 480);
    FrameComposer composer(false);
    std::vector<uint8_t> frame;
    composer.Compose(View(), &sample, nullptr, frame);
    ASSERT_EQ(composer.width(), 480);
    ASSERT_EQ(frame.size(), 480u * 480u * 3u);
    EXPECT_EQ(FramePixel(frame, 480, 479, 0), 0xFFFFFFu);
    EXPECT_EQ(FramePixel(frame, 480, 0, 479), 0x808080u);
    composer.Compose(Image32(240, 480, 0xFFFFFF), nullptr, nullptr, frame);  // a stale size: black
    EXPECT_TRUE(RowsBlack(frame, 480, 0, 480, 0, 480));
}

TEST(CaptionBlock, CentresTheValuesAndPutsNameAndIconAtTheRight) {
    const Image32 icon(32, 32, 0x00FF00);
    const Image32 block = recorder::RenderCaptionBlock({108, 7, 3}, "Torvik Viewer", icon);
    ASSERT_EQ(block.width(), 480);
    ASSERT_EQ(block.height(), 120);
    // Ink of the caption line (rows around its centre at 60) is centred over x 10-480.
    int left = 480, right = 0;
    for (int y = 50; y < 72; ++y)
        for (int x = 0; x < 480; ++x)
            if (block.At(x, y) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_LT(left, right);
    EXPECT_NEAR((left + right) / 2.0, 245, 4);
    const int nameWidth =
        draw::MeasureText("Torvik Viewer", draw::Font{draw::kUiFace, draw::PointsToPixels(10), false}).width;
    EXPECT_EQ(block.At(470 - nameWidth - 35, 85), 0x00FF00u);
    EXPECT_EQ(block.At(470 - nameWidth - 35 + 31, 85 + 31), 0x00FF00u);
    EXPECT_EQ(block.At(470 - nameWidth - 36, 85), 0u);
    EXPECT_NE(recorder::RenderCaptionBlock({109, 7, 3}, "Torvik Viewer", icon), block);
}
