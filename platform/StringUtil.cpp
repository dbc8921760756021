#include "platform/StringUtil.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace platform {

namespace {
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

// Switches the calling thread to the C locale for the lifetime of the guard.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(CLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }

private:
    locale_t previous_;
};
}  // namespace

std::string Format(const char* format, ...) {
    CLocaleScope cLocale;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n));
        std::vsnprintf(out.data(), out.size() + 1, format, args);
    }
    va_end(args);
    return out;
}

int32_t ParseInt32(const std::string& text, int base) {
    const long v = strtol_l(text.c_str(), nullptr, base, CLocale());
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

uint32_t ParseUInt32(const std::string& text, int base) {
    // strtoul negates a leading minus in its own width; do it in 32 bits as the original did.
    const char* p = text.c_str();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (*p == '+' || *p == '-') return 0;
    errno = 0;
    const unsigned long v = strtoul_l(p, nullptr, base, CLocale());
    if (errno == ERANGE || v > UINT32_MAX) return UINT32_MAX;
    const uint32_t u = static_cast<uint32_t>(v);
    return negative ? static_cast<uint32_t>(0u - u) : u;
}

double ParseDouble(const std::string& text) { return strtod_l(text.c_str(), nullptr, CLocale()); }

namespace {
// Length of the UTF-8 sequence starting at text[i], or 1 for an invalid byte.
size_t SequenceLength(const std::string& text, size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > text.size()) return 1;
    for (size_t k = 1; k < len; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
    }
    return len;
}
}  // namespace

size_t CountCodePoints(const std::string& utf8) {
    size_t count = 0;
    for (size_t i = 0; i < utf8.size(); i += SequenceLength(utf8, i)) ++count;
    return count;
}

std::string TruncateCodePoints(const std::string& utf8, size_t count) {
    size_t i = 0;
    for (size_t n = 0; n < count && i < utf8.size(); ++n) i += SequenceLength(utf8, i);
    return utf8.substr(0, i);
}

bool IsValidUtf8(const std::string& text) {
    // Strict: the shortest form only, no surrogates, nothing above U+10FFFF. Overlong forms
    // would let the same name pass in two spellings (C0 AE is a second '.').
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0)
                lo = 0xA0;  // below is overlong
            if (c == 0xED)
                hi = 0x9F;  // above are the surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0)
                lo = 0x90;  // below is overlong
            if (c == 0xF4)
                hi = 0x8F;  // above is past U+10FFFF
        } else {
            return false;  // continuation byte, C0, C1 or F5..FF
        }
        if (i + len > n)
            return false;
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if (second < lo || second > hi)
            return false;
        for (size_t k = 2; k < len; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += len;
    }
    return true;
}

}  // namespace platform
