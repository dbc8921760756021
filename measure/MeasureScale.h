// The millimetre scale of a measurement: millimetres per image pixel at the depth of the
// image being measured. Every view measures with the depth of what it shows (the frame's
// record, the special frame, the depth the strip was swept at, or the still's sidecar),
// never with whatever depth a processor happens to be set to now.
#pragma once

#include <optional>

#include "imaging/ScanGeometry.h"

class CImageProc;

// No scale stands for an unknown depth: texts show dashes and no value is stored.
class MeasureScale {
public:
    // Depths the probe can image (millimetres); anything else has no scale.
    static constexpr int kMinDepth = kMinFrameDepth;
    static constexpr int kMaxDepth = kMaxFrameDepth;

    MeasureScale() = default;  // no scale
    // From pixels per millimetre; no scale when that is not a finite positive number.
    static MeasureScale FromPixelsPerMm(double pixelsPerMm);
    // 1 / the live processor's pixel scale at the depth; no scale for a depth outside
    // 20..240 mm (-1 and 0 included).
    static MeasureScale ForDepth(const CImageProc& liveProc, int depth);
    // The same from a geometry and the conversion path in force at that depth.
    static MeasureScale ForDepth(const ScanGeometry& geometry, int raw2Bitmap, int depth);

    bool valid() const { return mmPerPixel_.has_value(); }
    explicit operator bool() const { return valid(); }
    // Millimetres per pixel; only for a valid scale.
    double MmPerPixel() const { return *mmPerPixel_; }

private:
    std::optional<double> mmPerPixel_;
};
