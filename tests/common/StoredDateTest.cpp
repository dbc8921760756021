#include "common/StoredDate.h"

#include <gtest/gtest.h>

TEST(StoredDate, ReadsYearMonthDayAndRefusesTheRest) {
    const struct {
        const char* text;
        std::optional<CivilDate> date;
    } cases[] = {
        {"2024-03-05", CivilDate{2024, 3, 5}},
        {"2024-3-5", CivilDate{2024, 3, 5}},
        {"2024-03-05T00", CivilDate{2024, 3, 5}},  // what follows the day is not read
        {"2024-02-29", CivilDate{2024, 2, 29}},
        {"2000-02-29", CivilDate{2000, 2, 29}},
        {"2024-02-30", std::nullopt},
        {"2023-02-29", std::nullopt},
        {"1900-02-29", std::nullopt},
        {"2024-04-31", std::nullopt},
        {"2024-13-01", std::nullopt},
        {"2024-00-10", std::nullopt},
        {"2024-01-00", std::nullopt},
        {"0000-01-01", std::nullopt},
        {"", std::nullopt},
        {"1990-8", std::nullopt},
        {"05-03-2024", std::nullopt},  // a display form, not the stored one
        {"2024/03/05", std::nullopt},
        {"abcd-ef-gh", std::nullopt},
        {"-2024-03-05", std::nullopt},
        {"20240-03-05", std::nullopt},  // the year is four digits at most
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseStoredDate(c.text), c.date) << '"' << c.text << '"';
    EXPECT_EQ(FormatStoredDate({2024, 3, 5}), "2024-03-05");
    EXPECT_EQ(FormatStoredDate({987, 12, 31}), "0987-12-31");
}
