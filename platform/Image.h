// The program's own pixel buffers. Image8 is grey (the palette is implied: value v shows as
// RGB(v, v, v)); Image32 holds 0x00RRGGBB pixels. Both are top-down in memory with rows of
// exactly `width` pixels; only the BMP reader and writer flip rows.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

template <typename Pixel>
class ImageBuffer {
public:
    ImageBuffer() = default;
    ImageBuffer(int width, int height, Pixel fill = Pixel{}) { Resize(width, height, fill); }

    void Resize(int width, int height, Pixel fill = Pixel{}) {
        width_ = width > 0 ? width : 0;
        height_ = height > 0 ? height : 0;
        pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), fill);
    }
    void Fill(Pixel value) { pixels_.assign(pixels_.size(), value); }

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    Pixel* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_); }
    const Pixel* Row(int y) const {
        return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
    }
    Pixel& At(int x, int y) { return Row(y)[x]; }
    const Pixel& At(int x, int y) const { return Row(y)[x]; }
    // Writes the pixel only when it lies inside the image.
    void SetClipped(int x, int y, Pixel value) {
        if (Contains(x, y))
            At(x, y) = value;
    }

    // Copies `src` 1:1 into the top-left corner, clipped to this image.
    void CopyTopLeftFrom(const ImageBuffer& src) {
        const int rows = std::min(height_, src.height_);
        const int cols = std::min(width_, src.width_);
        for (int y = 0; y < rows; ++y)
            std::copy_n(src.Row(y), cols, Row(y));
    }

    Pixel* data() { return pixels_.data(); }
    const Pixel* data() const { return pixels_.data(); }
    size_t size() const { return pixels_.size(); }

    friend bool operator==(const ImageBuffer&, const ImageBuffer&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

using Image8 = ImageBuffer<uint8_t>;
using Image32 = ImageBuffer<uint32_t>;

// 0x00RRGGBB pixel helpers. COLORREF values (0x00BBGGRR) are a different type: see Colorref.
constexpr uint32_t MakePixel(uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | uint32_t{b};
}
constexpr uint8_t PixelR(uint32_t p) {
    return static_cast<uint8_t>(p >> 16);
}
constexpr uint8_t PixelG(uint32_t p) {
    return static_cast<uint8_t>(p >> 8);
}
constexpr uint8_t PixelB(uint32_t p) {
    return static_cast<uint8_t>(p);
}
constexpr uint32_t GreyPixel(uint8_t v) {
    return MakePixel(v, v, v);
}

// A Windows colour value, 0x00BBGGRR, as stored in the settings (FCOLOR, BCOLOR).
struct Colorref {
    uint32_t value = 0;
    static constexpr Colorref FromRgb(uint8_t r, uint8_t g, uint8_t b) {
        return Colorref{(uint32_t{b} << 16) | (uint32_t{g} << 8) | uint32_t{r}};
    }
    constexpr uint8_t r() const { return static_cast<uint8_t>(value); }
    constexpr uint8_t g() const { return static_cast<uint8_t>(value >> 8); }
    constexpr uint8_t b() const { return static_cast<uint8_t>(value >> 16); }
    constexpr uint32_t ToPixel() const { return MakePixel(r(), g(), b()); }
    friend constexpr bool operator==(Colorref, Colorref) = default;
};
