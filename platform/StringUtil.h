// Small text helpers shared by every folder: printf-style formatting into std::string and
// UTF-8 code-point counting (texts are UTF-8; where lengths are limited, code points count).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// printf-style formatting, always with the C locale's number forms (file formats depend on it).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// strtol / strtoul / strtod in the C locale: leading white space skipped, parsing stops at
// the first character that does not fit, no number gives 0. Results are clamped to 32 bits
// the way a 32-bit C library reports overflow (the type's limit).
int32_t ParseInt32(const std::string& text, int base = 10);
uint32_t ParseUInt32(const std::string& text, int base = 10);
double ParseDouble(const std::string& text);

// Number of code points in a UTF-8 text (invalid bytes count one each).
size_t CountCodePoints(const std::string& utf8);

// The first `count` code points of a UTF-8 text.
std::string TruncateCodePoints(const std::string& utf8, size_t count);

bool IsValidUtf8(const std::string& text);

}  // namespace platform
