#include <gtest/gtest.h>

#include "common/date_format.h"
#include "common/day_number.h"

namespace orv {
namespace {

TEST(DateFormat, PatternsOfTheWindows) {
    struct Case {
        const char* pattern;
        int y, m, d;
        const char* expected;
    };
    const Case cases[] = {
        {"d mmmm yyyy", 2000, 9, 22, "22 September 2000"},
        {"ddd d mmmm yyyy", 2026, 3, 7, "Sat 7 March 2026"},
        {"dddd, d mmmm yyyy", 2024, 1, 15, "Monday, 15 January 2024"},
        {"ddd, d mmm yyyy", 2025, 1, 2, "Thu, 2 Jan 2025"},
        {" mmmm yyyy", 2026, 2, 2, " February 2026"},
        {"dd/mm/yy", 2005, 3, 4, "04/03/05"},
        {"yyyy-mm-dd", 987, 6, 5, "0987-06-05"},
        {"\"on\" d", 2020, 1, 9, "on 9"},
        {"'d' d", 2020, 1, 9, "d 9"},
        {"D MMMM YYYY", 2000, 9, 22, "22 September 2000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(formatDate(c.pattern, dayNumber(c.y, c.m, c.d)), c.expected);
    }
}

TEST(DateFormat, NamesTableIsUsed) {
    DateNames names = englishDateNames();
    names.longMonths[2] = "Maerz";
    names.shortDays[6] = "Sa";
    EXPECT_EQ(formatDate("ddd d mmmm", dayNumber(2026, 3, 7), names), "Sa 7 Maerz");
}

TEST(DateFormat, FixedMonthNamesAndIsoDates) {
    EXPECT_EQ(monthName(1), "January");
    EXPECT_EQ(monthName(12), "December");
    EXPECT_EQ(monthName(0), "");
    EXPECT_EQ(monthName(13), "");
    EXPECT_EQ(isoDate(dayNumber(2026, 12, 8)), "2026-12-08");
}

}  // namespace
}  // namespace orv
