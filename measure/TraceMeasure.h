// Perimeter and enclosed area of a closed area trace (the area tool and the head
// circumference), in millimetres at the scale of the traced image.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "measure/MeasureScale.h"
#include "platform/draw/Geometry.h"

// A trace is closed when it has at least three points and its last point equals its first.
bool IsClosedTrace(const std::vector<draw::Point>& points);
// An unfinished trace: one or two points, or three or more whose ends differ. An empty
// slot and a closed trace are not unfinished.
bool IsUnfinishedTrace(const std::vector<draw::Point>& points);
// A release this close to the first vertex (|dx| < 10 and |dy| < 10) closes the trace.
bool ClosesTrace(draw::Point first, draw::Point p);

struct TraceResult {
    double perimeterMm = 0.0;
    double areaMm2 = 0.0;
};

// Sum of the segment lengths (integer squares, double roots), each times the millimetres
// per pixel, and the shoelace area on millimetres relative to the first point. Works on
// the points as given: for a closed trace the last segment returns to the first point.
// None without a scale or with fewer than two points.
std::optional<TraceResult> MeasureTrace(const std::vector<draw::Point>& points, const MeasureScale& scale);

struct TraceTexts {
    std::string perimeter;  // "%.1f mm", or "Circum:----"
    std::string area;       // "%.1f cm2", or "Area:-----"
};
TraceTexts FormatTraceTexts(const std::optional<TraceResult>& result);
