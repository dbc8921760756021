#include "common/CommonUtil.h"

#include <gtest/gtest.h>
#include <climits>
#include <cmath>
#include <vector>

#include "common/GainCurve.h"
#include "tests/common/ArchiveTestFixture.h"

using testsupport::WriteAll;

namespace {

class CommonUtilTest : public ArchiveTest {
protected:
    // Today is the given local time.
    void SetToday(const platform::SystemTime& local) {
        int64_t micros = 0;
        ASSERT_TRUE(platform::LocalToMicros(local, micros));
        clock.SetUtcMicros(micros);
    }
};

}  // namespace

TEST_F(CommonUtilTest, GestationalAgeCountsWholeCalendarDays) {
    SetToday(MakeTime(2020, 8, 20, 23));
    struct Case {
        platform::SystemTime date;
        int32_t weeks, days;
    };
    const Case cases[] = {
        {MakeTime(2020, 5, 12, 22), 14, 2},  // 100 days ago, the hour does not count
        {MakeTime(2020, 8, 20, 23), 0, 0},
        {MakeTime(2020, 8, 30), -1, -3},  // 10 days ahead
        {MakeTime(2019, 8, 20), 52, 2},   // across 29 February
    };
    for (Case c : cases) {
        const GestationalAge age = CCommonUtil::CalcGestationalAge(&c.date);
        EXPECT_TRUE(age.valid);
        EXPECT_EQ(age.weeks, c.weeks) << c.date.wMonth << "/" << c.date.wDay;
        EXPECT_EQ(age.days, c.days) << c.date.wMonth << "/" << c.date.wDay;
        EXPECT_EQ(c.date.wHour, 0);  // the caller's date loses its time of day
    }
    platform::SystemTime impossible = MakeTime(2020, 2, 30);
    EXPECT_FALSE(CCommonUtil::CalcGestationalAge(&impossible).valid);
    EXPECT_FALSE(CCommonUtil::CalcGestationalAge(nullptr).valid);
}

TEST_F(CommonUtilTest, GestationalAgeIsNotShiftedByDaylightSaving) {
    SetTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
    struct Case {
        platform::SystemTime today, date;
        int32_t weeks, days;
    };
    const Case cases[] = {
        // Half an hour after midnight, after a 23-hour day.
        {MakeTime(2021, 3, 29, 0), MakeTime(2021, 3, 27), 0, 2},
        {MakeTime(2021, 3, 28, 4), MakeTime(2021, 3, 21), 1, 0},
        // After a 25-hour day.
        {MakeTime(2021, 11, 1, 0), MakeTime(2021, 10, 30), 0, 2},
        {MakeTime(2021, 11, 1, 0), MakeTime(2021, 3, 1), 35, 0},
    };
    for (Case c : cases) {
        c.today.wMinute = 30;
        SetToday(c.today);
        const GestationalAge age = CCommonUtil::CalcGestationalAge(&c.date);
        EXPECT_EQ(age.weeks, c.weeks) << c.today.wMonth << "/" << c.today.wDay;
        EXPECT_EQ(age.days, c.days) << c.today.wMonth << "/" << c.today.wDay;
    }
}

TEST(CommonUtilGcdTest, GreatestCommonDivisor) {
    struct Case {
        int32_t a, b, gcd;
    };
    const Case cases[] = {
        {1280, 720, 80}, {720, 1280, 80}, {0, 5, 5},  {5, 0, 5},          {0, 0, 0},
        {7, 13, 1},      {-4, 6, 2},      {6, -4, 2}, {INT32_MIN, -1, 1}, {INT32_MIN, 6, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCommonUtil::Gcd(c.a, c.b), c.gcd) << c.a << ", " << c.b;
}

TEST_F(CommonUtilTest, ListFilesNamesOnlyFilesInNameOrder) {
    ASSERT_TRUE(platform::CreateDirectories(dir / "f/sub"));
    WriteAll(dir / "f/b.bmp", "");
    WriteAll(dir / "f/a.info", "");
    EXPECT_EQ(CCommonUtil::ListFiles(dir / "f"), (std::vector<std::string>{"a.info", "b.bmp"}));
    EXPECT_TRUE(CCommonUtil::ListFiles(dir / "missing").empty());
    EXPECT_TRUE(CCommonUtil::IsDirectory(dir / "f/sub"));
    EXPECT_FALSE(CCommonUtil::IsDirectory(dir / "f/b.bmp"));
    EXPECT_FALSE(CCommonUtil::IsDirectory(dir / "missing"));
}

TEST(GainCurveTest, EqualKnotsGiveAFlatCurveFromTheFirstSample) {
    const StcKnots knots = {12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12};
    std::vector<int32_t> out(120, -1);
    MakeGainCurve(3, out.data(), static_cast<int32_t>(out.size()), 9.7, knots);
    for (int x = 0; x < 120; ++x) {
        // The last knot sits at 3 + trunc(10 x 9.7) = 100.
        EXPECT_EQ(out[x], x < 3 || x > 100 ? -1 : 12) << x;
    }
}

TEST(GainCurveTest, KnotsOnTheDiagonalGiveTheDiagonal) {
    // Position and value follow the same cubic, so every reached sample gets its own index.
    for (int i = 0; i < kStcKnotCount; ++i) {
        g_anStcOffset[i] = 4 * i;
        g_anStcValue[i] = 6 * i;
    }
    std::vector<int32_t> out(101, -1);
    CCommonUtil::MakeGainCurve(0, out.data(), static_cast<int32_t>(out.size()), 10.0);
    for (int x = 0; x <= 100; ++x)
        EXPECT_EQ(out[x], x) << x;
}

TEST(GainCurveTest, UnusableSegmentLengthsLeaveTheCurveAlone) {
    const StcKnots knots = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    std::vector<int32_t> out(50, -1);
    for (const double segment : {0.0, -4.0, std::nan(""), HUGE_VAL, 1e12}) {
        MakeGainCurve(0, out.data(), 50, segment, knots);
    }
    MakeGainCurve(0, nullptr, 50, 4.0, knots);
    EXPECT_EQ(out, std::vector<int32_t>(50, -1));
}
