#include "archive/recorder/FrameComposer.h"

#include <algorithm>
#include <cstring>

namespace recorder {

namespace {

// Scaled picture height at 480 pixels wide, in the truncating double arithmetic of the
// frame layout; a zero size never divides.
int FullRows(int cw, int ch) {
    if (cw <= 0 || ch <= 0)
        return 0;
    return static_cast<int>(480.0 / cw * ch);
}

void PutBgr(uint8_t* dst, uint32_t pixel) {
    dst[0] = PixelB(pixel);
    dst[1] = PixelG(pixel);
    dst[2] = PixelR(pixel);
}

}  // namespace

int CameraRows(int cameraWidth, int cameraHeight) {
    return std::min(FullRows(cameraWidth, cameraHeight), kCameraMaxRows);
}

FrameComposer::FrameComposer(bool withCamera) : width_(RecorderFrameWidth(withCamera)) {}

void FrameComposer::PrepareTables(int cw, int ch) {
    if (cw == tableWidth_ && ch == tableHeight_)
        return;
    tableWidth_ = cw;
    tableHeight_ = ch;
    rows_ = FullRows(cw, ch);
    sourceColumn_.assign(kViewSide, -1);
    sourceRow_.assign(static_cast<size_t>(rows_), -1);
    for (int x = 0; x < kViewSide; ++x) {
        const int sx = static_cast<int>(x * cw / 480.0);
        if (sx < cw)
            sourceColumn_[static_cast<size_t>(x)] = sx * 3;
    }
    for (int y = 0; y < rows_; ++y) {
        const int sy = static_cast<int>(static_cast<double>(y) * ch / rows_);
        if (sy < ch)
            sourceRow_[static_cast<size_t>(y)] = sy;
    }
}

void FrameComposer::Compose(const Image32& view, const camera::CameraSample* sample, const Image32* caption,
                            std::vector<uint8_t>& frame) {
    frame.assign(frameBytes(), 0);
    const size_t stride = static_cast<size_t>(width_) * 3;

    if (view.width() == kViewSide && view.height() == kViewSide) {
        for (int y = 0; y < kViewSide; ++y) {
            const uint32_t* src = view.Row(y);
            uint8_t* dst = frame.data() + static_cast<size_t>(kFrameHeight - 1 - y) * stride;
            for (int x = 0; x < kViewSide; ++x)
                PutBgr(dst + 3 * x, src[x]);
        }
    }
    if (width_ == kViewSide)
        return;

    if (sample && sample->width > 0 && sample->height > 0 &&
        sample->bgr.size() == static_cast<size_t>(sample->width) * static_cast<size_t>(sample->height) * 3) {
        PrepareTables(sample->width, sample->height);
        const size_t sampleStride = static_cast<size_t>(sample->width) * 3;
        // Scaled rows count from the bottom; the picture's top rows are kept when it is taller
        // than the 360 rows it may fill, and it always starts at the top of the frame.
        const int first = std::max(0, rows_ - kCameraMaxRows);
        for (int r = first; r < rows_; ++r) {
            const int sy = sourceRow_[static_cast<size_t>(r)];
            if (sy < 0)
                continue;
            const uint8_t* src = sample->bgr.data() + static_cast<size_t>(sy) * sampleStride;
            uint8_t* dst =
                frame.data() + static_cast<size_t>(kFrameHeight - rows_ + r) * stride + kViewSide * 3;
            for (int x = 0; x < kViewSide; ++x) {
                const int sx = sourceColumn_[static_cast<size_t>(x)];
                if (sx >= 0)
                    std::memcpy(dst + 3 * x, src + sx, 3);
            }
        }
    }

    if (caption && caption->width() == kViewSide && caption->height() == kCaptionHeight) {
        for (int y = 0; y < kCaptionHeight; ++y) {
            const uint32_t* src = caption->Row(y);
            uint8_t* dst =
                frame.data() + static_cast<size_t>(kCaptionHeight - 1 - y) * stride + kViewSide * 3;
            for (int x = 0; x < kViewSide; ++x)
                PutBgr(dst + 3 * x, src[x]);
        }
    }
}

}  // namespace recorder
