#pragma once
// The week page's days without a window: the 28 days from a Monday that the page shows, the month the
// page belongs to, its title, its week and month steps and the cell that takes the focus.

#include <array>
#include <string>

#include "common/date_format.h"

namespace orv {

constexpr int kPageCells = 28;
constexpr int kCellsPerRow = 7;
constexpr int kPageRows = 4;
// A Monday on this day of the month or later starts a page of the next month.
constexpr int kLastDayOfOwnMonth = 18;

enum class StepSize { Week, Month };
enum class StepDirection { Back, Forward };

class DeskPage {
public:
    // Day of month the page was opened for; set by the opener, never changed by the page.
    int SelectedDay = 1;
    int PageMonth = 1;  // 1..12
    int PageYear = 2000;
    double PageStart = 0;                            // cell 1, always a Monday
    double PageEnd = 0;                              // cell 28
    std::array<double, kPageCells + 1> CellDates{};  // indexed 1..28

    // Cell i (1..28): week row (i - 1) div 7, column (i - 1) mod 7; columns 0..4 are Monday..Friday,
    // 5 Saturday and 6 Sunday.
    static int rowOf(int cell) { return (cell - 1) / kCellsPerRow; }
    static int columnOf(int cell) { return (cell - 1) % kCellsPerRow; }
    static bool isWeekendCell(int cell) { return columnOf(cell) >= 5; }

    // PageStart from PageYear-PageMonth-SelectedDay: a Saturday or Sunday moves on to the next Monday
    // when weekends are hidden, every other day back to its Monday. Then AssignCellDates.
    void open(bool showWeekends);
    void AssignCellDates();

    // A week or month step (the window saves its cells before). False, and nothing changes, when the
    // page would leave the years 1..9999.
    bool Navigate(StepDirection direction, StepSize size);

    int dayOfMonth(int cell) const;
    // The day number is black when the cell's month is PageMonth (the year is not compared), else grey.
    bool inPageMonth(int cell) const;
    // A cell whose date lies past 31 December 9999 cannot hold a reminder.
    bool cellUsable(int cell) const;

    // The first cell in PageMonth on or after SelectedDay that is visible as far as weekends go;
    // 0 when there is none.
    int focusCell(bool showWeekends) const;

    // The text of the title panel. One-week mode titles a week lying wholly in one month with the
    // long month name of names (the system's) and the year.
    std::string title(bool fourWeeks, bool showWeekends, const DateNames& names = englishDateNames()) const;
};

}  // namespace orv
