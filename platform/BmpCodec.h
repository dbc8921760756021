// BMP files of the archive, in place of the Windows image encoders. Reading accepts what
// other programs write too: 8-bit palettised, 24- and 32-bit uncompressed pictures, stored
// bottom-up or top-down; the fourth byte of a 32-bit pixel is ignored whatever it holds.
// A header that promises more pixels than the file holds is refused, never read past.
// Writing makes the two forms the archive stores: cine frames as 8-bit grey with the
// palette i = (i, i, i, 0), and stills as 32-bit BI_RGB with the fourth byte 0.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Image.h"

namespace platform {

inline constexpr size_t kBmpFileHeaderSize = 14;
inline constexpr size_t kBmpInfoHeaderSize = 40;
inline constexpr size_t kBmpGreyPaletteSize = 256 * 4;

// Decodes a whole BMP file into 0x00RRGGBB pixels. False, with `error` saying why, for a file
// that is not a BMP, uses a form not listed above, or is shorter than its header says.
bool DecodeBmp(const std::string& bytes, Image32& out, std::string* error = nullptr);
// The same, each pixel turned into the nearest grey level, round((r + g + b) / 3).
bool DecodeBmpGrey(const std::string& bytes, Image8& out, std::string* error = nullptr);
// Reading a file: only a regular file of at most 8 MiB is read at all.
bool ReadBmpFile(const std::string& path, Image32& out, std::string* error = nullptr);
bool ReadBmpFileGrey(const std::string& path, Image8& out, std::string* error = nullptr);

// An 8-bit bottom-up BMP with the 256-level grey palette (a 480 x 480 frame is 231,478 bytes).
std::string EncodeBmpGrey8(const Image8& image);
// A 32-bit bottom-up BI_RGB BMP whose fourth byte is 0.
std::string EncodeBmp32(const Image32& image);

// Every decode counts here, so tests can prove that a screen decoded no picture.
uint64_t BmpDecodeCount();

// round((r + g + b) / 3) of a 0x00RRGGBB pixel.
constexpr uint8_t NearestGrey(uint32_t pixel) {
    return static_cast<uint8_t>((PixelR(pixel) + PixelG(pixel) + PixelB(pixel) + 1) / 3);
}

}  // namespace platform
