// The texts of the result labels: lengths, areas, the M-mode distance and time, and the
// dash texts shown when a measurement has no scale. A text never reads "nan": without a
// scale (unknown depth) the dash text stands in its place.
#pragma once

#include <optional>
#include <string>

#include "measure/MeasureScale.h"
#include "platform/draw/Geometry.h"

inline constexpr const char* kDistanceDashText = "Dist:-----";
inline constexpr const char* kMModeDashText = "------";
// Strings 340 and 341: the perimeter and area labels of an unfinished or unscaled trace.
inline constexpr int kCircumDashStringId = 340;
inline constexpr int kAreaDashStringId = 341;

// "%.1f mm"; a value that is not finite gives "-".
std::string FormatLengthMm(double millimetres);
// "%.1f cm2" of the square millimetres / 10 / 10; a value that is not finite gives "-".
std::string FormatAreaCm2(double squareMillimetres);

// sqrt(dx² + dy²) of the absolute integer differences: squares summed in integers, the root
// in double.
double PixelDistance(draw::Point a, draw::Point b);
// The pair's length in millimetres; none without a scale.
std::optional<double> PairLengthMm(draw::Point a, draw::Point b, const MeasureScale& scale);

// The distance label: "%.1f mm", or "Dist:-----" without a scale.
std::string DistanceText(draw::Point a, draw::Point b, const MeasureScale& scale);

// The M-mode label of a strip pair, "%.1f mm/%4.2f s": |dy| in millimetres and the time of
// |dx| strip columns at the sweep rate (columns per second). "------" when the rate is not
// yet measured (below 1) or there is no scale.
std::string MModeText(draw::Point a, draw::Point b, int columnsPerSecond, const MeasureScale& scale);

// The dash texts of a trace or ellipse without a result: strings 340 and 341.
const std::string& CircumDashText();
const std::string& AreaDashText();
