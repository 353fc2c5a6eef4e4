#include <gtest/gtest.h>

#include <stdexcept>

#include "common/day_number.h"
#include "events/recurrence.h"

namespace orv {
namespace {

int d(int y, int m, int day) { return dayNumber(y, m, day); }

RepeatSettings every(int kind, int interval, int start, int years = 1, int until = 0) {
    RepeatSettings s;
    s.RepeatKind = kind;
    s.Interval = interval;
    s.StartDate = start;
    s.YearsToRepeat = years;
    s.UntilDate = until;
    return s;
}

RepeatSettings nth(int occurrence, int weekday, int months, int start, int years = 1, int until = 0) {
    RepeatSettings s = every(rkNthWeekday, months, start, years, until);
    s.NthOccurrence = occurrence;
    s.Weekday = weekday;
    return s;
}

struct Case {
    const char* name;
    RepeatSettings settings;
    std::vector<int> dates;
};

class Expansion : public testing::TestWithParam<Case> {};

TEST_P(Expansion, GivesExactlyTheseDates) { EXPECT_EQ(expandRepetition(GetParam().settings), GetParam().dates); }

RepeatSettings skipping(RepeatSettings s) {
    s.missingDay = MissingDay::SkipMonth;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Expansion,
    testing::Values(
        Case{"monthlyFrom31st",
             every(rkMonths, 1, d(2023, 1, 31)),
             {d(2023, 1, 31), d(2023, 2, 28), d(2023, 3, 31), d(2023, 4, 30), d(2023, 5, 31), d(2023, 6, 30),
              d(2023, 7, 31), d(2023, 8, 31), d(2023, 9, 30), d(2023, 10, 31), d(2023, 11, 30), d(2023, 12, 31)}},
        Case{"monthlyFrom31stOnlyExistingDates",
             skipping(every(rkMonths, 1, d(2023, 1, 31))),
             {d(2023, 1, 31), d(2023, 3, 31), d(2023, 5, 31), d(2023, 7, 31), d(2023, 8, 31), d(2023, 10, 31),
              d(2023, 12, 31)}},
        Case{"every5Months", every(rkMonths, 5, d(2020, 11, 15)), {d(2020, 11, 15), d(2021, 4, 15), d(2021, 9, 15)}},
        Case{"monthlyUntilThe20th",
             every(rkMonths, 1, d(2024, 3, 5), 1, d(2024, 6, 20)),
             {d(2024, 3, 5), d(2024, 4, 5), d(2024, 5, 5), d(2024, 6, 5)}},
        Case{"monthlyUntilExactlyTheNextDateExcludesIt",
             every(rkMonths, 1, d(2024, 3, 5), 1, d(2024, 5, 5)),
             {d(2024, 3, 5), d(2024, 4, 5)}},
        Case{"monthlyIntoLeapCenturyFebruary",
             every(rkMonths, 1, d(2000, 1, 31), 1, d(2000, 3, 1)),
             {d(2000, 1, 31), d(2000, 2, 29)}},
        Case{"monthlyIntoCommonCenturyFebruary",
             every(rkMonths, 1, d(2100, 1, 30), 1, d(2100, 3, 1)),
             {d(2100, 1, 30), d(2100, 2, 28)}},
        Case{"monthlyAcrossTheYearEnd",
             every(rkMonths, 7, d(2023, 10, 1), 2),
             {d(2023, 10, 1), d(2024, 5, 1), d(2024, 12, 1), d(2025, 7, 1)}},
        Case{"yearlyFrom29February",
             every(rkYears, 1, d(2024, 2, 29), 4),
             {d(2024, 2, 29), d(2025, 2, 28), d(2026, 2, 28), d(2027, 2, 28), d(2028, 2, 29)}},
        Case{"yearly29FebruaryOverLeapCenturies",
             every(rkYears, 4, d(2096, 2, 29), 8),
             {d(2096, 2, 29), d(2100, 2, 28), d(2104, 2, 29)}},
        Case{"yearly29FebruaryEveryHundredYears",
             every(rkYears, 100, d(1600, 2, 29), 500),
             {d(1600, 2, 29), d(1700, 2, 28), d(1800, 2, 28), d(1900, 2, 28), d(2000, 2, 29), d(2100, 2, 28)}},
        Case{"everyTwoWeeks",
             every(rkWeeks, 2, d(2024, 1, 1), 1, d(2024, 2, 12)),
             {d(2024, 1, 1), d(2024, 1, 15), d(2024, 1, 29), d(2024, 2, 12)}},
        Case{"everyThreeDaysUntil",
             every(rkDays, 3, d(2024, 2, 27), 1, d(2024, 3, 5)),
             {d(2024, 2, 27), d(2024, 3, 1), d(2024, 3, 4)}},
        Case{"nthWeekdayStartingAfterTheMonthsOccurrence",
             nth(2, 3, 3, d(2024, 1, 15)),
             {d(2024, 4, 9), d(2024, 7, 9), d(2024, 10, 8), d(2025, 1, 14)}},
        Case{"nthWeekdayOnTheStartDayCounts",
             nth(1, 2, 1, d(2024, 1, 1), 1, d(2024, 3, 31)),
             {d(2024, 1, 1), d(2024, 2, 5), d(2024, 3, 4)}},
        Case{"fourthSaturdayEverySixthMonth",
             nth(4, 7, 6, d(2024, 1, 1), 2),
             {d(2024, 1, 27), d(2024, 7, 27), d(2025, 1, 25), d(2025, 7, 26)}},
        Case{"nthWeekdayNeverInRange", nth(1, 1, 1, d(2024, 3, 20), 1, d(2024, 3, 31)), {}},
        Case{"startAfterUntilStillFirst", every(rkDays, 1, d(2024, 5, 10), 1, d(2024, 5, 1)), {d(2024, 5, 10)}},
        Case{"startAfterUntilMonthly", every(rkMonths, 1, d(2024, 5, 10), 1, d(2024, 5, 1)), {d(2024, 5, 10)}},
        Case{"yearlyStopsAtTheLastYear",
             every(rkYears, 1, d(9997, 6, 1), 999),
             {d(9997, 6, 1), d(9998, 6, 1), d(9999, 6, 1)}},
        Case{"monthlyStopsAtTheLastYear", every(rkMonths, 6, d(9999, 1, 15), 5), {d(9999, 1, 15), d(9999, 7, 15)}},
        Case{"nthWeekdayStopsAtTheLastYear", nth(1, 2, 4, d(9999, 5, 1), 5), {d(9999, 5, 3), d(9999, 9, 6)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Recurrence, DailyForOneYearIncludesTheSameDayNextYear) {
    const auto dates = expandRepetition(every(rkDays, 1, d(2023, 1, 1)));
    ASSERT_EQ(dates.size(), 366u);
    EXPECT_EQ(dates.front(), d(2023, 1, 1));
    EXPECT_EQ(dates.back(), d(2024, 1, 1));
}

TEST(Recurrence, DailyFor999YearsIsEveryDay) {
    const auto dates = expandRepetition(every(rkDays, 1, d(2024, 3, 1), 999));
    ASSERT_EQ(static_cast<int>(dates.size()), d(3023, 3, 1) - d(2024, 3, 1) + 1);
    for (size_t i = 1; i < dates.size(); ++i) ASSERT_EQ(dates[i], dates[i - 1] + 1);
}

TEST(Recurrence, DailyNearTheLastYearEndsOn31December9999) {
    const auto dates = expandRepetition(every(rkDays, 1, d(9999, 12, 1), 999));
    EXPECT_EQ(dates.size(), 31u);
    EXPECT_EQ(dates.back(), maxDayNumber());
}

TEST(Recurrence, EndDate) {
    EXPECT_EQ(repeatEndDate(every(rkDays, 1, d(2024, 2, 29), 1)), d(2025, 2, 28));
    EXPECT_EQ(repeatEndDate(every(rkDays, 1, d(2024, 2, 29), 4)), d(2028, 2, 29));
    EXPECT_EQ(repeatEndDate(every(rkDays, 1, d(2024, 2, 29), 76)), d(2100, 2, 28));
    EXPECT_EQ(repeatEndDate(every(rkDays, 1, d(2024, 2, 29), 1, d(2024, 6, 1))), d(2024, 6, 1));
    EXPECT_EQ(repeatEndDate(every(rkDays, 1, d(9500, 1, 1), 999)), maxDayNumber());
}

TEST(Recurrence, UntilDateCountsOnlyWhenLaterThanToday) {
    const int today = d(2024, 5, 1);
    EXPECT_EQ(effectiveUntilDate(today, today), 0);
    EXPECT_EQ(effectiveUntilDate(today - 1, today), 0);
    EXPECT_EQ(effectiveUntilDate(0, today), 0);
    EXPECT_EQ(effectiveUntilDate(today + 1, today), today + 1);
}

TEST(Recurrence, RefusesSettingsOutsideTheirRanges) {
    const int start = d(2024, 1, 1);
    std::vector<RepeatSettings> bad = {
        every(rkDays, 0, start),    every(rkWeeks, -1, start),     every(0, 1, start),          every(6, 1, start),
        every(rkDays, 1, start, 0), every(rkDays, 1, start, 1000), nth(0, 1, 1, start),         nth(5, 1, 1, start),
        nth(1, 0, 1, start),        nth(1, 8, 1, start),           every(rkDays, 1, 0 - 700000)};
    for (const auto& s : bad) EXPECT_THROW(expandRepetition(s), std::invalid_argument);
}

TEST(Recurrence, HugeIntervalsDoNotOverflow) {
    EXPECT_EQ(expandRepetition(every(rkWeeks, 2147483647, d(2024, 1, 1), 999)), std::vector<int>{d(2024, 1, 1)});
    EXPECT_EQ(expandRepetition(every(rkMonths, 2147483647, d(2024, 1, 1), 999)), std::vector<int>{d(2024, 1, 1)});
    EXPECT_EQ(expandRepetition(every(rkYears, 2147483647, d(2024, 1, 1), 999)), std::vector<int>{d(2024, 1, 1)});
    EXPECT_EQ(expandRepetition(nth(1, 3, 2147483647, d(2024, 1, 1), 999)), std::vector<int>{d(2024, 1, 2)});
}

}  // namespace
}  // namespace orv
