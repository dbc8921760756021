#include "archive/OverlayLayer.h"

#include "platform/BmpCodec.h"

namespace archive {

void OverlayLayer::Build(const OverlayPainter& paint, int width, int height, int depthMm, int focusMark) {
    width_ = width;
    height_ = height;
    pixels_.clear();
    if (!paint)
        return;
    Image32 overBlack(width, height, 0);
    Image32 overWhite(width, height, 0xFFFFFF);
    paint(overBlack, depthMm, focusMark);
    paint(overWhite, depthMm, focusMark);
    for (size_t i = 0; i < overBlack.size(); ++i) {
        const uint32_t b = overBlack.data()[i] & 0xFFFFFF;
        const uint32_t w = overWhite.data()[i] & 0xFFFFFF;
        if (b == 0 && w == 0xFFFFFF)
            continue;  // untouched
        Touched t{};
        t.offset = static_cast<uint32_t>(i);
        const uint8_t bc[3] = {PixelR(b), PixelG(b), PixelB(b)};
        const uint8_t wc[3] = {PixelR(w), PixelG(w), PixelB(w)};
        for (int c = 0; c < 3; ++c) {
            t.base[c] = bc[c];
            t.span[c] = static_cast<int16_t>(wc[c] - bc[c]);
        }
        pixels_.push_back(t);
    }
}

void OverlayLayer::Apply(Image8& frame) const {
    if (frame.width() != width_ || frame.height() != height_)
        return;
    uint8_t* data = frame.data();
    for (const Touched& t : pixels_) {
        const int f = data[t.offset];
        int sum = 0;
        for (int c = 0; c < 3; ++c) {
            // base + span * f / 255, rounded to the nearest level.
            const int v = t.base[c] + (t.span[c] * f + (t.span[c] >= 0 ? 127 : -127)) / 255;
            sum += v < 0 ? 0 : v > 255 ? 255 : v;
        }
        data[t.offset] = static_cast<uint8_t>((sum + 1) / 3);
    }
}

}  // namespace archive
