#include "platform/draw/Painter.h"

#include <cairo.h>
#include <pango/pangocairo.h>
#include <algorithm>
#include <cmath>
#include <span>

namespace draw {

namespace {

void SetColour(cairo_t* cr, uint32_t pixel) {
    cairo_set_source_rgb(cr, PixelR(pixel) / 255.0, PixelG(pixel) / 255.0, PixelB(pixel) / 255.0);
}

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::max(0.0, std::min(r, std::min(w, h) / 2.0));
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
    if (rx <= 0 || ry <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

PangoLayout* MakeLayout(cairo_t* cr, const std::string& text, const Font& font, int wrapWidth) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout);

    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, font.face.c_str());
    pango_font_description_set_absolute_size(desc, font.pixelSize * PANGO_SCALE);
    pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    if (wrapWidth > 0) {
        pango_layout_set_width(layout, wrapWidth * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
    return layout;
}

TextSize LayoutSize(PangoLayout* layout) {
    int w = 0;
    int h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    return {w, h};
}

}  // namespace

struct Painter::Impl {
    Image32& image;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    Rect dirty;  // what cairo may have written, to clear the unused top byte after

    void Touch(const Rect& r) {
        dirty = dirty.IsEmpty() ? r
                                : Rect{std::min(dirty.left, r.left), std::min(dirty.top, r.top),
                                       std::max(dirty.right, r.right), std::max(dirty.bottom, r.bottom)};
    }

    explicit Impl(Image32& img) : image(img) {
        // Image32 rows are exactly width * 4 bytes, which is cairo's stride for RGB24.
        surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(image.data()),
                                                      CAIRO_FORMAT_RGB24, image.width(), image.height(),
                                                      image.width() * 4);
        cr = cairo_create(surface);
    }
    ~Impl() {
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        cairo_surface_destroy(surface);
        // cairo leaves the unused top byte undefined; our pixels keep it zero.
        const Rect r = dirty.Inflated(1, 1).Intersect({0, 0, image.width(), image.height()});
        for (int y = r.top; y < r.bottom; ++y) {
            for (uint32_t& p : std::span<uint32_t>(image.Row(y) + r.left, static_cast<size_t>(r.Width()))) {
                p &= 0x00FFFFFFu;
            }
        }
    }
};

Painter::Painter(Image32& image) : impl_(std::make_unique<Impl>(image)) {}
Painter::~Painter() = default;

void Painter::FillRoundRect(const Rect& box, double radius, uint32_t pixel) {
    if (box.IsEmpty())
        return;
    cairo_t* cr = impl_->cr;
    impl_->Touch(box);
    RoundRectPath(cr, box.left, box.top, box.Width(), box.Height(), radius);
    SetColour(cr, pixel);
    cairo_fill(cr);
}

void Painter::StrokeRoundRect(const Rect& box, double radius, double width, uint32_t pixel) {
    if (box.IsEmpty())
        return;
    cairo_t* cr = impl_->cr;
    impl_->Touch(box);
    const double h = width / 2.0;
    RoundRectPath(cr, box.left + h, box.top + h, box.Width() - width, box.Height() - width,
                  std::max(0.0, radius - h));
    SetColour(cr, pixel);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Painter::FillEllipse(const Rect& box, uint32_t pixel) {
    cairo_t* cr = impl_->cr;
    impl_->Touch(box);
    EllipsePath(cr, box.left + box.Width() / 2.0, box.top + box.Height() / 2.0, box.Width() / 2.0,
                box.Height() / 2.0);
    SetColour(cr, pixel);
    cairo_fill(cr);
}

void Painter::StrokeEllipse(const Rect& box, double width, uint32_t pixel) {
    cairo_t* cr = impl_->cr;
    impl_->Touch(box);
    EllipsePath(cr, box.left + box.Width() / 2.0, box.top + box.Height() / 2.0, (box.Width() - width) / 2.0,
                (box.Height() - width) / 2.0);
    SetColour(cr, pixel);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Painter::FillRoundRectGradient(const Rect& box, double radius, uint32_t top, uint32_t bottom) {
    if (box.IsEmpty())
        return;
    cairo_t* cr = impl_->cr;
    impl_->Touch(box);
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, box.top, 0, box.bottom);
    cairo_pattern_add_color_stop_rgb(pattern, 0, PixelR(top) / 255.0, PixelG(top) / 255.0,
                                     PixelB(top) / 255.0);
    cairo_pattern_add_color_stop_rgb(pattern, 1, PixelR(bottom) / 255.0, PixelG(bottom) / 255.0,
                                     PixelB(bottom) / 255.0);
    RoundRectPath(cr, box.left, box.top, box.Width(), box.Height(), radius);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void Painter::FillPolygon(const Point* points, int count, uint32_t pixel) {
    if (count < 3)
        return;
    cairo_t* cr = impl_->cr;
    cairo_move_to(cr, points[0].x, points[0].y);
    for (int i = 0; i < count; ++i) {
        impl_->Touch({points[i].x - 1, points[i].y - 1, points[i].x + 1, points[i].y + 1});
        if (i > 0)
            cairo_line_to(cr, points[i].x, points[i].y);
    }
    cairo_close_path(cr);
    SetColour(cr, pixel);
    cairo_fill(cr);
}

TextSize Painter::DrawText(const Rect& rect, const std::string& utf8, const Font& font, uint32_t pixel,
                           unsigned format) {
    if (rect.IsEmpty() || utf8.empty())
        return {};
    cairo_t* cr = impl_->cr;
    impl_->Touch(rect);
    const bool wrap = (format & kTextWordBreak) != 0;
    PangoLayout* layout = MakeLayout(cr, utf8, font, wrap ? rect.Width() : -1);
    if (!wrap && (format & kTextEndEllipsis)) {
        pango_layout_set_width(layout, rect.Width() * PANGO_SCALE);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
    if (wrap) {
        pango_layout_set_alignment(layout, (format & kTextCenter)  ? PANGO_ALIGN_CENTER
                                           : (format & kTextRight) ? PANGO_ALIGN_RIGHT
                                                                   : PANGO_ALIGN_LEFT);
    }
    const TextSize size = LayoutSize(layout);
    double x = rect.left;
    if (!wrap && (format & kTextCenter))
        x = rect.left + (rect.Width() - size.width) / 2.0;
    if (!wrap && (format & kTextRight))
        x = rect.right - size.width;
    double y = rect.top;
    if (format & kTextVCenter)
        y = rect.top + (rect.Height() - size.height) / 2.0;
    if (format & kTextBottom)
        y = rect.bottom - size.height;

    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_clip(cr);
    SetColour(cr, pixel);
    cairo_move_to(cr, std::round(x), std::round(y));
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
    return size;
}

TextSize MeasureText(const std::string& utf8, const Font& font, int wrapWidth) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(surface);
    PangoLayout* layout = MakeLayout(cr, utf8, font, wrapWidth);
    const TextSize size = LayoutSize(layout);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return size;
}

TextSize DrawText(Image32& image, const Rect& rect, const std::string& utf8, const Font& font, uint32_t pixel,
                  unsigned format) {
    Painter painter(image);
    return painter.DrawText(rect, utf8, font, pixel, format);
}

}  // namespace draw
