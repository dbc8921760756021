#include "measure/MeasureText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/StringUtil.h"
#include "resources/StringTable.h"

std::string FormatLengthMm(double millimetres) {
    if (!std::isfinite(millimetres))
        return "-";
    return platform::Format("%.1f mm", millimetres);
}

std::string FormatAreaCm2(double squareMillimetres) {
    if (!std::isfinite(squareMillimetres))
        return "-";
    return platform::Format("%.1f cm2", squareMillimetres / 10.0 / 10.0);
}

double PixelDistance(draw::Point a, draw::Point b) {
    // 64-bit squares: image points are small, but a point mapped from a far-off mouse
    // position must not overflow.
    const int64_t dx = std::llabs(static_cast<int64_t>(a.x) - b.x);
    const int64_t dy = std::llabs(static_cast<int64_t>(a.y) - b.y);
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}

std::optional<double> PairLengthMm(draw::Point a, draw::Point b, const MeasureScale& scale) {
    if (!scale)
        return std::nullopt;
    return PixelDistance(a, b) * scale.MmPerPixel();
}

std::string DistanceText(draw::Point a, draw::Point b, const MeasureScale& scale) {
    const std::optional<double> mm = PairLengthMm(a, b, scale);
    return mm ? FormatLengthMm(*mm) : std::string(kDistanceDashText);
}

std::string MModeText(draw::Point a, draw::Point b, int columnsPerSecond, const MeasureScale& scale) {
    if (columnsPerSecond < 1 || !scale)
        return kMModeDashText;
    const double dx = std::fabs(static_cast<double>(a.x) - b.x);
    const double dy = std::fabs(static_cast<double>(a.y) - b.y);
    const double distance = dy * scale.MmPerPixel();
    const double seconds = (100.0 / columnsPerSecond) * dx / 100.0;
    return platform::Format("%.1f mm/%4.2f s", distance, seconds);
}

const std::string& CircumDashText() {
    return resources::LoadString(kCircumDashStringId);
}
const std::string& AreaDashText() {
    return resources::LoadString(kAreaDashStringId);
}
