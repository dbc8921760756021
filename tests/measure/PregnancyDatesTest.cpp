#include "measure/PregnancyDates.h"

#include <gtest/gtest.h>

#include "tests/measure/MeasureTestUtil.h"

namespace {
CivilDate Add(CivilDate d, int days) {
    return AddCivilDays(d, days).value();
}
}  // namespace

TEST(PregnancyDates, DayOffsetsOnCivilDates) {
    struct Case {
        const char* tz;
        CivilDate from;
        int days;
        CivilDate to;
    } const cases[] = {
        {"UTC", {2024, 1, 1}, kDueDaysFromLmp, {2024, 10, 7}},
        {"UTC", {2024, 1, 1}, kBbtDaysFromLmp, {2024, 1, 15}},
        {"UTC", {2024, 1, 15}, kDueDaysFromBbt, {2024, 10, 7}},
        {"UTC", {2024, 3, 5}, kDueDaysFromLmp, {2024, 12, 10}},
        // Across the end of daylight saving time, where adding seconds lands a day early.
        {"Europe/Berlin", {2024, 6, 1}, kDueDaysFromLmp, {2025, 3, 8}},
        {"Europe/Berlin", {2024, 10, 20}, kBbtDaysFromLmp, {2024, 11, 3}},
        {"America/New_York", {2024, 10, 20}, kBbtDaysFromLmp, {2024, 11, 3}},
    };
    for (const Case& c : cases) {
        measuretest::ScopedTimeZone tz(c.tz);
        EXPECT_EQ(Add(c.from, c.days), c.to)
            << c.tz << " " << c.from.year << "-" << c.from.month << "-" << c.from.day;
    }
}

TEST(PregnancyDates, ImpossibleDatesGiveNothing) {
    EXPECT_FALSE(AddCivilDays({2024, 2, 30}, 14));
    EXPECT_FALSE(AddCivilDays({0, 0, 0}, 280));
    platform::SystemTime unset;
    EXPECT_FALSE(ToCivilDate(unset));
    platform::SystemTime t;
    t.wYear = 2024;
    t.wMonth = 2;
    t.wDay = 29;
    EXPECT_EQ(ToCivilDate(t), (CivilDate{2024, 2, 29}));
}
