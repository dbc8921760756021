// The user's date display format. Every date the program shows or reads back from a
// display text goes through a DateFormatter; stored dates never do (the records keep
// "YYYY-MM-DD" and 14-digit stamps whatever the display format).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Clock.h"

enum DateFormatMode : int32_t {
    DateFormatModeDayFirst = 0,    // "DD-MM-YYYY"
    DateFormatModeYearFirst = 1,   // "YYYY-MM-DD"
    DateFormatModeMonthFirst = 2,  // "MM-DD-YYYY"
};

class DateFormatter {
public:
    // A mode other than the three gives day first.
    explicit DateFormatter(int32_t mode = DateFormatModeDayFirst);

    // The mode whose name equals the text exactly (case matters); day first otherwise.
    static DateFormatter FromName(const std::string& name);

    int32_t GetMode() const { return mode_; }
    std::string GetName() const;
    // The printf pattern of the date, its fields in the mode's order.
    std::string GetPattern() const;

    // The date in the mode's order; with time, followed by " hh:mm:ss.mmm".
    std::string FormatDateTime(const platform::SystemTime& time, bool withTime) const;
    // A date given as numbers, as FormatDateTime prints it without time.
    std::string FormatDate(int year, int month, int day) const;
    // The local date of a time value (seconds since 1970); with time, followed by
    // " hh:mm:ss". A time value the system cannot convert prints as date 0 and time -1.
    std::string FormatTime(int64_t timeValue, bool withTime) const;

    // The 14-digit stamp of a displayed date, optionally followed by " hh:mm:ss" (missing
    // time numbers count as 0, anything after the seconds is ignored). Empty when the text
    // does not hold a valid date in this mode, or holds a time out of range.
    std::string ParseToStamp(const std::string& text) const;

private:
    int32_t mode_;
};
