#include "common/DateFormatter.h"

#include <ctime>
#include <iterator>

#include "common/ArchiveNames.h"
#include "platform/StringUtil.h"

namespace {

struct ModeInfo {
    const char* name;
    const char* pattern;
};

constexpr ModeInfo kModes[] = {
    {"DD-MM-YYYY", "%02d-%02d-%04d"},
    {"YYYY-MM-DD", "%04d-%02d-%02d"},
    {"MM-DD-YYYY", "%02d-%02d-%04d"},
};
constexpr int32_t kModeCount = static_cast<int32_t>(std::size(kModes));

// Puts year, month and day into the mode's field order and back.
void ToFieldOrder(int32_t mode, int year, int month, int day, int (&f)[3]) {
    switch (mode) {
        case DateFormatModeYearFirst:
            f[0] = year, f[1] = month, f[2] = day;
            break;
        case DateFormatModeMonthFirst:
            f[0] = month, f[1] = day, f[2] = year;
            break;
        default:
            f[0] = day, f[1] = month, f[2] = year;
            break;
    }
}

void FromFieldOrder(int32_t mode, const int (&f)[3], int& year, int& month, int& day) {
    switch (mode) {
        case DateFormatModeYearFirst:
            year = f[0], month = f[1], day = f[2];
            break;
        case DateFormatModeMonthFirst:
            month = f[0], day = f[1], year = f[2];
            break;
        default:
            day = f[0], month = f[1], year = f[2];
            break;
    }
}

// A cursor over a display text that reads unsigned numbers of bounded width.
struct TextReader {
    const std::string& text;
    size_t pos = 0;

    bool AtEnd() const { return pos >= text.size(); }
    bool Take(char c) {
        if (AtEnd() || text[pos] != c)
            return false;
        ++pos;
        return true;
    }
    void SkipDigits() {
        while (!AtEnd() && text[pos] >= '0' && text[pos] <= '9')
            ++pos;
    }
    // True when at least one blank was skipped.
    bool SkipSpaces() {
        const size_t start = pos;
        while (!AtEnd() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        return pos > start;
    }
    bool RestIsBlank() {
        SkipSpaces();
        return AtEnd();
    }
    // One to `width` digits.
    bool Number(int width, int& value) {
        value = 0;
        int digits = 0;
        while (digits < width && !AtEnd() && text[pos] >= '0' && text[pos] <= '9') {
            value = value * 10 + (text[pos++] - '0');
            ++digits;
        }
        return digits > 0;
    }
};

}  // namespace

DateFormatter::DateFormatter(int32_t mode)
    : mode_(mode >= 0 && mode < kModeCount ? mode : DateFormatModeDayFirst) {}

DateFormatter DateFormatter::FromName(const std::string& name) {
    for (int32_t mode = 0; mode < kModeCount; ++mode) {
        if (name == kModes[mode].name)
            return DateFormatter(mode);
    }
    return DateFormatter(DateFormatModeDayFirst);
}

std::string DateFormatter::GetName() const {
    return kModes[mode_].name;
}
std::string DateFormatter::GetPattern() const {
    return kModes[mode_].pattern;
}

std::string DateFormatter::FormatDate(int year, int month, int day) const {
    int f[3];
    ToFieldOrder(mode_, year, month, day, f);
    if (mode_ == DateFormatModeYearFirst)
        return platform::Format("%04d-%02d-%02d", f[0], f[1], f[2]);
    return platform::Format("%02d-%02d-%04d", f[0], f[1], f[2]);
}

std::string DateFormatter::FormatDateTime(const platform::SystemTime& time, bool withTime) const {
    std::string text = FormatDate(time.wYear, time.wMonth, time.wDay);
    if (withTime) {
        text += platform::Format(" %02d:%02d:%02d.%03d", time.wHour, time.wMinute, time.wSecond,
                                 time.wMilliseconds);
    }
    return text;
}

std::string DateFormatter::FormatTime(int64_t timeValue, bool withTime) const {
    int year = 0, month = 0, day = 0, hour = -1, minute = -1, second = -1;
    const std::time_t tt = static_cast<std::time_t>(timeValue);
    std::tm tm{};
    if (localtime_r(&tt, &tm)) {
        year = tm.tm_year + 1900;
        month = tm.tm_mon + 1;
        day = tm.tm_mday;
        hour = tm.tm_hour;
        minute = tm.tm_min;
        second = tm.tm_sec;
    }
    std::string text = FormatDate(year, month, day);
    if (withTime)
        text += platform::Format(" %02d:%02d:%02d", hour, minute, second);
    return text;
}

std::string DateFormatter::ParseToStamp(const std::string& text) const {
    const bool yearFirst = mode_ == DateFormatModeYearFirst;
    const int widths[3] = {yearFirst ? 4 : 2, 2, yearFirst ? 2 : 4};
    TextReader in{text};
    int f[3] = {0, 0, 0};
    in.SkipSpaces();
    for (int i = 0; i < 3; ++i) {
        if ((i > 0 && !in.Take('-')) || !in.Number(widths[i], f[i]))
            return {};
    }
    int hour = 0, minute = 0, second = 0;
    const bool spaced = in.SkipSpaces();
    if (!in.AtEnd()) {
        // A time follows after white space. Missing minutes or seconds count as 0; the
        // milliseconds a date-time text may carry are not part of a stamp.
        if (!spaced || !in.Number(2, hour))
            return {};
        if (in.Take(':')) {
            if (!in.Number(2, minute))
                return {};
            if (in.Take(':')) {
                if (!in.Number(2, second))
                    return {};
                if (in.Take('.'))
                    in.SkipDigits();
            }
        }
        if (!in.RestIsBlank())
            return {};
    }
    int year = 0, month = 0, day = 0;
    FromFieldOrder(mode_, f, year, month, day);
    if (!platform::IsValidDate(year, month, day))
        return {};
    if (hour > 23 || minute > 59 || second > 59)
        return {};
    return MakeStamp(year, month, day, hour, minute, second);
}
