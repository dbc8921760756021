// Scan geometry records: what the main window learns from the probe driver when a probe
// opens and hands to the image processor. Plain values, built once per probe opening.
#pragma once

#include "probe/ProbeType.h"

struct ProbeGeometry {
    ProbeGeometry(int type, int samples, int lines, int first, bool mark, double minDepth, double maxDepth)
        : probeType(type),
          depthMin(minDepth),
          depthMax(maxDepth),
          samplesPerLine(samples),
          lineCount(lines),
          firstSample(first),
          markSide(mark) {}

    int probeType;    // ProbeType
    double depthMin;  // millimetres
    double depthMax;  // millimetres
    int samplesPerLine;
    int lineCount;
    int firstSample;  // first sample used on each line
    bool markSide;    // side of the orientation mark
};

struct LinearProbeGeometry : ProbeGeometry {
    LinearProbeGeometry(int type, int samples, int lines, int first, bool mark, double widthMm,
                        double minDepth, double maxDepth)
        : ProbeGeometry(type, samples, lines, first, mark, minDepth, maxDepth), width(widthMm) {}
    double width;  // image width in millimetres
};

struct ConvexProbeGeometry : ProbeGeometry {
    ConvexProbeGeometry(int type, int samples, int lines, int first, bool mark, double fovDegrees,
                        double radiusMm, double minDepth, double maxDepth)
        : ProbeGeometry(type, samples, lines, first, mark, minDepth, maxDepth),
          fieldOfView(fovDegrees),
          radius(radiusMm) {}
    double fieldOfView;  // sector angle in degrees
    double radius;       // radius of curvature in millimetres
};

// A convex probe that reports its own sample spacing.
struct ConvexProbeGeometryEx : ProbeGeometry {
    ConvexProbeGeometryEx(int type, int samples, int lines, int first, bool mark, double fovDegrees,
                          double topOffset, double spacingMm, double minDepth, double maxDepth)
        : ProbeGeometry(type, samples, lines, first, mark, minDepth, maxDepth),
          fieldOfView(fovDegrees),
          topOffsetFactor(topOffset),
          sampleSpacing(spacingMm) {}
    double fieldOfView;      // sector angle in degrees
    double topOffsetFactor;  // distance of the probe surface from the apex, scaled by depth
    double sampleSpacing;    // millimetres per sample
};
