#include "platform/Clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include "tests/support/TestSupport.h"

using namespace platform;

TEST(Calendar, DaysRoundTripAndKnownDates) {
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1) - DaysFromCivil(2000, 2, 28), 2);  // leap year
    EXPECT_EQ(DaysFromCivil(1900, 3, 1) - DaysFromCivil(1900, 2, 28), 1);  // not a leap year
    for (int64_t d = -800000; d < 800000; d += 997) {
        int y, m, day;
        CivilFromDays(d, y, m, day);
        ASSERT_EQ(DaysFromCivil(y, m, day), d);
    }
    EXPECT_EQ(DayOfWeek(2026, 12, 10), 4);  // a Thursday
}

TEST(Calendar, ValidDates) {
    EXPECT_TRUE(IsValidDate(2024, 2, 29));
    EXPECT_FALSE(IsValidDate(2023, 2, 29));
    EXPECT_FALSE(IsValidDate(2023, 13, 1));
    EXPECT_FALSE(IsValidDate(2023, 4, 31));
    EXPECT_FALSE(IsValidDate(2023, 4, 0));
}

TEST(Clock, LocalAndUtcFollowTheTimeZone) {
    testsupport::ScopedEnv tz("TZ", "Europe/Berlin");
    tzset();
    SystemTime local{2024, 7, 0, 1, 12, 30, 15, 250};
    SystemTime utc;
    ASSERT_TRUE(LocalToUtc(local, utc));
    EXPECT_EQ(utc.wHour, 10);  // CEST is UTC+2
    EXPECT_EQ(utc.wMilliseconds, 250);
    SystemTime back;
    ASSERT_TRUE(UtcToLocal(utc, back));
    EXPECT_EQ(back.wHour, 12);
    EXPECT_EQ(back.wDayOfWeek, 1);  // a Monday
    SystemTime bad{2024, 2, 0, 30, 0, 0, 0, 0};
    EXPECT_FALSE(LocalToUtc(bad, utc));
}

TEST(Clock, ReplaceableClockDrivesLocalTime) {
    testsupport::ScopedEnv tz("TZ", "UTC");
    tzset();
    {
        testsupport::FakeClock clock;
        clock.SetUtcMicros(int64_t{86400} * 1000000 + 1500);
        const SystemTime t = GetLocalTime();
        EXPECT_EQ(t.wYear, 1970);
        EXPECT_EQ(t.wDay, 2);
        EXPECT_EQ(t.wMilliseconds, 1);
    }
    EXPECT_GT(GetLocalTime().wYear, 2020);
}
