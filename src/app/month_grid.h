#pragma once
// The arithmetic of a month grid: which day sits in which cell for a given first weekday, and how the
// date moves when one of its parts is set or the month or year is stepped. The main window's grid and the
// printed page's grid both stand on it; nothing here knows about windows.
//
// Grid: 7 columns, 7 rows; row 0 is the header, rows 1..6 hold the days. Weekdays of the grid are
// numbered 0 = Sunday ... 6 = Saturday.

#include <functional>

namespace orv {

constexpr int kGridColumns = 7;
constexpr int kGridRows = 7;

// Kinds of SetDatePart.
constexpr int kPartYear = 1;
constexpr int kPartMonth = 2;
constexpr int kPartDay = 3;

// What became of a request to move the date.
enum class DateMove {
    Changed,     // a new date was formed
    Unchanged,   // nothing new was asked for, or the value is refused by rule (below 1, month 13, day 32)
    NoSuchDate,  // the date does not exist (29 February in a common year, 31 January to month 2 unshortened)
    OutOfRange,  // the date would lie before 1 January 1 or after 31 December 9999
};

struct DateMoveResult {
    DateMove move = DateMove::Unchanged;
    int date = 0;  // the new date when move is Changed, the old one otherwise
};

struct GridCell {
    int row = 0;
    int column = 0;
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// c0: the column of the month's 1st, 0..6.
int firstColumn(int year, int month, int startOfWeek);
// FirstDayOffset = 1 - c0.
int firstDayOffset(int year, int month, int startOfWeek);
// The day a cell shows, 0 for the header row and for cells outside the month.
int cellDay(int row, int column, int firstDayOffset, int daysThisMonth);
// The cell of a day of the month.
GridCell cellOfDay(int day, int firstDayOffset);
// The weekday named in the header of a column.
int headerWeekday(int column, int startOfWeek);

// Weekend sets: bit k stands for weekday k.
constexpr unsigned weekdayBit(int weekday) { return 1u << weekday; }
constexpr unsigned kSundayOnly = weekdayBit(0);
constexpr unsigned kSaturdayAndSunday = weekdayBit(0) | weekdayBit(6);
bool isWeekendColumn(int column, int startOfWeek, unsigned weekends);

// Sets the year (1), month (2) or day (3) of date. A month change shortens the day to the new month's
// length when shortenDay is set; otherwise a day the month lacks gives NoSuchDate.
DateMoveResult setDatePart(int date, int kind, int value, bool shortenDay = true);
// The neighbouring month (delta -1 or +1), keeping the day where the month has it, else its last day.
DateMoveResult changeMonth(int date, int delta);

// One grid's date and week start with the rules above; every change of the date is reported through
// changed (dayOnly when the month and year stayed), in the order it happens.
class MonthGrid {
public:
    explicit MonthGrid(int date, int startOfWeek = 1);

    std::function<void(bool dayOnly)> changed;

    int CalendarDate() const { return date_; }
    int year() const { return year_; }
    int month() const { return month_; }
    int day() const { return day_; }
    int datePart(int kind) const;  // 0 for an unknown kind
    int DaysThisMonth() const;

    int StartOfWeek() const { return startOfWeek_; }
    // False (and nothing changes) when the value is the current one or not a weekday 0..6.
    bool SetStartOfWeek(int value);
    int FirstDayOffset() const { return firstDayOffset_; }

    // Cleared by every change through SetDatePart.
    bool UseCurrentDate = true;

    // A month change shortens the day to the new month unless shortenDay is false.
    DateMove SetDatePart(int kind, int value, bool shortenDay = true);
    DateMove SetCalendarDate(int date);
    DateMove PrevMonth() { return ChangeMonth(-1); }
    DateMove NextMonth() { return ChangeMonth(+1); }
    DateMove ChangeMonth(int delta);
    DateMove PrevYear() { return ChangeYear(-1); }
    DateMove NextYear() { return ChangeYear(+1); }
    DateMove ChangeYear(int delta);

    int cellDay(int row, int column) const;
    GridCell currentCell() const { return cellOfDay(day_, firstDayOffset_); }

private:
    void take(int date, bool dayOnly);
    void recompute();

    int date_ = 0;
    int year_ = 0;
    int month_ = 0;
    int day_ = 0;
    int startOfWeek_ = 1;
    int firstDayOffset_ = 1;
};

}  // namespace orv
