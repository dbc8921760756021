#include "measure/EllipseMeasure.h"

#include <cmath>
#include <numbers>

#include "measure/MeasureText.h"

double EllipseCircumferencePx(double a, double b) {
    const double sum = a + b;
    if (sum == 0.0)
        return 0.0;  // a collapsed ellipse: h would be 0 / 0
    const double r = (a - b) / sum;
    const double h = r * r;
    return std::numbers::pi * sum * (1.0 + 3.0 * h / (10.0 + std::sqrt(4.0 - 3.0 * h)));
}

std::optional<EllipseResult> MeasureEllipse(double a, double b, const MeasureScale& scale) {
    if (!scale || !std::isfinite(a) || !std::isfinite(b))
        return std::nullopt;
    const double s = scale.MmPerPixel();
    EllipseResult r;
    r.circumferenceMm = EllipseCircumferencePx(a, b) * s;
    r.areaMm2 = a * std::numbers::pi * b * (s * s);
    return r;
}

EllipseTexts FormatEllipseTexts(const std::optional<EllipseResult>& result) {
    if (!result)
        return {CircumDashText(), AreaDashText()};
    return {FormatLengthMm(result->circumferenceMm), FormatAreaCm2(result->areaMm2)};
}
