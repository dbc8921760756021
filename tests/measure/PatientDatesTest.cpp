#include "measure/PatientDates.h"

#include <gtest/gtest.h>

#include "common/User.h"
#include "tests/measure/MeasureTestUtil.h"

namespace {
platform::SystemTime Date(int y, int m, int d) {
    platform::SystemTime t;
    t.wYear = static_cast<uint16_t>(y);
    t.wMonth = static_cast<uint16_t>(m);
    t.wDay = static_cast<uint16_t>(d);
    t.wDayOfWeek = static_cast<uint16_t>(platform::DayOfWeek(y, m, d));
    return t;
}
const DateFormatter kDayFirst(DateFormatModeDayFirst);
}  // namespace

TEST(PatientDates, ShownInTheUserFormatStoredYearFirst) {
    ObPatientDates dates;
    SetLmpDate(dates, Date(2024, 3, 5), kDayFirst);
    EXPECT_EQ(dates.lmpText, "05-03-2024");
    CUser user;
    user.m_strBbt = "2024-03-20";
    WritePatientDates(dates, user);
    EXPECT_EQ(user.m_strLmp, "2024-03-05");
    EXPECT_EQ(user.m_strBbt, "2024-03-20") << "an empty text never overwrites the stored value";

    ObPatientDates loaded;
    ReadPatientDates(&user, DateFormatter(DateFormatModeMonthFirst), loaded);
    EXPECT_EQ(loaded.lmpText, "03-05-2024");
    EXPECT_EQ(loaded.bbtText, "03-20-2024");
    EXPECT_EQ(loaded.bbtDate.wDay, 20);
}

TEST(PatientDates, FailedLoadAndImpossibleDatesLeaveNoOldTexts) {
    ObPatientDates dates;
    SetLmpDate(dates, Date(2024, 1, 1), kDayFirst);
    SetBbtDate(dates, Date(2024, 1, 15), kDayFirst);
    ReadPatientDates(nullptr, kDayFirst, dates);  // the next patient's record cannot be read
    EXPECT_EQ(dates.lmpText, "");
    EXPECT_EQ(dates.bbtText, "");

    CUser user;
    user.m_strLmp = "2024-02-30";
    user.m_strBbt = "15.01.2024";
    SetLmpDate(dates, Date(2024, 1, 1), kDayFirst);
    ReadPatientDates(&user, kDayFirst, dates);
    EXPECT_EQ(dates.lmpText, "");
    EXPECT_EQ(dates.bbtText, "");
    EXPECT_EQ(dates.lmpDate, Date(2024, 1, 1)) << "an ignored date leaves the date unchanged";
}

TEST(PatientDates, PickerStartsAtTheBestKnownDate) {
    measuretest::ScopedTimeZone tz("UTC");
    measuretest::ClockAtDate today(2024, 4, 10);
    ObPatientDates dates;
    EXPECT_EQ(LmpPickerStart(dates), Date(2024, 4, 10));
    EXPECT_EQ(BbtPickerStart(dates).wDay, 10);
    SetLmpDate(dates, Date(2024, 1, 1), kDayFirst);
    EXPECT_EQ(BbtPickerStart(dates), Date(2024, 1, 1)) << "no BBT but an LMP: start at the LMP";
    SetBbtDate(dates, Date(2024, 1, 20), kDayFirst);
    EXPECT_EQ(BbtPickerStart(dates), Date(2024, 1, 20));
}
