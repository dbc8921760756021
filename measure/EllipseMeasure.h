// Circumference and area of an ellipse caliper at the scale of the measured image.
#pragma once

#include <optional>
#include <string>

#include "measure/EllipseCaliper.h"
#include "measure/MeasureScale.h"

// Ramanujan's second approximation of the circumference of semi-axes a and b (pixels), in
// pixels: π (a + b) (1 + 3h / (10 + sqrt(4 − 3h))), h = ((a − b) / (a + b))². 0 when both are 0.
double EllipseCircumferencePx(double a, double b);

struct EllipseResult {
    double circumferenceMm = 0.0;
    double areaMm2 = 0.0;
};
// None without a scale.
std::optional<EllipseResult> MeasureEllipse(double a, double b, const MeasureScale& scale);
inline std::optional<EllipseResult> MeasureEllipse(const CEllipseCaliper& e, const MeasureScale& scale) {
    return MeasureEllipse(e.a, e.b, scale);
}

struct EllipseTexts {
    std::string circumference;  // "%.1f mm", or "Circum:----"
    std::string area;           // "%.1f cm2", or "Area:-----"
};
EllipseTexts FormatEllipseTexts(const std::optional<EllipseResult>& result);
