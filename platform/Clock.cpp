#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace platform {

namespace {

class SystemClock : public IClock {
public:
    int64_t UtcMicros() override {
        using namespace std::chrono;
        return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    }
    int64_t MonotonicMicros() override {
        using namespace std::chrono;
        return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

SystemClock g_systemClock;
std::atomic<IClock*> g_clock{nullptr};

SystemTime FromTm(const std::tm& tm, int milliseconds) {
    SystemTime st;
    st.wYear = static_cast<uint16_t>(tm.tm_year + 1900);
    st.wMonth = static_cast<uint16_t>(tm.tm_mon + 1);
    st.wDayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    st.wDay = static_cast<uint16_t>(tm.tm_mday);
    st.wHour = static_cast<uint16_t>(tm.tm_hour);
    st.wMinute = static_cast<uint16_t>(tm.tm_min);
    st.wSecond = static_cast<uint16_t>(tm.tm_sec);
    st.wMilliseconds = static_cast<uint16_t>(milliseconds);
    return st;
}

bool ValidFields(const SystemTime& t) {
    return IsValidDate(t.wYear, t.wMonth, t.wDay) && t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 &&
           t.wMilliseconds < 1000;
}

std::tm ToTm(const SystemTime& t) {
    std::tm tm{};
    tm.tm_year = t.wYear - 1900;
    tm.tm_mon = t.wMonth - 1;
    tm.tm_mday = t.wDay;
    tm.tm_hour = t.wHour;
    tm.tm_min = t.wMinute;
    tm.tm_sec = t.wSecond;
    tm.tm_isdst = -1;
    return tm;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

IClock& Clock() {
    IClock* c = g_clock.load(std::memory_order_acquire);
    return c ? *c : g_systemClock;
}

void SetClock(IClock* clock) { g_clock.store(clock, std::memory_order_release); }

SystemTime MicrosToLocal(int64_t utcMicros) {
    const int64_t secs = FloorDiv(utcMicros, 1000000);
    const int ms = static_cast<int>((utcMicros - secs * 1000000) / 1000);
    std::time_t tt = static_cast<std::time_t>(secs);
    std::tm tm{};
    localtime_r(&tt, &tm);
    return FromTm(tm, ms);
}

SystemTime MicrosToUtc(int64_t utcMicros) {
    const int64_t secs = FloorDiv(utcMicros, 1000000);
    const int ms = static_cast<int>((utcMicros - secs * 1000000) / 1000);
    std::time_t tt = static_cast<std::time_t>(secs);
    std::tm tm{};
    gmtime_r(&tt, &tm);
    return FromTm(tm, ms);
}

SystemTime GetLocalTime() { return MicrosToLocal(Clock().UtcMicros()); }
SystemTime GetSystemTimeUtc() { return MicrosToUtc(Clock().UtcMicros()); }

bool LocalToMicros(const SystemTime& local, int64_t& utcMicros) {
    if (!ValidFields(local)) return false;
    std::tm tm = ToTm(local);
    const std::time_t tt = mktime(&tm);
    if (tt == static_cast<std::time_t>(-1) && !(tm.tm_year == 69 && tm.tm_mon == 11 && tm.tm_mday == 31)) {
        return false;
    }
    utcMicros = static_cast<int64_t>(tt) * 1000000 + local.wMilliseconds * 1000;
    return true;
}

bool UtcToMicros(const SystemTime& utc, int64_t& utcMicros) {
    if (!ValidFields(utc)) return false;
    std::tm tm = ToTm(utc);
    const std::time_t tt = timegm(&tm);
    utcMicros = static_cast<int64_t>(tt) * 1000000 + utc.wMilliseconds * 1000;
    return true;
}

bool LocalToUtc(const SystemTime& local, SystemTime& utc) {
    int64_t us = 0;
    if (!LocalToMicros(local, us)) return false;
    utc = MicrosToUtc(us);
    return true;
}

bool UtcToLocal(const SystemTime& utc, SystemTime& local) {
    int64_t us = 0;
    if (!UtcToMicros(utc, us)) return false;
    local = MicrosToLocal(us);
    return true;
}

// Days since 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's algorithm).
int64_t DaysFromCivil(int year, int month, int day) {
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t mp = (month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const int64_t era = FloorDiv(days, 146097);
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1601 && year <= 30827 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

int DayOfWeek(int year, int month, int day) {
    const int64_t d = DaysFromCivil(year, month, day);
    return static_cast<int>(((d % 7) + 11) % 7);  // 1970-01-01 was a Thursday
}

}  // namespace platform
