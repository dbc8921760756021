#include "imaging/ScanGeometry.h"

#include <cmath>
#include <numbers>

namespace {
bool IsSet(double v) {
    return v != kGeometryUnset && std::isfinite(v);
}
}  // namespace

int TruncToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(v);
}

void ScanGeometry::ApplyHead(const ProbeGeometry& record) {
    probeType = record.probeType;
    depthMin = record.depthMin;
    depthMax = record.depthMax;
    samples = record.samplesPerLine;
    lines = record.lineCount;
    firstSample = record.firstSample;
    markSide = record.markSide;
    radius = fieldOfView = linearWidth = topOffsetFactor = sampleSpacing = kGeometryUnset;
    sectorStart = sectorEnd = sectorStartMinusPi = sectorEndMinusPi = kGeometryUnset;
    lineStep = 0.0;
}

void ScanGeometry::ApplyFieldOfView(double degrees) {
    constexpr double pi = std::numbers::pi;
    fieldOfView = degrees;
    sectorStart = ((180.0 - degrees) * 0.5 + 180.0) * pi / 180.0;
    sectorEnd = sectorStart + degrees * pi / 180.0;
    sectorStartMinusPi = sectorStart - pi;
    sectorEndMinusPi = sectorEnd - pi;
    lineStep = lines > 0 ? degrees / lines * pi / 180.0 : 0.0;
}

void ScanGeometry::Apply(const LinearProbeGeometry& record) {
    ApplyHead(record);
    spacingFlag = false;
    splineStc = false;
    linearWidth = record.width;
}

void ScanGeometry::Apply(const ConvexProbeGeometry& record) {
    ApplyHead(record);
    spacingFlag = false;
    splineStc = true;
    radius = record.radius;
    ApplyFieldOfView(record.fieldOfView);
}

void ScanGeometry::Apply(const ConvexProbeGeometryEx& record) {
    ApplyHead(record);
    spacingFlag = true;
    splineStc = true;
    topOffsetFactor = record.topOffsetFactor;
    sampleSpacing = record.sampleSpacing;
    ApplyFieldOfView(record.fieldOfView);
}

int ScanGeometry::EffectiveRaw2Bitmap(int requested, int depth) const {
    if (requested == 1 || !IsConvex())
        return requested;
    if (!IsSet(depthMin) || depthMin <= 0.0 || !IsSet(depthMax) || !IsSet(topOffsetFactor) ||
        topOffsetFactor <= 0.0 || !(lineStep > 0.0)) {
        return 1;
    }
    const double scale = PixelScale(depth, requested);
    const double top = TopOffset(depth, requested, scale);
    if (!std::isfinite(scale) || scale <= 0.0 || !std::isfinite(top))
        return 1;
    return requested;
}

double ScanGeometry::PixelScale(int depth, int raw2Bitmap) const {
    if (IsConvex() && raw2Bitmap != 1)
        return 2.0 * (depthMin + depthMax - depth) / depthMin;
    return 470.0 / depth;
}

double ScanGeometry::TopOffset(int depth, int raw2Bitmap, double scale) const {
    if (IsConvex() && raw2Bitmap != 1)
        return topOffsetFactor * (depthMin + depthMax - depth) / depthMin;
    if (IsConvex() && radius != kGeometryUnset) {
        if (scale == kGeometryUnset)
            scale = PixelScale(depth, raw2Bitmap);
        return scale * radius;
    }
    return 10.0;
}

int ScanGeometry::ImageTop(int depth, int raw2Bitmap, double topOffset) const {
    if (topOffset == kGeometryUnset)
        topOffset = TopOffset(depth, raw2Bitmap);
    if (topOffset > 10.0)
        return TruncToInt(std::ceil(topOffset - 10.0 + 0.04));
    return 10;
}

double ScanGeometry::ImageBottom(int depth, int raw2Bitmap, int imageTop) const {
    if (imageTop == INT_MIN)
        imageTop = ImageTop(depth, raw2Bitmap);
    return static_cast<double>(imageTop) + kImageSize;
}

int DepthGeometry::CacheRowsNeeded() const {
    return TruncToInt(imageBottom + 1.0);
}

DepthGeometry ComputeDepthGeometry(const ScanGeometry& geometry, int depth, int raw2Bitmap) {
    DepthGeometry d;
    d.depth = depth;
    d.raw2Bitmap = raw2Bitmap;
    d.pixelsPerMm = geometry.PixelScale(depth, raw2Bitmap);
    d.topOffset = geometry.TopOffset(depth, raw2Bitmap, d.pixelsPerMm);
    d.imageTop = geometry.ImageTop(depth, raw2Bitmap, d.topOffset);
    d.imageBottom = geometry.ImageBottom(depth, raw2Bitmap, d.imageTop);
    if (geometry.IsLinear()) {
        d.linearWidthPx = geometry.linearWidth * d.pixelsPerMm;
        d.leftMargin = TruncToInt((kImageSize - d.linearWidthPx) * 0.5);
    }
    return d;
}
