#include "common/DateFormatter.h"

#include <gtest/gtest.h>
#include <cstdint>

#include "common/CommonUtil.h"
#include "tests/common/ArchiveTestFixture.h"

namespace {

platform::SystemTime August20() {
    return MakeTime(2020, 8, 20, 10, 2, 3, 45);
}

// Cases that need the archive's settings file or a time zone of their own.
using DateFormatterSettingsTest = ArchiveTest;

}  // namespace

TEST(DateFormatterTest, EachModeFormatsAndParsesBackTheSameDate) {
    struct Case {
        int32_t mode;
        const char* name;
        const char* date;
    };
    const Case cases[] = {
        {DateFormatModeDayFirst, "DD-MM-YYYY", "20-08-2020"},
        {DateFormatModeYearFirst, "YYYY-MM-DD", "2020-08-20"},
        {DateFormatModeMonthFirst, "MM-DD-YYYY", "08-20-2020"},
    };
    for (const Case& c : cases) {
        const DateFormatter f(c.mode);
        EXPECT_EQ(f.GetName(), c.name);
        EXPECT_EQ(DateFormatter::FromName(c.name).GetMode(), c.mode);
        EXPECT_EQ(f.FormatDateTime(August20(), false), c.date);
        const std::string withTime = f.FormatDateTime(August20(), true);
        EXPECT_EQ(withTime, std::string(c.date) + " 10:02:03.045");

        EXPECT_EQ(f.ParseToStamp(withTime), "20200820100203") << c.name;
        EXPECT_EQ(f.ParseToStamp(std::string(c.date) + " 10:02:03"), "20200820100203") << c.name;
        EXPECT_EQ(f.ParseToStamp(c.date), "20200820000000") << c.name;
        EXPECT_EQ(f.ParseToStamp(std::string(c.date) + " 9:05"), "20200820090500") << c.name;
    }
}

TEST(DateFormatterTest, UnknownModesAndNamesGiveDayFirst) {
    EXPECT_EQ(DateFormatter(3).GetMode(), DateFormatModeDayFirst);
    EXPECT_EQ(DateFormatter(-1).GetMode(), DateFormatModeDayFirst);
    EXPECT_EQ(DateFormatter::FromName("yyyy-mm-dd").GetMode(), DateFormatModeDayFirst);
    EXPECT_EQ(DateFormatter::FromName("").GetMode(), DateFormatModeDayFirst);
    EXPECT_EQ(DateFormatter(DateFormatModeYearFirst).GetPattern(), "%04d-%02d-%02d");
    EXPECT_EQ(DateFormatter(DateFormatModeMonthFirst).GetPattern(), "%02d-%02d-%04d");
}

TEST(DateFormatterTest, InvalidDisplayTextsAreRefused) {
    const DateFormatter dayFirst(DateFormatModeDayFirst);
    for (const char* text :
         {"", "   ", "2020-08-20", "20/08/2020", "20-08", "31-02-2020", "00-08-2020", "20-13-2020",
          "20-08-20201", "20-08-2020x", "20-08-202010:02:03", "20-08-2020 24:00:00", "20-08-2020 10:60",
          "20-08-2020 10:02:60", "20-08-2020 10:02:03 pm", "-1-08-2020", "20-08-2020 10:"}) {
        EXPECT_EQ(dayFirst.ParseToStamp(text), "") << text;
    }
    const DateFormatter yearFirst(DateFormatModeYearFirst);
    EXPECT_EQ(yearFirst.ParseToStamp("20-08-2020"), "");
    EXPECT_EQ(yearFirst.ParseToStamp("2021-02-29"), "");
    EXPECT_EQ(yearFirst.ParseToStamp("2020-02-29"), "20200229000000");
}

TEST_F(DateFormatterSettingsTest, FormatTimeShowsLocalDateOfATimeValue) {
    SetTimeZone("JST-9");
    const int64_t august20At010203Utc = kAugust20At010203Utc / 1000000;
    EXPECT_EQ(DateFormatter(DateFormatModeYearFirst).FormatTime(august20At010203Utc, true),
              "2020-08-20 10:02:03");
    EXPECT_EQ(DateFormatter(DateFormatModeDayFirst).FormatTime(august20At010203Utc, false), "20-08-2020");
    EXPECT_EQ(DateFormatter(DateFormatModeDayFirst).FormatTime(INT64_MAX, true), "00-00-0000 -1:-1:-1");
}

TEST_F(DateFormatterSettingsTest, CurrentFormatterFollowsTheSetting) {
    EXPECT_EQ(CCommonUtil::GetDateFormatter().GetMode(), DateFormatModeDayFirst);
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::date_format, "YYYY-MM-DD"));
    EXPECT_EQ(CCommonUtil::GetDateFormatter().FormatDateTime(August20(), false), "2020-08-20");
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::date_format, "yyyy-mm-dd"));
    EXPECT_EQ(CCommonUtil::GetDateFormatter().GetMode(), DateFormatModeDayFirst);
}
