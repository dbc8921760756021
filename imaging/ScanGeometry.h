// The image processor's scan geometry and the per-depth values derived from it: the pixel
// scale, where the probe surface lies below the apex, and which rows of the apex-based
// coordinate system the 480 x 480 image shows. The apex is at x = 240, y = 0; y grows
// downward in pixels.
#pragma once

#include <cfloat>
#include <climits>

#include "imaging/ProbeGeometry.h"

// Marks a geometry value that the probe never gave.
inline constexpr double kGeometryUnset = -DBL_MAX;
inline constexpr int kImageSize = 480;
// Rows of the address caches: no image may reach below this row of the apex coordinates.
inline constexpr int kCacheRows = 1024;
// Frames stamped with a depth outside this range (millimetres) are refused.
inline constexpr int kMinFrameDepth = 20;
inline constexpr int kMaxFrameDepth = 240;

struct ScanGeometry {
    int probeType = ProbeTypeNone;
    double depthMin = kGeometryUnset;  // g0
    double depthMax = kGeometryUnset;  // g1
    int samples = 0;
    int lines = 0;
    int firstSample = 0;
    bool markSide = true;
    double radius = kGeometryUnset;           // convex, millimetres
    double fieldOfView = kGeometryUnset;      // convex, degrees
    double linearWidth = kGeometryUnset;      // linear, millimetres
    double topOffsetFactor = kGeometryUnset;  // g2, convex probes that report their sample spacing
    double sampleSpacing = kGeometryUnset;    // millimetres per sample, same probes
    bool spacingFlag = true;                  // the probe reports its sample spacing
    bool splineStc = true;                    // cubic STC curve (convex) rather than piecewise linear
    double sectorStart = kGeometryUnset;      // radians
    double sectorEnd = kGeometryUnset;
    double sectorStartMinusPi = kGeometryUnset;
    double sectorEndMinusPi = kGeometryUnset;
    double lineStep = 0.0;  // radians between neighbouring convex lines

    void Apply(const LinearProbeGeometry& record);
    void Apply(const ConvexProbeGeometry& record);
    void Apply(const ConvexProbeGeometryEx& record);

    bool IsConvex() const { return probeType == ProbeTypeConvex; }
    bool IsLinear() const { return probeType == ProbeTypeLinear; }

    // The conversion path in force for a RAW2BITMAP value. Any value but 1 asks for the
    // sector converter, which only a convex probe that reports its top-offset factor can
    // use, and only at depths where its scale is positive; every other case takes path 1.
    int EffectiveRaw2Bitmap(int requested, int depth) const;

    // The formulas below take the effective RAW2BITMAP value.
    double PixelScale(int depth, int raw2Bitmap) const;  // pixels per millimetre
    double TopOffset(int depth, int raw2Bitmap, double scale = kGeometryUnset) const;
    int ImageTop(int depth, int raw2Bitmap, double topOffset = kGeometryUnset) const;
    double ImageBottom(int depth, int raw2Bitmap, int imageTop = INT_MIN) const;

private:
    void ApplyHead(const ProbeGeometry& record);
    void ApplyFieldOfView(double degrees);
};

// The per-depth values of one conversion.
struct DepthGeometry {
    int depth = 0;
    int raw2Bitmap = 1;  // effective
    double pixelsPerMm = 0.0;
    double topOffset = 0.0;
    int imageTop = 0;
    double imageBottom = 0.0;
    double linearWidthPx = 0.0;
    int leftMargin = 0;

    // trunc(image bottom + 1): the caches' rows this depth needs.
    int CacheRowsNeeded() const;
    friend bool operator==(const DepthGeometry&, const DepthGeometry&) = default;
};

DepthGeometry ComputeDepthGeometry(const ScanGeometry& geometry, int depth, int raw2Bitmap);

// trunc(v) as an int, saturated at the int range; 0 for NaN. Keeps stray geometry values
// from turning into undefined conversions.
int TruncToInt(double v);
