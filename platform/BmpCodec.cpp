#include "platform/BmpCodec.h"

#include <atomic>
#include <cstring>

#include "platform/FileSystem.h"

namespace platform {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
// Larger pictures are not ours; the bound also keeps the size arithmetic far from overflow.
constexpr int64_t kMaxSide = 32768;

// The largest picture file read: the archive's pictures are 480 x 480 (under 1 MB at 32 bits);
// a foreign picture of a few megapixels still loads, a huge file is refused unread.
constexpr size_t kMaxBmpFileBytes = 8u << 20;

std::atomic<uint64_t> g_decodes{0};

uint16_t Get16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t Get32(const std::string& b, size_t at) {
    return uint32_t{Get16(b, at)} | uint32_t{Get16(b, at + 2)} << 16;
}
void Put16(std::string& b, size_t at, uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& b, size_t at, uint32_t v) {
    Put16(b, at, static_cast<uint16_t>(v & 0xFFFF));
    Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

bool Fail(std::string* error, const char* why) {
    if (error)
        *error = why;
    return false;
}

struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    size_t rowStride = 0;
    size_t pixelOffset = 0;
    uint32_t palette[256] = {};
    uint32_t paletteCount = 0;
};

bool ReadLayout(const std::string& b, Layout& l, std::string* error) {
    if (b.size() < kBmpFileHeaderSize + kBmpInfoHeaderSize)
        return Fail(error, "the file is too short for a BMP header");
    if (b[0] != 'B' || b[1] != 'M')
        return Fail(error, "the file is not a BMP picture");
    const uint32_t fileSize = Get32(b, 2);
    const uint32_t offBits = Get32(b, 10);
    const uint32_t infoSize = Get32(b, 14);
    // The core header of OS/2 (12 bytes) and unknown sizes are not read.
    if (infoSize < kBmpInfoHeaderSize || infoSize > 1024)
        return Fail(error, "the BMP header has an unsupported size");
    if (fileSize != 0 && fileSize > b.size())
        return Fail(error, "the BMP file is shorter than its header says");
    const int64_t width = static_cast<int32_t>(Get32(b, 18));
    const int64_t height = static_cast<int32_t>(Get32(b, 22));
    const uint16_t planes = Get16(b, 26);
    const uint16_t bits = Get16(b, 28);
    const uint32_t compression = Get32(b, 30);
    const uint32_t clrUsed = Get32(b, 46);
    if (width <= 0 || height == 0 || width > kMaxSide || height > kMaxSide || height < -kMaxSide ||
        planes != 1)
        return Fail(error, "the BMP header gives an impossible size");
    if (bits != 8 && bits != 24 && bits != 32)
        return Fail(error, "the BMP pixel depth is not supported");
    if (compression != kBiRgb && !(bits == 32 && compression == kBiBitfields))
        return Fail(error, "the BMP compression is not supported");
    size_t headerEnd = kBmpFileHeaderSize + infoSize;
    if (compression == kBiBitfields) {
        // Only the usual masks: red, green and blue bytes in their BI_RGB places.
        const size_t masks = infoSize >= 52 ? kBmpFileHeaderSize + 40 : headerEnd;
        if (masks + 12 > b.size() || Get32(b, masks) != 0xFF0000 || Get32(b, masks + 4) != 0xFF00 ||
            Get32(b, masks + 8) != 0xFF)
            return Fail(error, "the BMP colour masks are not supported");
        if (infoSize < 52)
            headerEnd += 12;
    }
    l.width = static_cast<int>(width);
    l.topDown = height < 0;
    l.height = static_cast<int>(height < 0 ? -height : height);
    l.bits = bits;
    l.rowStride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    if (bits == 8) {
        l.paletteCount = clrUsed == 0 ? 256 : clrUsed;
        if (l.paletteCount > 256)
            return Fail(error, "the BMP palette is too large");
        if (headerEnd + l.paletteCount * 4 > b.size())
            return Fail(error, "the BMP file is shorter than its palette");
        for (uint32_t i = 0; i < l.paletteCount; ++i) {
            const size_t at = headerEnd + i * 4;
            l.palette[i] = MakePixel(static_cast<uint8_t>(b[at + 2]), static_cast<uint8_t>(b[at + 1]),
                                     static_cast<uint8_t>(b[at]));
        }
        headerEnd += l.paletteCount * 4;
    }
    if (offBits < kBmpFileHeaderSize + kBmpInfoHeaderSize || offBits > b.size())
        return Fail(error, "the BMP pixel offset lies outside the file");
    l.pixelOffset = offBits;
    if (l.pixelOffset + l.rowStride * static_cast<size_t>(l.height) > b.size())
        return Fail(error, "the BMP file is shorter than its pixels");
    return true;
}

// Calls put(x, y, pixel) for every pixel in top-down order.
template <typename Put>
void ForEachPixel(const std::string& b, const Layout& l, Put&& put) {
    const auto* data = reinterpret_cast<const uint8_t*>(b.data());
    for (int y = 0; y < l.height; ++y) {
        const int fileRow = l.topDown ? y : l.height - 1 - y;
        const uint8_t* row = data + l.pixelOffset + static_cast<size_t>(fileRow) * l.rowStride;
        if (l.bits == 8) {
            for (int x = 0; x < l.width; ++x)
                put(x, y, row[x] < l.paletteCount ? l.palette[row[x]] : 0u);
        } else {
            const int step = l.bits / 8;
            for (int x = 0; x < l.width; ++x) {
                const uint8_t* p = row + static_cast<size_t>(x) * step;
                put(x, y, MakePixel(p[2], p[1], p[0]));  // the fourth byte of 32-bit is ignored
            }
        }
    }
}

std::string MakeHeaders(int width, int height, int bits, uint32_t paletteBytes, size_t rowStride) {
    const size_t offBits = kBmpFileHeaderSize + kBmpInfoHeaderSize + paletteBytes;
    const size_t pixelBytes = rowStride * static_cast<size_t>(height);
    std::string b(offBits + pixelBytes, '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, static_cast<uint32_t>(offBits));
    Put32(b, 14, kBmpInfoHeaderSize);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));  // positive: bottom-up
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint16_t>(bits));
    Put32(b, 30, kBiRgb);
    Put32(b, 34, static_cast<uint32_t>(pixelBytes));
    Put32(b, 38, 3780);  // 96 dpi
    Put32(b, 42, 3780);
    Put32(b, 46, bits == 8 ? 256 : 0);
    return b;
}

}  // namespace

bool DecodeBmp(const std::string& bytes, Image32& out, std::string* error) {
    g_decodes.fetch_add(1, std::memory_order_relaxed);
    Layout l;
    if (!ReadLayout(bytes, l, error))
        return false;
    out.Resize(l.width, l.height);
    ForEachPixel(bytes, l, [&](int x, int y, uint32_t p) { out.At(x, y) = p; });
    return true;
}

bool DecodeBmpGrey(const std::string& bytes, Image8& out, std::string* error) {
    g_decodes.fetch_add(1, std::memory_order_relaxed);
    Layout l;
    if (!ReadLayout(bytes, l, error))
        return false;
    out.Resize(l.width, l.height);
    if (l.bits == 8) {
        // The grey of each palette entry once, then one lookup per pixel.
        uint8_t grey[256] = {};
        bool identity = l.paletteCount == 256;
        for (uint32_t i = 0; i < l.paletteCount; ++i) {
            grey[i] = NearestGrey(l.palette[i]);
            identity = identity && grey[i] == i;
        }
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        for (int y = 0; y < l.height; ++y) {
            const int fileRow = l.topDown ? y : l.height - 1 - y;
            const uint8_t* row = data + l.pixelOffset + static_cast<size_t>(fileRow) * l.rowStride;
            uint8_t* dst = out.Row(y);
            if (identity) {  // the archive's own grey frames: rows as they stand
                std::memcpy(dst, row, static_cast<size_t>(l.width));
                continue;
            }
            for (int x = 0; x < l.width; ++x)
                dst[x] = grey[row[x]];
        }
        return true;
    }
    ForEachPixel(bytes, l, [&](int x, int y, uint32_t p) { out.At(x, y) = NearestGrey(p); });
    return true;
}

bool ReadBmpFile(const std::string& path, Image32& out, std::string* error) {
    std::string bytes;
    if (!ReadFile(path, bytes, kMaxBmpFileBytes))
        return Fail(error, "the file cannot be read");
    return DecodeBmp(bytes, out, error);
}

bool ReadBmpFileGrey(const std::string& path, Image8& out, std::string* error) {
    std::string bytes;
    if (!ReadFile(path, bytes, kMaxBmpFileBytes))
        return Fail(error, "the file cannot be read");
    return DecodeBmpGrey(bytes, out, error);
}

std::string EncodeBmpGrey8(const Image8& image) {
    const size_t stride = (static_cast<size_t>(image.width()) + 3) / 4 * 4;
    std::string b = MakeHeaders(image.width(), image.height(), 8, kBmpGreyPaletteSize, stride);
    for (uint32_t i = 0; i < 256; ++i)
        Put32(b, kBmpFileHeaderSize + kBmpInfoHeaderSize + i * 4, i << 16 | i << 8 | i);
    const size_t offBits = kBmpFileHeaderSize + kBmpInfoHeaderSize + kBmpGreyPaletteSize;
    for (int y = 0; y < image.height(); ++y) {
        char* row = b.data() + offBits + static_cast<size_t>(image.height() - 1 - y) * stride;
        std::memcpy(row, image.Row(y), static_cast<size_t>(image.width()));
    }
    return b;
}

std::string EncodeBmp32(const Image32& image) {
    const size_t stride = static_cast<size_t>(image.width()) * 4;
    std::string b = MakeHeaders(image.width(), image.height(), 32, 0, stride);
    const size_t offBits = kBmpFileHeaderSize + kBmpInfoHeaderSize;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uint8_t*>(b.data() + offBits +
                                               static_cast<size_t>(image.height() - 1 - y) * stride);
        const uint32_t* src = image.Row(y);
        for (int x = 0; x < image.width(); ++x) {
            row[x * 4] = PixelB(src[x]);
            row[x * 4 + 1] = PixelG(src[x]);
            row[x * 4 + 2] = PixelR(src[x]);
            row[x * 4 + 3] = 0;
        }
    }
    return b;
}

uint64_t BmpDecodeCount() {
    return g_decodes.load(std::memory_order_relaxed);
}

}  // namespace platform
