#include "archive/recorder/CaptionBlock.h"

#include <cstdio>

#include "archive/recorder/FrameComposer.h"
#include "platform/draw/Painter.h"

namespace recorder {

namespace {

// Positions inside the block; the block's origin is the frame's (480, 360).
constexpr draw::Rect kCaptionRect{10, 0, 480, 120};
constexpr int kNameRight = 470;
constexpr int kNameTop = 80;
constexpr int kIconGap = 35;
constexpr int kIconTop = 85;

draw::Font CaptionFont() {
    return {draw::kUiFace, draw::PointsToPixels(12), false};
}
draw::Font NameFont() {
    return {draw::kUiFace, draw::PointsToPixels(10), false};
}

}  // namespace

Image32 RenderCaptionBlock(const CaptionValues& values, const std::string& productName, const Image32& icon) {
    Image32 block(kViewSide, kCaptionHeight, 0);
    char caption[96];
    std::snprintf(caption, sizeof caption, "Depth %d Gain %d Contrast %d", values.depth, values.gain,
                  values.contrast);
    const int nameWidth = draw::MeasureText(productName, NameFont()).width;
    {
        draw::Painter painter(block);
        painter.DrawText(kCaptionRect, caption, CaptionFont(), 0xFFFFFF,
                         draw::kTextCenter | draw::kTextVCenter);
        painter.DrawText({kNameRight - nameWidth, kNameTop, kViewSide, kCaptionHeight}, productName,
                         NameFont(), 0xFFFFFF, draw::kTextLeft | draw::kTextVCenter);
    }
    const int iconLeft = kNameRight - nameWidth - kIconGap;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            block.SetClipped(iconLeft + x, kIconTop + y, icon.At(x, y));
    return block;
}

}  // namespace recorder
