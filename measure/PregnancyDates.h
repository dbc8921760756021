// Due dates and the derived BBT date. Days are added to the civil date, never as seconds, so
// a daylight-saving change in between cannot move a date by one.
#pragma once

#include <optional>
#include <string>

#include "common/StoredDate.h"
#include "platform/Clock.h"

inline constexpr int kDueDaysFromLmp = 280;
inline constexpr int kBbtDaysFromLmp = 14;
inline constexpr int kDueDaysFromBbt = 266;

// The date part of a SYSTEMTIME-style record; none when it is not a real date.
std::optional<CivilDate> ToCivilDate(const platform::SystemTime& time);
// The date `days` later (earlier when negative); none for an impossible date.
std::optional<CivilDate> AddCivilDays(const CivilDate& date, int days);
