// Raster primitives on Image32 with the pixel conventions of the Windows drawing calls the
// program's coordinates were laid out for:
// - a line covers its start point but not its end point;
// - rectangle and ellipse boxes cover left..right-1 and top..bottom-1;
// - the pen of a rectangle or ellipse lies inside the box (an inside-frame pen).
// Everything is clipped to the image; nothing is anti-aliased, so pixels can be tested exactly.
#pragma once

#include <optional>
#include <span>

#include "platform/Image.h"
#include "platform/draw/Geometry.h"

namespace draw {

using Brush = std::optional<uint32_t>;  // fill colour; nullopt is the null brush

void FillRect(Image32& image, const Rect& rect, uint32_t pixel);

// From `from` up to, not including, `to`. A wider pen stamps a square of its width.
void DrawLine(Image32& image, Point from, Point to, const Pen& pen);

// Joined segments; the very last point is left out like the end of a single line.
void DrawPolyline(Image32& image, std::span<const Point> points, const Pen& pen);

// Outline (inside-frame pen, nullopt for none) and fill (nullopt for none) of a box.
void DrawRectangle(Image32& image, const Rect& box, const std::optional<Pen>& pen, const Brush& brush);

// The ellipse inscribed in the box; a pixel belongs to it when its centre lies inside.
void DrawEllipse(Image32& image, const Rect& box, const std::optional<Pen>& pen, const Brush& brush);

// A closed polygon: filled where pixel centres lie inside (even-odd), then outlined through
// every vertex.
void DrawPolygon(Image32& image, std::span<const Point> points, const std::optional<Pen>& pen,
                 const Brush& brush);

}  // namespace draw
