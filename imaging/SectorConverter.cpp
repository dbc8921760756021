#include "imaging/SectorConverter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "common/DebugLog.h"

double CubicKernel(double t, double a) {
    if (t <= 1.0)
        return (a + 2.0) * t * t * t - (a + 3.0) * t * t + 1.0;
    if (t < 2.0)
        return a * t * t * t - 5.0 * a * t * t + 8.0 * a * t - 4.0 * a;
    return 0.0;
}

SectorKey MakeSectorKey(const ScanGeometry& geometry, const DepthGeometry& depth, int samples, int lines,
                        double kernelA) {
    return SectorKey{samples,
                     lines,
                     geometry.firstSample,
                     geometry.spacingFlag,
                     geometry.sampleSpacing,
                     geometry.sectorStartMinusPi,
                     geometry.sectorEndMinusPi,
                     geometry.lineStep,
                     kernelA,
                     depth};
}

std::shared_ptr<const SectorTables> BuildSectorTables(const SectorKey& key) {
    using Tap = SectorTables::Tap;
    auto built = std::make_shared<SectorTables>();
    SectorTables& t = *built;
    const int samples = key.samples;
    const int lines = key.lines;
    const DepthGeometry& depth = key.depth;
    const double kernelA = key.kernelA;
    t.samples = samples;
    t.lines = lines;
    t.first = std::clamp(key.firstSample, 0, std::max(samples - 1, 0));
    if (samples < 2 || lines < 1 || !(key.lineStep > 0.0))
        return built;

    const double pps =
        key.spacingFlag ? key.sampleSpacing * depth.pixelsPerMm : depth.depth * depth.pixelsPerMm / samples;
    const double lo = key.sectorStartMinusPi;
    const double hi = key.sectorEndMinusPi;
    const int yEnd = std::clamp(TruncToInt(std::ceil(depth.imageBottom)), 0, kCacheRows);
    for (int x = 0; x < kImageSize; ++x) {
        DebugLog("X=%d start\n", x);
        const double dx = x - 240;
        for (int y = std::max(1, depth.imageTop + 1); y < yEnd; ++y) {
            const int row = y - depth.imageTop - 1;
            if (row < 0 || row >= kImageSize)
                continue;
            const double theta = dx > 0    ? std::numbers::pi - std::atan(y / dx)
                                 : dx == 0 ? std::numbers::pi / 2
                                           : std::atan(y / -dx);
            const double r = std::sqrt(dx * dx + static_cast<double>(y) * y);
            if (theta < lo || theta > hi || r < depth.topOffset || r >= depth.imageBottom)
                continue;
            Tap tap;
            tap.x = static_cast<uint16_t>(x);
            tap.row = static_cast<uint16_t>(row);
            tap.linePos = (theta - lo) / key.lineStep;
            tap.samplePos = (r - depth.topOffset) / pps;
            if (!(tap.samplePos <= samples - 1))
                continue;
            const double f = tap.linePos - std::trunc(tap.linePos);
            const double g = tap.samplePos - std::trunc(tap.samplePos);
            const double lw[4] = {CubicKernel(1.0 + f, kernelA), CubicKernel(f, kernelA),
                                  CubicKernel(1.0 - f, kernelA), CubicKernel(2.0 - f, kernelA)};
            const double sw[4] = {CubicKernel(1.0 + g, kernelA), CubicKernel(g, kernelA),
                                  CubicKernel(1.0 - g, kernelA), CubicKernel(2.0 - g, kernelA)};
            for (int i = 0; i < 4; ++i) {
                for (int j = 0; j < 4; ++j)
                    tap.weight[i][j] = lw[i] * sw[j];
            }
            t.taps.push_back(tap);
        }
    }
    return built;
}

CSectorConverter::CSectorConverter(std::shared_ptr<CSectorTableCache> cache) : cache_(std::move(cache)) {}

void CSectorConverter::Prepare(const ScanGeometry& geometry, const DepthGeometry& depth, int samples,
                               int lines, double kernelA) {
    const SectorKey key = MakeSectorKey(geometry, depth, samples, lines, kernelA);
    if (!tables_ || !(key_ == key)) {
        key_ = key;
        tables_ = cache_ ? cache_->Get(key) : BuildSectorTables(key);
    }
}

void CSectorConverter::Draw(const double* const* work, const GammaTable& gamma, bool invert, bool bicubic,
                            Image8& image) const {
    if (!tables_)
        return;
    const int lastLine = tables_->lines - 1;
    const int lastSample = tables_->samples - 1;
    const int first = tables_->first;
    for (const SectorTables::Tap& tap : tables_->taps) {
        const int col = invert ? kImageSize - tap.x : tap.x;
        if (col >= kImageSize)
            continue;
        const int li = std::min(TruncToInt(tap.linePos), lastLine);
        // The sample index past the first sample can reach beyond the line: read the edge.
        const int si = std::min(first + TruncToInt(tap.samplePos), lastSample);
        double v = 0.0;
        if (!bicubic) {
            const double f = tap.linePos - li;
            const double g = tap.samplePos - std::trunc(tap.samplePos);
            const int li1 = li < lastLine ? li + 1 : li;
            const int si1 = std::min(si + 1, lastSample);
            v = (1.0 - g) * ((1.0 - f) * work[li][si] + f * work[li1][si]) +
                g * ((1.0 - f) * work[li][si1] + f * work[li1][si1]);
        } else {
            for (int i = 0; i < 4; ++i) {
                const int l = std::clamp(li - 1 + i, 0, lastLine);
                for (int j = 0; j < 4; ++j) {
                    const int s = std::clamp(si - 1 + j, first, lastSample);
                    v += tap.weight[i][j] * work[l][s];
                }
            }
        }
        v = v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v);
        image.At(col, tap.row) = gamma[static_cast<int>(v)];
    }
}
