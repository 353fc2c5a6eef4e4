#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/day_number.h"

namespace orv {
namespace {

TEST(DayNumber, KnownDaysRoundTrip) {
    struct Case {
        int y, m, d, n;
    };
    const Case cases[] = {
        {1899, 12, 30, 0},   {1899, 12, 31, 1},    {1900, 1, 1, 2},      {1900, 3, 1, 61},        {1960, 1, 1, 21916},
        {2000, 1, 1, 36526}, {2000, 2, 29, 36585}, {1800, 1, 1, -36522}, {9999, 12, 31, 2958465}, {1, 1, 1, -693593},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.y * 10000 + c.m * 100 + c.d);
        EXPECT_EQ(dayNumber(c.y, c.m, c.d), c.n);
        EXPECT_EQ(toYmd(c.n), (Ymd{c.y, c.m, c.d}));
    }
    EXPECT_EQ(minDayNumber(), -693593);
    EXPECT_EQ(maxDayNumber(), 2958465);
}

TEST(DayNumber, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(isLeapYear(2000));
    EXPECT_TRUE(isLeapYear(2024));
    EXPECT_FALSE(isLeapYear(1900));
    EXPECT_FALSE(isLeapYear(2100));
    EXPECT_FALSE(isLeapYear(2023));
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2023, 4), 30);
    EXPECT_EQ(daysInMonth(2023, 12), 31);
    EXPECT_EQ(daysInMonth(2023, 0), 0);
    EXPECT_EQ(daysInMonth(2023, 13), 0);
}

TEST(DayNumber, ValidityAndNearestDate) {
    EXPECT_FALSE(tryDayNumber(2023, 2, 29));
    EXPECT_TRUE(tryDayNumber(2024, 2, 29));
    EXPECT_FALSE(tryDayNumber(2023, 13, 1));
    EXPECT_FALSE(tryDayNumber(2023, 4, 31));
    EXPECT_FALSE(tryDayNumber(0, 1, 1));
    EXPECT_FALSE(tryDayNumber(10000, 1, 1));
    EXPECT_EQ(nearestDayNumber(2023, 2, 31), dayNumber(2023, 2, 28));
    EXPECT_EQ(nearestDayNumber(2024, 2, 30), dayNumber(2024, 2, 29));
    EXPECT_EQ(nearestDayNumber(2023, 4, 31), dayNumber(2023, 4, 30));
    EXPECT_EQ(nearestDayNumber(2023, 5, 31), dayNumber(2023, 5, 31));
}

TEST(DayNumber, Weekdays) {
    // 30 December 1899 was a Saturday; 1 January 2000 a Saturday; 8 December 2026 a Tuesday.
    EXPECT_EQ(dayOfWeek(0), 7);
    EXPECT_EQ(weekday0(0), 6);
    EXPECT_EQ(weekday0(dayNumber(2000, 1, 1)), 6);
    EXPECT_EQ(dayOfWeek(dayNumber(2026, 12, 8)), 3);
    EXPECT_EQ(weekday0(dayNumber(2026, 3, 1)), 0);  // a Sunday
    EXPECT_EQ(weekday0(-1), 5);                     // before the epoch too
}

TEST(DayNumber, DateKeysAndRepresentableDays) {
    EXPECT_EQ(dateKey(36526), "36526");
    EXPECT_EQ(dateKey(0), "0");
    EXPECT_EQ(dateKey(-36522), "-36522");
    EXPECT_EQ(dateKey(36526.5), "36526.5");
    EXPECT_EQ(dateKey(999999999999999.0), "999999999999999");
    EXPECT_EQ(dateKey(1e15), "1e+15");
    EXPECT_EQ(dateKey(-0.0), "-0");
    EXPECT_NE(dateKey(std::nan("")), dateKey(36526));
    EXPECT_TRUE(isRepresentableDay(36526));
    EXPECT_FALSE(isRepresentableDay(36526.5));
    EXPECT_FALSE(isRepresentableDay(std::nan("")));
    EXPECT_FALSE(isRepresentableDay(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(isRepresentableDay(1e300));
}

}  // namespace
}  // namespace orv
