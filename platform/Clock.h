// Wall-clock and monotonic time in place of the Win32 time functions, behind one clock
// that tests can replace. SystemTime keeps the eight fields of the Windows record.
#pragma once

#include <cstdint>

namespace platform {

struct SystemTime {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;  // 1..12
    uint16_t wDayOfWeek = 0;  // 0 = Sunday
    uint16_t wDay = 0;  // 1..31
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;

    friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

class IClock {
public:
    virtual ~IClock() = default;
    // Microseconds since 1970-01-01 00:00:00 UTC.
    virtual int64_t UtcMicros() = 0;
    // A monotonic microsecond counter (the performance counter); its origin is arbitrary.
    virtual int64_t MonotonicMicros() = 0;
};

// The process clock: the system clock unless a test installed its own (not owned; nullptr restores).
IClock& Clock();
void SetClock(IClock* clock);

SystemTime GetLocalTime();
SystemTime GetSystemTimeUtc();

// Conversions between the broken-down forms and microseconds since the epoch, in the
// process's time zone (TZ) for local time. False when the fields are not a valid time.
bool LocalToMicros(const SystemTime& local, int64_t& utcMicros);
bool UtcToMicros(const SystemTime& utc, int64_t& utcMicros);
SystemTime MicrosToLocal(int64_t utcMicros);
SystemTime MicrosToUtc(int64_t utcMicros);
bool LocalToUtc(const SystemTime& local, SystemTime& utc);
bool UtcToLocal(const SystemTime& utc, SystemTime& local);

// Calendar arithmetic that never goes through seconds: a DST change cannot lose a day.
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int& year, int& month, int& day);
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);
int DayOfWeek(int year, int month, int day);  // 0 = Sunday

}  // namespace platform
