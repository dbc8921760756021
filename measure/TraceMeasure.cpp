#include "measure/TraceMeasure.h"

#include <cmath>
#include <cstdlib>

#include "measure/MeasureText.h"

bool IsClosedTrace(const std::vector<draw::Point>& points) {
    return points.size() >= 3 && points.front() == points.back();
}

bool IsUnfinishedTrace(const std::vector<draw::Point>& points) {
    return !points.empty() && !IsClosedTrace(points);
}

bool ClosesTrace(draw::Point first, draw::Point p) {
    return std::abs(p.x - first.x) < 10 && std::abs(p.y - first.y) < 10;
}

std::optional<TraceResult> MeasureTrace(const std::vector<draw::Point>& points, const MeasureScale& scale) {
    if (!scale || points.size() < 2)
        return std::nullopt;
    const double s = scale.MmPerPixel();
    const draw::Point origin = points.front();
    TraceResult r;
    double twiceArea = 0.0;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const draw::Point p = points[i];
        const draw::Point q = points[i + 1];
        r.perimeterMm += PixelDistance(p, q) * s;
        const double x0 = (p.x - origin.x) * s, y0 = (p.y - origin.y) * s;
        const double x1 = (q.x - origin.x) * s, y1 = (q.y - origin.y) * s;
        twiceArea += x0 * y1 - x1 * y0;
    }
    r.areaMm2 = std::fabs(0.5 * twiceArea);
    return r;
}

TraceTexts FormatTraceTexts(const std::optional<TraceResult>& result) {
    if (!result)
        return {CircumDashText(), AreaDashText()};
    return {FormatLengthMm(result->perimeterMm), FormatAreaCm2(result->areaMm2)};
}
