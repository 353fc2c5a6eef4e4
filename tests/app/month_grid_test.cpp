#include <gtest/gtest.h>

#include <vector>

#include "app/month_grid.h"
#include "common/day_number.h"

namespace orv {
namespace {

int date(int y, int m, int d) { return dayNumber(y, m, d); }
Ymd ymdOf(const MonthGrid& g) { return {g.year(), g.month(), g.day()}; }

struct MappingCase {
    int year, month, startOfWeek;
    GridCell first, last;
};

// One month starting on each weekday, with Sunday and Monday as the first column.
TEST(MonthGridMapping, FirstAndLastDayForEveryStartingWeekday) {
    const MappingCase cases[] = {
        {2023, 1, 0, {1, 0}, {5, 2}},                                // starts on a Sunday
        {2023, 1, 1, {1, 6}, {6, 1}}, {2023, 5, 0, {1, 1}, {5, 3}},  // Monday
        {2023, 5, 1, {1, 0}, {5, 2}}, {2023, 8, 0, {1, 2}, {5, 4}},  // Tuesday
        {2023, 8, 1, {1, 1}, {5, 3}}, {2023, 2, 0, {1, 3}, {5, 2}},  // Wednesday
        {2023, 2, 1, {1, 2}, {5, 1}}, {2023, 6, 0, {1, 4}, {5, 5}},  // Thursday
        {2023, 6, 1, {1, 3}, {5, 4}}, {2023, 9, 0, {1, 5}, {5, 6}},  // Friday
        {2023, 9, 1, {1, 4}, {5, 5}}, {2023, 4, 0, {1, 6}, {6, 0}},  // Saturday
        {2023, 4, 1, {1, 5}, {5, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << " start " << c.startOfWeek);
        const int offset = firstDayOffset(c.year, c.month, c.startOfWeek);
        const int length = daysInMonth(c.year, c.month);
        EXPECT_EQ(firstColumn(c.year, c.month, c.startOfWeek), c.first.column);
        EXPECT_EQ(offset, 1 - c.first.column);
        EXPECT_EQ(cellOfDay(1, offset), c.first);
        EXPECT_EQ(cellOfDay(length, offset), c.last);
        EXPECT_EQ(cellDay(c.first.row, c.first.column, offset, length), 1);
        EXPECT_EQ(cellDay(c.last.row, c.last.column, offset, length), length);
        // Neighbouring months never show: the cells before the 1st and after the last day are empty.
        if (c.first.column > 0) EXPECT_EQ(cellDay(1, c.first.column - 1, offset, length), 0);
        if (c.last.column < 6) EXPECT_EQ(cellDay(c.last.row, c.last.column + 1, offset, length), 0);
    }
}

TEST(MonthGridMapping, SixRowAndFourRowMonths) {
    // January 2000 starts on a Saturday: with Sunday first it fills all six day rows.
    int offset = firstDayOffset(2000, 1, 0);
    EXPECT_EQ(cellOfDay(31, offset), (GridCell{6, 1}));
    EXPECT_EQ(cellDay(6, 1, offset, 31), 31);
    EXPECT_EQ(cellDay(6, 2, offset, 31), 0);

    // February of a common year starting in the first column fills exactly four rows.
    struct {
        int year, startOfWeek;
    } fours[] = {{2015, 0}, {2010, 1}};
    for (const auto& f : fours) {
        SCOPED_TRACE(f.year);
        offset = firstDayOffset(f.year, 2, f.startOfWeek);
        EXPECT_EQ(cellOfDay(1, offset), (GridCell{1, 0}));
        EXPECT_EQ(cellOfDay(28, offset), (GridCell{4, 6}));
        for (int row = 5; row <= 6; ++row)
            for (int column = 0; column < 7; ++column) EXPECT_EQ(cellDay(row, column, offset, 28), 0);
    }
}

TEST(MonthGridMapping, EveryDayHasExactlyOneCellForAnyWeekStart) {
    for (int start = 0; start < 7; ++start) {
        for (int month = 1; month <= 12; ++month) {
            for (int year : {1800, 1900, 2000, 2024, 9999}) {
                const int offset = firstDayOffset(year, month, start);
                const int length = daysInMonth(year, month);
                std::vector<int> seen(static_cast<size_t>(length + 1), 0);
                int empty = 0;
                for (int row = 0; row < kGridRows; ++row) {
                    for (int column = 0; column < kGridColumns; ++column) {
                        const int d = cellDay(row, column, offset, length);
                        if (d == 0) {
                            ++empty;
                            continue;
                        }
                        ASSERT_GE(row, 1);
                        ++seen[static_cast<size_t>(d)];
                        ASSERT_EQ(cellOfDay(d, offset), (GridCell{row, column}));
                        // The column's header names the day's weekday.
                        ASSERT_EQ(headerWeekday(column, start), weekday0(dayNumber(year, month, d)));
                    }
                }
                EXPECT_EQ(empty, 49 - length);
                for (int d = 1; d <= length; ++d) ASSERT_EQ(seen[static_cast<size_t>(d)], 1) << year << "-" << month;
                EXPECT_EQ(cellOfDay(1, offset).row, 1);
            }
        }
    }
}

TEST(MonthGridMapping, CellsOutsideTheGridAreEmpty) {
    const int offset = firstDayOffset(2023, 1, 0);
    EXPECT_EQ(cellDay(0, 0, offset, 31), 0);
    EXPECT_EQ(cellDay(-1, 0, offset, 31), 0);
    EXPECT_EQ(cellDay(7, 0, offset, 31), 0);
    EXPECT_EQ(cellDay(1, 7, offset, 31), 0);
    EXPECT_EQ(cellDay(2, -1, offset, 31), 0);
}

TEST(MonthGridMapping, WeekendColumns) {
    // Saturday and Sunday with Monday first: the last two columns.
    std::vector<int> columns;
    for (int c = 0; c < 7; ++c)
        if (isWeekendColumn(c, 1, kSaturdayAndSunday)) columns.push_back(c);
    EXPECT_EQ(columns, (std::vector<int>{5, 6}));
    columns.clear();
    for (int c = 0; c < 7; ++c)
        if (isWeekendColumn(c, 0, kSaturdayAndSunday)) columns.push_back(c);
    EXPECT_EQ(columns, (std::vector<int>{0, 6}));
    columns.clear();
    for (int c = 0; c < 7; ++c)
        if (isWeekendColumn(c, 3, kSundayOnly)) columns.push_back(c);
    EXPECT_EQ(columns, (std::vector<int>{4}));  // Wednesday first: Sunday in column 4
}

struct PartCase {
    Ymd from;
    int kind, value;
    DateMove move;
    Ymd to;
};

TEST(SetDatePart, RulesAndRefusals) {
    const PartCase cases[] = {
        {{2004, 5, 17}, kPartYear, 2010, DateMove::Changed, {2010, 5, 17}},
        {{2004, 5, 17}, kPartYear, 2004, DateMove::Unchanged, {2004, 5, 17}},
        {{2004, 5, 17}, kPartYear, 0, DateMove::Unchanged, {2004, 5, 17}},
        {{2004, 5, 17}, kPartYear, -3, DateMove::Unchanged, {2004, 5, 17}},
        {{2004, 5, 17}, kPartYear, 10000, DateMove::OutOfRange, {2004, 5, 17}},
        {{2004, 2, 29}, kPartYear, 2005, DateMove::NoSuchDate, {2004, 2, 29}},
        {{2004, 2, 29}, kPartYear, 2008, DateMove::Changed, {2008, 2, 29}},
        {{2004, 1, 31}, kPartMonth, 2, DateMove::Changed, {2004, 2, 29}},  // day shortened
        {{2005, 1, 31}, kPartMonth, 2, DateMove::Changed, {2005, 2, 28}},
        {{2005, 1, 31}, kPartMonth, 4, DateMove::Changed, {2005, 4, 30}},
        {{2005, 1, 15}, kPartMonth, 12, DateMove::Changed, {2005, 12, 15}},
        {{2005, 1, 15}, kPartMonth, 13, DateMove::Unchanged, {2005, 1, 15}},
        {{2005, 1, 15}, kPartMonth, 0, DateMove::Unchanged, {2005, 1, 15}},
        {{2005, 1, 15}, kPartMonth, 1, DateMove::Unchanged, {2005, 1, 15}},
        {{2005, 2, 10}, kPartDay, 28, DateMove::Changed, {2005, 2, 28}},
        {{2005, 2, 10}, kPartDay, 29, DateMove::Unchanged, {2005, 2, 10}},
        {{2005, 2, 10}, kPartDay, 0, DateMove::Unchanged, {2005, 2, 10}},
        {{2005, 2, 10}, kPartDay, 10, DateMove::Unchanged, {2005, 2, 10}},
        {{2005, 2, 10}, 4, 1, DateMove::Unchanged, {2005, 2, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.year << "-" << c.from.month << "-" << c.from.day << " kind " << c.kind
                                        << " value " << c.value);
        const DateMoveResult r = setDatePart(dayNumber(c.from), c.kind, c.value);
        EXPECT_EQ(r.move, c.move);
        EXPECT_EQ(toYmd(r.date), c.to);
    }
}

TEST(SetDatePart, UnshortenedMonthChangeFailsOnMissingDay) {
    const DateMoveResult r = setDatePart(date(2000, 1, 31), kPartMonth, 2, false);
    EXPECT_EQ(r.move, DateMove::NoSuchDate);
    EXPECT_EQ(r.date, date(2000, 1, 31));
    EXPECT_EQ(setDatePart(date(2000, 1, 29), kPartMonth, 2, false).date, date(2000, 2, 29));
}

struct StepCase {
    Ymd from;
    int delta;
    DateMove move;
    Ymd to;
};

TEST(ChangeMonth, KeepsTheDayOrTakesTheLastDay) {
    const StepCase cases[] = {
        {{2001, 1, 31}, +1, DateMove::Changed, {2001, 2, 28}},
        {{2000, 1, 31}, +1, DateMove::Changed, {2000, 2, 29}},
        {{2001, 3, 31}, -1, DateMove::Changed, {2001, 2, 28}},
        {{2004, 3, 31}, -1, DateMove::Changed, {2004, 2, 29}},
        {{2001, 5, 31}, +1, DateMove::Changed, {2001, 6, 30}},
        {{2001, 12, 15}, +1, DateMove::Changed, {2002, 1, 15}},
        {{2001, 1, 1}, -1, DateMove::Changed, {2000, 12, 1}},
        {{2001, 2, 28}, +1, DateMove::Changed, {2001, 3, 28}},
        {{9999, 12, 1}, +1, DateMove::OutOfRange, {9999, 12, 1}},
        {{9999, 12, 31}, +1, DateMove::OutOfRange, {9999, 12, 31}},
        {{9999, 12, 31}, -1, DateMove::Changed, {9999, 11, 30}},
        {{1, 1, 20}, -1, DateMove::OutOfRange, {1, 1, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.year << "-" << c.from.month << "-" << c.from.day << " by "
                                        << c.delta);
        const DateMoveResult r = changeMonth(dayNumber(c.from), c.delta);
        EXPECT_EQ(r.move, c.move);
        EXPECT_EQ(toYmd(r.date), c.to);
    }
}

struct Recorder {
    std::vector<int> dates;
    std::vector<bool> dayOnly;
    void attach(MonthGrid& g) {
        g.changed = [this, &g](bool only) {
            dates.push_back(g.CalendarDate());
            dayOnly.push_back(only);
        };
    }
};

TEST(MonthGridModel, YearStepFrom29FebruaryReportsTwoChanges) {
    MonthGrid g(date(2004, 2, 29));
    Recorder rec;
    rec.attach(g);
    EXPECT_EQ(g.NextYear(), DateMove::Changed);
    EXPECT_EQ(ymdOf(g), (Ymd{2005, 2, 28}));
    EXPECT_EQ(rec.dates, (std::vector<int>{date(2004, 2, 28), date(2005, 2, 28)}));
    EXPECT_EQ(rec.dayOnly, (std::vector<bool>{true, false}));

    MonthGrid back(date(2000, 2, 29));
    Recorder rec2;
    rec2.attach(back);
    EXPECT_EQ(back.PrevYear(), DateMove::Changed);
    EXPECT_EQ(ymdOf(back), (Ymd{1999, 2, 28}));
    EXPECT_EQ(rec2.dates.size(), 2u);
}

TEST(MonthGridModel, YearStepKeepsMonthAndDayOtherwise) {
    MonthGrid g(date(2003, 2, 28));
    Recorder rec;
    rec.attach(g);
    EXPECT_EQ(g.NextYear(), DateMove::Changed);
    EXPECT_EQ(ymdOf(g), (Ymd{2004, 2, 28}));
    EXPECT_EQ(rec.dates.size(), 1u);
    EXPECT_FALSE(g.UseCurrentDate);
}

TEST(MonthGridModel, NoDateBeyondTheLastYear) {
    struct {
        Ymd from;
        DateMove (MonthGrid::*step)();
    } cases[] = {
        {{9999, 12, 31}, &MonthGrid::NextMonth}, {{9999, 12, 5}, &MonthGrid::NextMonth},
        {{9999, 6, 5}, &MonthGrid::NextYear},    {{1, 3, 5}, &MonthGrid::PrevYear},
        {{1, 1, 5}, &MonthGrid::PrevMonth},
    };
    for (const auto& c : cases) {
        MonthGrid g(dayNumber(c.from));
        Recorder rec;
        rec.attach(g);
        EXPECT_EQ((g.*c.step)(), DateMove::OutOfRange);
        EXPECT_EQ(ymdOf(g), c.from);
        EXPECT_TRUE(rec.dates.empty());
        EXPECT_TRUE(g.UseCurrentDate);
    }
}

TEST(MonthGridModel, RefusedPartsRaiseNoChange) {
    MonthGrid g(date(2005, 7, 14));
    Recorder rec;
    rec.attach(g);
    EXPECT_EQ(g.SetDatePart(kPartMonth, 13), DateMove::Unchanged);
    EXPECT_EQ(g.SetDatePart(kPartDay, 0), DateMove::Unchanged);
    EXPECT_EQ(g.SetDatePart(kPartDay, 32), DateMove::Unchanged);
    EXPECT_EQ(g.SetDatePart(kPartYear, 2005), DateMove::Unchanged);
    EXPECT_TRUE(rec.dates.empty());
    EXPECT_TRUE(g.UseCurrentDate);
    EXPECT_EQ(g.CalendarDate(), date(2005, 7, 14));
}

TEST(MonthGridModel, LayoutFollowsDateAndWeekStart) {
    MonthGrid g(date(2000, 1, 31), 0);
    EXPECT_EQ(g.FirstDayOffset(), 1 - 6);
    EXPECT_EQ(g.currentCell(), (GridCell{6, 1}));
    EXPECT_TRUE(g.SetStartOfWeek(1));
    EXPECT_FALSE(g.SetStartOfWeek(1));
    EXPECT_FALSE(g.SetStartOfWeek(7));
    EXPECT_EQ(g.FirstDayOffset(), 1 - 5);
    EXPECT_EQ(g.currentCell(), (GridCell{6, 0}));
    EXPECT_EQ(g.NextMonth(), DateMove::Changed);
    EXPECT_EQ(ymdOf(g), (Ymd{2000, 2, 29}));
    EXPECT_EQ(g.DaysThisMonth(), 29);
    EXPECT_EQ(g.FirstDayOffset(), 1 - 1);  // 1 February 2000 is a Tuesday
    EXPECT_EQ(g.currentCell(), (GridCell{5, 1}));
}

TEST(MonthGridModel, SetCalendarDateRefusesUnformableDays) {
    MonthGrid g(date(2000, 1, 1));
    Recorder rec;
    rec.attach(g);
    EXPECT_EQ(g.SetCalendarDate(maxDayNumber() + 1), DateMove::OutOfRange);
    EXPECT_EQ(g.SetCalendarDate(minDayNumber() - 1), DateMove::OutOfRange);
    EXPECT_TRUE(rec.dates.empty());
    EXPECT_EQ(g.SetCalendarDate(date(2000, 1, 20)), DateMove::Changed);
    EXPECT_EQ(rec.dayOnly, (std::vector<bool>{true}));
    EXPECT_TRUE(g.UseCurrentDate);  // only the part setters clear it
}

}  // namespace
}  // namespace orv
