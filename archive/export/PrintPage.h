// The printed page of a frozen image: one 480 x 480 image in a square in the upper half of
// the page inside a thin frame, with one caption line above it. The layout is integer
// arithmetic on the printable size in device pixels; the page is drawn on a cairo context
// (the GTK printer context is one), so tests render it into image and PDF surfaces.
#pragma once

#include <string>

#include "platform/Image.h"
#include "platform/draw/Geometry.h"

typedef struct _cairo cairo_t;

namespace exportfile {

struct PrintLayout {
    int width = 0;        // H: printable width in device pixels
    int height = 0;       // V: printable height
    int half = 0;         // V / 2
    int margin = 0;       // m = half / 15
    int side = 0;         // s = half - 2m
    draw::Rect frame;     // the frame box, right and bottom outside it: (1, 1)-(H - 2, half - 2)
    draw::Rect image;     // (m, m) with side s
    draw::Point caption;  // (m, m / 2), the caption's top left
};

PrintLayout ComputePrintLayout(int width, int height);

// Caption 1, three spaces and caption 2: the one line printed.
std::string PrintCaptionLine(const std::string& caption1, const std::string& caption2);

// Draws the page in device pixels: the frame (a one-pixel black outline round a white box),
// the image scaled onto its square, and the caption in a 12-point font at `dpi` device pixels
// per inch. An empty image or an empty layout box is left out.
void DrawPrintPage(cairo_t* cr, const PrintLayout& layout, const Image32& image, const std::string& caption1,
                   const std::string& caption2, double dpi);

}  // namespace exportfile
