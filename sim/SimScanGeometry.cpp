#include "sim/SimScanGeometry.h"

#include <cmath>
#include <numbers>

namespace usbdriver::sim {

SimScanGeometry SimScanGeometry::Convex() {
    return SimScanGeometry{};
}

SimScanGeometry SimScanGeometry::Linear() {
    SimScanGeometry g;
    g.convex = false;
    return g;
}

// Line l is centred at (l + 0.5) / lines of the sector or of the width, as scan conversion
// centres line l on upsampled row l x k + k / 2.
double SimScanGeometry::LineAngle(double line) const {
    return ((line + 0.5) / lines - 0.5) * fieldOfViewDeg * std::numbers::pi / 180.0;
}

double SimScanGeometry::LineX(double line) const {
    return ((line + 0.5) / lines - 0.5) * widthMm;
}

void SimScanGeometry::SampleToBody(double line, double sample, double depthMm, double& xMm,
                                   double& zMm) const {
    const double along = sample * MmPerSample(depthMm);
    if (convex) {
        const double angle = LineAngle(line);
        const double r = radiusMm + along;
        xMm = r * std::sin(angle);
        zMm = r * std::cos(angle) - radiusMm;
    } else {
        xMm = LineX(line);
        zMm = along;
    }
}

void SimScanGeometry::BodyToSample(double xMm, double zMm, double depthMm, double& line,
                                   double& sample) const {
    if (convex) {
        const double y = zMm + radiusMm;
        const double r = std::sqrt(xMm * xMm + y * y);
        const double angle = std::atan2(xMm, y) * 180.0 / std::numbers::pi;
        line = (angle / fieldOfViewDeg + 0.5) * lines - 0.5;
        sample = (r - radiusMm) / MmPerSample(depthMm);
    } else {
        line = (xMm / widthMm + 0.5) * lines - 0.5;
        sample = zMm / MmPerSample(depthMm);
    }
}

}  // namespace usbdriver::sim
