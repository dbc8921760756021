#include "measure/PregnancyDates.h"

#include <cctype>
#include <string>

#include "platform/StringUtil.h"

namespace {
bool IsRealDate(const CivilDate& d) {
    return platform::IsValidDate(d.year, d.month, d.day);
}
}  // namespace

std::optional<CivilDate> ToCivilDate(const platform::SystemTime& time) {
    const CivilDate d{time.wYear, time.wMonth, time.wDay};
    if (!IsRealDate(d))
        return std::nullopt;
    return d;
}

std::optional<CivilDate> AddCivilDays(const CivilDate& date, int days) {
    if (!IsRealDate(date))
        return std::nullopt;
    CivilDate out;
    platform::CivilFromDays(platform::DaysFromCivil(date.year, date.month, date.day) + days, out.year,
                            out.month, out.day);
    if (!IsRealDate(out))
        return std::nullopt;
    return out;
}

std::optional<CivilDate> ParseStoredDate(const std::string& text) {
    // As "%04d-%02d-%02d" reads: up to four, two and two digits between dashes; what follows
    // the day is ignored.
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
    const CivilDate d{fields[0], fields[1], fields[2]};
    if (!IsRealDate(d))
        return std::nullopt;
    return d;
}

std::string FormatStoredDate(const CivilDate& date) {
    return platform::Format("%04d-%02d-%02d", date.year, date.month, date.day);
}
