#include "imaging/FrameOverlays.h"

#include <cmath>
#include <numbers>

namespace {
// Top row first; '#' is 255.
constexpr const char* kMarkGlyph[8] = {
    ".......", ".#####.", "#.....#", "#......", ".#####.", "......#", "#.....#", ".#####.",
};
constexpr int kMarkTopRow = 4;
}  // namespace

int OrientationMarkColumn(const ScanGeometry& geometry, const DepthGeometry& depth, bool invert) {
    double d = 190.0;
    if (geometry.IsConvex())
        d = std::cos(geometry.sectorStart - std::numbers::pi) * depth.topOffset;
    const double x = 240.0 - (d + 25.0);
    if (!std::isfinite(x) || std::fabs(x) > 1.0e6)
        return INT_MIN;
    const int x0 = TruncToInt(x);
    return invert == geometry.markSide ? 473 - x0 : x0;
}

void DrawOrientationMark(Image8& image, int column) {
    if (column == INT_MIN)
        return;
    for (int row = 0; row < 8; ++row) {
        for (int i = 0; i < 7; ++i) {
            const int x = column + i;
            if (x < 0 || x >= image.width())
                continue;
            image.SetClipped(x, kMarkTopRow + row, kMarkGlyph[row][i] == '#' ? 255 : 0);
        }
    }
}

MLineSample SampleMLine(const Image8& image, double angle, const DepthGeometry& depth) {
    MLineSample m;
    if (!std::isfinite(angle) || !std::isfinite(depth.topOffset) || !std::isfinite(depth.imageBottom))
        return m;
    // Radii beyond the address caches cannot lie in the image; the bounds keep a stray
    // geometry from spinning here.
    const int rFrom = std::max(TruncToInt(depth.topOffset), -kCacheRows);
    const int rTo = std::min(TruncToInt(depth.imageBottom), 2 * kCacheRows);
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    int taken = 0;
    for (int r = rFrom; r < rTo && taken < kImageSize; ++r) {
        const int x = TruncToInt(c * r + 240);
        const int y = TruncToInt(-s * r - depth.imageTop);
        if (x < 0 || x >= kImageSize || y < 1 || y >= kImageSize)
            continue;
        if (taken == 0) {
            m.hasPoint = true;
            m.firstRow = static_cast<uint8_t>(y);
        }
        m.column[taken++] = image.At(x, y - 1);
    }
    return m;
}

void DrawScale(Image8& image, double pixelsPerMm) {
    const double step = pixelsPerMm * 10.0;
    if (!std::isfinite(step) || step < 1.0)
        return;
    const int bottom = image.height() - 1;
    auto run = [&](double x, int height) {
        const int col = TruncToInt(x);
        for (int i = 0; i < height; ++i)
            image.SetClipped(col, bottom - i, 255);
    };
    for (int k = 0;; ++k) {
        const double x = 240 + k * step;
        if (!(x < 480))
            break;
        const int height = k % 10 == 0 ? 10 : 5;
        run(x, height);
        run(480 - x, height);
        if (k % 5 == 0) {
            run(x - 1, height);
            run(x + 1, height);
            run(480 - x - 1, height);
            run(480 - x + 1, height);
        }
    }
}

void DrawRawDisplay(Image8& image, const int* const* raw, int samples, int lines) {
    const double step = samples <= kImageSize ? 1.0 : static_cast<double>(samples) / kImageSize;
    const int n = samples <= kImageSize ? samples : kImageSize;
    for (int l = 0; l < lines && l < image.width(); ++l) {
        for (int i = 1; i < n; ++i) {  // sample 0 would land below the image
            const int s = TruncToInt(i * step);
            if (s >= samples)
                continue;
            image.SetClipped(l, i - 1, static_cast<uint8_t>(raw[l][s] & 0xFF));
        }
    }
}
