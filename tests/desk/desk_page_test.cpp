#include "desk/desk_page.h"

#include <gtest/gtest.h>

#include "common/day_number.h"

namespace orv {
namespace {

int d(int y, int m, int day) { return dayNumber(y, m, day); }

DeskPage opened(int y, int m, int day, bool showWeekends) {
    DeskPage page;
    page.PageYear = y;
    page.PageMonth = m;
    page.SelectedDay = day;
    page.open(showWeekends);
    return page;
}

// A page standing on a Monday with its month, as week steps leave it.
DeskPage standing(int mondayY, int mondayM, int mondayD, int pageYear, int pageMonth, int selectedDay = 1) {
    DeskPage page;
    page.PageYear = pageYear;
    page.PageMonth = pageMonth;
    page.SelectedDay = selectedDay;
    page.PageStart = d(mondayY, mondayM, mondayD);
    page.AssignCellDates();
    return page;
}

struct OpenCase {
    Ymd selected;
    bool showWeekends;
    Ymd start;
};

TEST(DeskPageOpen, StartsOnTheRightMonday) {
    const OpenCase cases[] = {
        {{2026, 3, 7}, false, {2026, 3, 9}},  // Saturday, weekends hidden: the Monday after
        {{2026, 3, 7}, true, {2026, 3, 2}},   // Saturday, weekends shown: the Monday before
        {{2026, 3, 8}, false, {2026, 3, 9}},  // Sunday
        {{2026, 3, 8}, true, {2026, 3, 2}},
        {{2026, 3, 9}, false, {2026, 3, 9}},  // a Monday starts the page itself
        {{2026, 3, 9}, true, {2026, 3, 9}},
        {{2026, 3, 13}, false, {2026, 3, 9}},  // Friday
        {{2026, 1, 1}, true, {2025, 12, 29}},  // back across the year
        {{2026, 1, 31}, false, {2026, 2, 2}},  // a Saturday at the month's end moves into the next month
        {{2025, 12, 28}, false, {2025, 12, 29}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected.year << "-" << c.selected.month << "-" << c.selected.day
                                        << " weekends " << c.showWeekends);
        const DeskPage page = opened(c.selected.year, c.selected.month, c.selected.day, c.showWeekends);
        EXPECT_EQ(toYmd(static_cast<int>(page.PageStart)), c.start);
        EXPECT_EQ(page.PageEnd, page.PageStart + 27);
        for (int i = 1; i <= kPageCells; ++i) EXPECT_EQ(page.CellDates[static_cast<size_t>(i)], page.PageStart + i - 1);
        EXPECT_EQ(dayOfWeek(static_cast<int>(page.PageStart)), 2);  // Monday
    }
}

TEST(DeskPageOpen, SelectedDayTheMonthLacksTakesItsLastDay) {
    // A rebuild after month steps: the 31st in February 2026 (the 28th is a Saturday).
    EXPECT_EQ(toYmd(static_cast<int>(opened(2026, 2, 31, true).PageStart)), (Ymd{2026, 2, 23}));
    EXPECT_EQ(toYmd(static_cast<int>(opened(2026, 2, 31, false).PageStart)), (Ymd{2026, 3, 2}));
}

struct StepCase {
    const char* name;
    DeskPage from;
    StepDirection direction;
    StepSize size;
    Ymd start;
    int pageYear;
    int pageMonth;
};

TEST(DeskPageNavigate, WeekAndMonthSteps) {
    using enum StepDirection;
    constexpr StepSize Month = StepSize::Month;
    constexpr StepSize Week = StepSize::Week;
    const StepCase cases[] = {
        // Month steps onto months whose 1st is a Saturday (August 2026) or a Sunday (March 2026).
        {"to a month starting on Saturday", standing(2026, 6, 29, 2026, 7), Forward, Month, {2026, 8, 3}, 2026, 8},
        {"to a month starting on Sunday", standing(2026, 2, 2, 2026, 2), Forward, Month, {2026, 3, 2}, 2026, 3},
        {"back to a month starting on Sunday", standing(2026, 3, 30, 2026, 4), Back, Month, {2026, 3, 2}, 2026, 3},
        {"back to a month starting on Saturday", standing(2026, 8, 31, 2026, 9), Back, Month, {2026, 8, 3}, 2026, 8},
        {"into January", standing(2025, 12, 1, 2025, 12), Forward, Month, {2025, 12, 29}, 2026, 1},
        {"back into December", standing(2025, 12, 29, 2026, 1), Back, Month, {2025, 12, 1}, 2025, 12},
        // Week steps: a Monday after the 18th belongs to the next month.
        {"Monday the 22nd", standing(2025, 12, 15, 2025, 12), Forward, Week, {2025, 12, 22}, 2026, 1},
        {"Monday the 29th", standing(2025, 12, 22, 2026, 1), Forward, Week, {2025, 12, 29}, 2026, 1},
        {"into the new year", standing(2025, 12, 29, 2026, 1), Forward, Week, {2026, 1, 5}, 2026, 1},
        {"back over the year", standing(2026, 1, 5, 2026, 1), Back, Week, {2025, 12, 29}, 2026, 1},
        {"Monday the 18th keeps its month", standing(2026, 5, 11, 2026, 5), Forward, Week, {2026, 5, 18}, 2026, 5},
        {"Monday the 19th", standing(2026, 1, 12, 2026, 1), Forward, Week, {2026, 1, 19}, 2026, 2},
        {"back from the 19th to the 12th", standing(2026, 1, 19, 2026, 2), Back, Week, {2026, 1, 12}, 2026, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeskPage page = c.from;
        ASSERT_TRUE(page.Navigate(c.direction, c.size));
        EXPECT_EQ(toYmd(static_cast<int>(page.PageStart)), c.start);
        EXPECT_EQ(page.PageYear, c.pageYear);
        EXPECT_EQ(page.PageMonth, c.pageMonth);
        EXPECT_EQ(page.PageEnd, page.PageStart + 27);
        EXPECT_EQ(page.CellDates[1], page.PageStart);
        EXPECT_EQ(page.SelectedDay, 1);  // never changed by the page
    }
}

TEST(DeskPageNavigate, WeekStepsThenMonthStepBack) {
    DeskPage page = opened(2025, 12, 15, true);
    ASSERT_EQ(page.PageStart, d(2025, 12, 15));
    page.Navigate(StepDirection::Forward, StepSize::Week);
    page.Navigate(StepDirection::Forward, StepSize::Week);
    page.Navigate(StepDirection::Forward, StepSize::Week);
    page.Navigate(StepDirection::Back, StepSize::Week);
    EXPECT_EQ(page.PageStart, d(2025, 12, 29));
    EXPECT_EQ(page.PageMonth, 1);
    EXPECT_EQ(page.PageYear, 2026);
    page.Navigate(StepDirection::Back, StepSize::Month);
    EXPECT_EQ(page.PageStart, d(2025, 12, 1));
    EXPECT_EQ(page.PageMonth, 12);
    EXPECT_EQ(page.PageYear, 2025);
}

TEST(DeskPageNavigate, RefusesToLeaveTheYearsOneToNineThousandNineHundredNinetyNine) {
    struct Case {
        const char* name;
        DeskPage from;
        StepDirection direction;
        StepSize size;
    };
    const Case cases[] = {
        {"month after December 9999", opened(9999, 12, 1, true), StepDirection::Forward, StepSize::Month},
        {"week past 31 December 9999", opened(9999, 12, 6, true), StepDirection::Forward, StepSize::Week},
        {"month before January 1", opened(1, 1, 1, true), StepDirection::Back, StepSize::Month},
        {"week before 1 January 1", opened(1, 1, 1, true), StepDirection::Back, StepSize::Week},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeskPage page = c.from;
        EXPECT_FALSE(page.Navigate(c.direction, c.size));
        EXPECT_EQ(page.PageStart, c.from.PageStart);
        EXPECT_EQ(page.PageMonth, c.from.PageMonth);
        EXPECT_EQ(page.PageYear, c.from.PageYear);
    }
    // The last page that fits is still reached.
    DeskPage last = opened(9999, 11, 30, true);
    EXPECT_TRUE(last.Navigate(StepDirection::Forward, StepSize::Month));
    EXPECT_EQ(last.PageYear, 9999);
    EXPECT_LE(last.PageEnd, maxDayNumber());
}

TEST(DeskPage, CellsPastTheLastRepresentableDayAreUnusable) {
    const DeskPage page = opened(9999, 12, 31, true);  // a Friday: the page runs into the year 10000
    EXPECT_TRUE(page.cellUsable(5));
    EXPECT_FALSE(page.cellUsable(6));
    EXPECT_FALSE(page.cellUsable(28));
}

TEST(DeskPage, DayNumbersOutsideThePageMonthAreGrey) {
    // From Monday 26 January 2026 the page belongs to February.
    const DeskPage page = standing(2026, 1, 26, 2026, 2);
    for (int i = 1; i <= 6; ++i) {
        EXPECT_FALSE(page.inPageMonth(i)) << i;
        EXPECT_EQ(page.dayOfMonth(i), 25 + i);
    }
    for (int i = 7; i <= 28; ++i) {
        EXPECT_TRUE(page.inPageMonth(i)) << i;
        EXPECT_EQ(page.dayOfMonth(i), i - 6);
    }
    // The year is not compared: January 2025's days count as January on a page of January 2026.
    DeskPage odd = standing(2026, 1, 5, 2026, 1);
    odd.CellDates[3] = d(2025, 1, 7);
    EXPECT_TRUE(odd.inPageMonth(3));
}

struct FocusCase {
    const char* name;
    DeskPage page;
    bool showWeekends;
    int cell;
};

TEST(DeskPage, FocusCellChoice) {
    const FocusCase cases[] = {
        {"the selected Wednesday", opened(2026, 3, 11, true), true, 3},
        {"a selected Saturday with weekends shown", opened(2026, 3, 7, true), true, 6},
        {"a selected Saturday with weekends hidden", opened(2026, 3, 7, false), false, 1},
        {"the first day of the month when the page starts before it", opened(2026, 1, 1, true), true, 4},
        {"weekend cells are passed over when hidden", standing(2026, 3, 2, 2026, 3, 7), false, 8},
        {"weekend cells count when shown", standing(2026, 3, 2, 2026, 3, 7), true, 6},
        {"after week steps: the first day of the month on or after the selected day",
         standing(2025, 12, 29, 2026, 1, 15), true, 18},
        {"the 31st hidden on a Sunday: no cell qualifies", opened(2026, 5, 31, false), false, 0},
        {"the selected day is beyond the page", standing(2026, 3, 2, 2026, 3, 31), true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.page.focusCell(c.showWeekends), c.cell);
    }
}

DateNames germanNames() {
    DateNames names = englishDateNames();
    names.longMonths[1] = "Februar";
    names.longMonths[2] = "M\xE4rz";
    return names;
}

struct TitleCase {
    const char* name;
    DeskPage page;
    bool fourWeeks;
    bool showWeekends;
    std::string title;
};

TEST(DeskPage, Titles) {
    const TitleCase cases[] = {
        {"December/January", standing(2025, 12, 29, 2026, 1), true, true, " December/January 2026"},
        {"February/March", standing(2026, 2, 2, 2026, 2), true, true, " February/March 2026"},
        {"one month", standing(2026, 3, 2, 2026, 3), true, true, " March 2026"},
        {"the year of the page's end", standing(2025, 12, 8, 2025, 12), true, true, " December/January 2026"},
        {"three months when the opening moved past the month", opened(2026, 5, 30, false), true, false,
         " June/May/June 2026"},
        // One week wholly in one month: the system's long month name and the year of its Monday.
        {"one week in one month", standing(2026, 3, 2, 2026, 3), false, true, " M\xE4rz 2026"},
        {"one week over two months", standing(2026, 2, 23, 2026, 3), false, true, " February/March 2026"},
        {"one week whose weekend lies in the next month, weekends shown", standing(2026, 1, 26, 2026, 2), false, true,
         " January/February 2026"},
        {"the same week with weekends hidden", standing(2026, 1, 26, 2026, 2), false, false, " Januar 2026"},
        {"one week of late December", standing(2025, 12, 22, 2026, 1), false, true, " December 2025"},
    };
    DateNames names = germanNames();
    names.longMonths[0] = "Januar";
    names.longMonths[11] = "December";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.page.title(c.fourWeeks, c.showWeekends, names), c.title);
    }
}

}  // namespace
}  // namespace orv
