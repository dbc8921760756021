// Due dates and the derived BBT date. Days are added to the civil date, never as seconds, so
// a daylight-saving change in between cannot move a date by one.
#pragma once

#include <optional>
#include <string>

#include "platform/Clock.h"

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

inline constexpr int kDueDaysFromLmp = 280;
inline constexpr int kBbtDaysFromLmp = 14;
inline constexpr int kDueDaysFromBbt = 266;

// The date part of a SYSTEMTIME-style record; none when it is not a real date.
std::optional<CivilDate> ToCivilDate(const platform::SystemTime& time);
// The date `days` later (earlier when negative); none for an impossible date.
std::optional<CivilDate> AddCivilDays(const CivilDate& date, int days);
// Reads "%04d-%02d-%02d" as the patient record stores it; none for any other text or an
// impossible date such as "2024-02-30".
std::optional<CivilDate> ParseStoredDate(const std::string& text);
// "%04d-%02d-%02d".
std::string FormatStoredDate(const CivilDate& date);
