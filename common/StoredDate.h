// The date as patient records store it: "%04d-%02d-%02d", whatever the display format.
#pragma once

#include <optional>
#include <string>

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// Reads "%04d-%02d-%02d": up to four, two and two digits between dashes, anything after the
// day ignored. None for any other text or an impossible date such as "2024-02-30".
std::optional<CivilDate> ParseStoredDate(const std::string& text);
// "%04d-%02d-%02d".
std::string FormatStoredDate(const CivilDate& date);
