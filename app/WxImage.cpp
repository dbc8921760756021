#include "app/WxImage.h"

wxImage ToWxImage(const Image32& image) {
    wxImage out(image.width(), image.height(), false);
    unsigned char* rgb = out.GetData();
    for (size_t i = 0; i < image.size(); ++i) {
        const uint32_t p = image.data()[i];
        rgb[3 * i] = PixelR(p);
        rgb[3 * i + 1] = PixelG(p);
        rgb[3 * i + 2] = PixelB(p);
    }
    return out;
}

Image32 FromWxImage(const wxImage& image, std::optional<uint32_t> transparentKey) {
    Image32 out(image.GetWidth(), image.GetHeight());
    const unsigned char* rgb = image.GetData();
    const unsigned char* alpha = image.HasAlpha() ? image.GetAlpha() : nullptr;
    for (size_t i = 0; i < out.size(); ++i) {
        uint8_t r = rgb[3 * i];
        uint8_t g = rgb[3 * i + 1];
        uint8_t b = rgb[3 * i + 2];
        if (alpha && transparentKey && alpha[i] < 128) {
            out.data()[i] = *transparentKey;
            continue;
        }
        if (alpha && !transparentKey) {  // over black
            r = static_cast<uint8_t>(r * alpha[i] / 255);
            g = static_cast<uint8_t>(g * alpha[i] / 255);
            b = static_cast<uint8_t>(b * alpha[i] / 255);
        }
        out.data()[i] = MakePixel(r, g, b);
    }
    return out;
}

wxColour ToWxColour(Colorref c) {
    return wxColour(c.r(), c.g(), c.b());
}
Colorref FromWxColour(const wxColour& c) {
    return Colorref::FromRgb(c.Red(), c.Green(), c.Blue());
}
