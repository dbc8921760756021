#include "measure/MeasureScale.h"

#include <cmath>

#include "imaging/ImageProc.h"

namespace {
bool DepthInRange(int depth) {
    return depth >= MeasureScale::kMinDepth && depth <= MeasureScale::kMaxDepth;
}
}  // namespace

MeasureScale MeasureScale::FromPixelsPerMm(double pixelsPerMm) {
    MeasureScale s;
    if (std::isfinite(pixelsPerMm) && pixelsPerMm > 0.0) {
        const double mm = 1.0 / pixelsPerMm;
        if (std::isfinite(mm))
            s.mmPerPixel_ = mm;
    }
    return s;
}

MeasureScale MeasureScale::ForDepth(const CImageProc& liveProc, int depth) {
    if (!DepthInRange(depth))
        return {};
    return FromPixelsPerMm(liveProc.GetPixelScale(depth));
}

MeasureScale MeasureScale::ForDepth(const ScanGeometry& geometry, int raw2Bitmap, int depth) {
    if (!DepthInRange(depth))
        return {};
    return FromPixelsPerMm(geometry.PixelScale(depth, raw2Bitmap));
}
