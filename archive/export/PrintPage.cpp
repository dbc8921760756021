#include "archive/export/PrintPage.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>

#include "platform/draw/Fonts.h"

namespace exportfile {

PrintLayout ComputePrintLayout(int width, int height) {
    PrintLayout l;
    const unsigned h = static_cast<unsigned>(std::max(width, 0));
    const unsigned v = static_cast<unsigned>(std::max(height, 0));
    const unsigned half = v / 2;
    const unsigned m = half / 15;
    const unsigned s = half - 2 * m;
    l.width = static_cast<int>(h);
    l.height = static_cast<int>(v);
    l.half = static_cast<int>(half);
    l.margin = static_cast<int>(m);
    l.side = static_cast<int>(s);
    l.frame = {1, 1, l.width - 2, l.half - 2};
    l.image = draw::RectOfSize(l.margin, l.margin, l.side, l.side);
    l.caption = {l.margin, l.margin / 2};
    return l;
}

std::string PrintCaptionLine(const std::string& caption1, const std::string& caption2) {
    return caption1 + "   " + caption2;
}

namespace {

void DrawFrame(cairo_t* cr, const draw::Rect& box) {
    if (box.IsEmpty())
        return;
    cairo_rectangle(cr, box.left, box.top, box.Width(), box.Height());
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    // A one-pixel pen on the box's outermost pixels.
    cairo_rectangle(cr, box.left + 0.5, box.top + 0.5, box.Width() - 1, box.Height() - 1);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void DrawImage(cairo_t* cr, const draw::Rect& box, const Image32& image) {
    if (box.IsEmpty() || image.empty())
        return;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, image.width());
    if (stride != image.width() * 4)
        return;
    // cairo only reads a source surface.
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(image.data())), CAIRO_FORMAT_RGB24,
        image.width(), image.height(), stride);
    cairo_save(cr);
    cairo_rectangle(cr, box.left, box.top, box.Width(), box.Height());
    cairo_clip(cr);
    cairo_translate(cr, box.left, box.top);
    cairo_scale(cr, static_cast<double>(box.Width()) / image.width(),
                static_cast<double>(box.Height()) / image.height());
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

void DrawCaption(cairo_t* cr, draw::Point at, const std::string& text, double dpi) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, draw::kUiFace);
    pango_font_description_set_absolute_size(font, 12.0 * dpi / 72.0 * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    pango_layout_set_width(layout, -1);  // one line, running past the frame when long
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, at.x, at.y);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
}

}  // namespace

void DrawPrintPage(cairo_t* cr, const PrintLayout& layout, const Image32& image, const std::string& caption1,
                   const std::string& caption2, double dpi) {
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    DrawFrame(cr, layout.frame);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    DrawImage(cr, layout.image, image);
    DrawCaption(cr, layout.caption, PrintCaptionLine(caption1, caption2), dpi > 0 ? dpi : 72.0);
    cairo_restore(cr);
}

}  // namespace exportfile
