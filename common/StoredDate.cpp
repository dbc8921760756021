#include "common/StoredDate.h"

#include <cctype>

#include "platform/Clock.h"
#include "platform/StringUtil.h"

std::optional<CivilDate> ParseStoredDate(const std::string& text) {
    size_t pos = 0;
    int fields[3] = {0, 0, 0};
    const size_t widths[3] = {4, 2, 2};
    for (int f = 0; f < 3; ++f) {
        if (f > 0) {
            if (pos >= text.size() || text[pos] != '-')
                return std::nullopt;
            ++pos;
        }
        size_t n = 0;
        while (n < widths[f] && pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
            fields[f] = fields[f] * 10 + (text[pos] - '0');
            ++pos;
            ++n;
        }
        if (n == 0)
            return std::nullopt;
    }
    if (!platform::IsValidDate(fields[0], fields[1], fields[2]))
        return std::nullopt;
    return CivilDate{fields[0], fields[1], fields[2]};
}

std::string FormatStoredDate(const CivilDate& date) {
    return platform::Format("%04d-%02d-%02d", date.year, date.month, date.day);
}
