// Helpers of the measurement tests: scales by depth without a probe, a time zone for the
// length of a test, and a clock standing at a chosen local date.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "imaging/ScanGeometry.h"
#include "measure/MeasureScale.h"
#include "platform/Clock.h"
#include "tests/support/TestSupport.h"

namespace measuretest {

// The plain scale 470 / depth pixels per millimetre (no convex sector path).
inline MeasureScale ScaleAtDepth(int depth) {
    return MeasureScale::ForDepth(ScanGeometry{}, 1, depth);
}

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) : env_(std::in_place, "TZ", std::string(tz)) { tzset(); }
    ~ScopedTimeZone() {
        env_.reset();
        tzset();
    }

private:
    std::optional<testsupport::ScopedEnv> env_;
};

// A fake clock at local noon of the date (in the current time zone).
class ClockAtDate {
public:
    ClockAtDate(int year, int month, int day) {
        platform::SystemTime t;
        t.wYear = static_cast<uint16_t>(year);
        t.wMonth = static_cast<uint16_t>(month);
        t.wDay = static_cast<uint16_t>(day);
        t.wHour = 12;
        int64_t micros = 0;
        platform::LocalToMicros(t, micros);
        clock_.SetUtcMicros(micros);
    }

private:
    testsupport::FakeClock clock_;
};

}  // namespace measuretest
