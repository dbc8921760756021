// Anti-aliased drawing and text onto an Image32 through cairo and pango. Used for the
// control kit's faces and for every text drawn into an image buffer; the exact raster
// primitives of Raster.h stay for overlays whose pixels the program's numbers fix.
// A Painter draws straight into the image's pixels; create one per drawing pass.
#pragma once

#include <memory>
#include <string>

#include "platform/Image.h"
#include "platform/draw/Fonts.h"
#include "platform/draw/Geometry.h"

namespace draw {

// Text placement inside its rectangle (combine one horizontal and one vertical flag).
enum TextFormat : unsigned {
    kTextLeft = 0,
    kTextCenter = 1u << 0,
    kTextRight = 1u << 1,
    kTextTop = 0,
    kTextVCenter = 1u << 2,
    kTextBottom = 1u << 3,
    kTextWordBreak = 1u << 4,    // wrap at the rectangle's width; otherwise one line, cut at the edge
    kTextEndEllipsis = 1u << 5,  // one line that does not fit ends in "…" inside the rectangle
};

struct TextSize {
    int width = 0;
    int height = 0;
};

class Painter {
public:
    explicit Painter(Image32& image);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    // Shapes in pixel-edge coordinates: a box (l, t, r, b) covers exactly those pixels, and a
    // stroke of width w lies inside the box.
    void FillRoundRect(const Rect& box, double radius, uint32_t pixel);
    void StrokeRoundRect(const Rect& box, double radius, double width, uint32_t pixel);
    void FillEllipse(const Rect& box, uint32_t pixel);
    void StrokeEllipse(const Rect& box, double width, uint32_t pixel);
    // A vertical gradient from `top` to `bottom` colour over the rounded box.
    void FillRoundRectGradient(const Rect& box, double radius, uint32_t top, uint32_t bottom);
    void FillPolygon(const Point* points, int count, uint32_t pixel);

    // Text in the rectangle, clipped to it. Returns the size the text took.
    TextSize DrawText(const Rect& rect, const std::string& utf8, const Font& font, uint32_t pixel,
                      unsigned format = kTextLeft | kTextTop);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Size of a text in a font; with wrapWidth > 0 the text wraps at that width.
TextSize MeasureText(const std::string& utf8, const Font& font, int wrapWidth = -1);

// Text onto an image in one call (a Painter for one text).
TextSize DrawText(Image32& image, const Rect& rect, const std::string& utf8, const Font& font, uint32_t pixel,
                  unsigned format = kTextLeft | kTextTop);

}  // namespace draw
