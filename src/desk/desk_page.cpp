#include "desk/desk_page.h"

#include <cstdio>

#include "common/day_number.h"

namespace orv {
namespace {

constexpr int kSunday = 1;  // dayOfWeek numbering, 1 = Sunday .. 7 = Saturday
constexpr int kMonday = 2;
constexpr int kSaturday = 7;

int mondayOnOrBefore(int day) {
    const int wd = dayOfWeek(day);
    return day - (wd == kSunday ? 6 : wd - kMonday);
}

int monthOf(double day) { return toYmd(static_cast<int>(day)).month; }

bool pageFits(int start) { return start >= minDayNumber() && start + kPageCells - 1 <= maxDayNumber(); }

}  // namespace

void DeskPage::open(bool showWeekends) {
    // The month may lack the selected day when a step has moved PageMonth since the page was opened.
    const int date = nearestDayNumber(PageYear, PageMonth, SelectedDay);
    const int wd = dayOfWeek(date);
    if (!showWeekends && wd == kSaturday) PageStart = date + 2;
    else if (!showWeekends && wd == kSunday) PageStart = date + 1;
    else PageStart = mondayOnOrBefore(date);
    AssignCellDates();
}

void DeskPage::AssignCellDates() {
    for (int i = 1; i <= kPageCells; ++i) CellDates[static_cast<size_t>(i)] = PageStart + i - 1;
    PageEnd = CellDates[kPageCells];
}

bool DeskPage::Navigate(StepDirection direction, StepSize size) {
    const int sign = direction == StepDirection::Forward ? 1 : -1;
    int month = PageMonth;
    int year = PageYear;
    int start = 0;
    if (size == StepSize::Month) {
        month += sign;
        if (month == 13) {
            month = 1;
            ++year;
        } else if (month == 0) {
            month = 12;
            --year;
        }
        if (year < kMinYear || year > kMaxYear) return false;
        const int first = dayNumber(year, month, 1);
        // Weekends shown or not, a page never starts on the last days of the month before.
        const int wd = dayOfWeek(first);
        start = wd == kSunday ? first + 1 : wd == kSaturday ? first + 2 : mondayOnOrBefore(first);
    } else {
        start = static_cast<int>(PageStart) + sign * 7;
        if (!pageFits(start)) return false;
        const Ymd ymd = toYmd(start);
        year = ymd.year;
        month = ymd.month;
        if (ymd.day > kLastDayOfOwnMonth && ++month == 13) {
            month = 1;
            ++year;
        }
        if (year > kMaxYear) return false;
    }
    if (!pageFits(start)) return false;
    PageMonth = month;
    PageYear = year;
    PageStart = start;
    AssignCellDates();
    return true;
}

int DeskPage::dayOfMonth(int cell) const { return toYmd(static_cast<int>(CellDates[static_cast<size_t>(cell)])).day; }

bool DeskPage::inPageMonth(int cell) const { return monthOf(CellDates[static_cast<size_t>(cell)]) == PageMonth; }

bool DeskPage::cellUsable(int cell) const { return isRepresentableDay(CellDates[static_cast<size_t>(cell)]); }

int DeskPage::focusCell(bool showWeekends) const {
    for (int i = 1; i <= kPageCells; ++i) {
        if (inPageMonth(i) && dayOfMonth(i) >= SelectedDay && (showWeekends || !isWeekendCell(i))) return i;
    }
    return 0;
}

std::string DeskPage::title(bool fourWeeks, bool showWeekends, const DateNames& names) const {
    if (!fourWeeks) {
        const int firstMonth = monthOf(CellDates[1]);
        const int visible = showWeekends ? kCellsPerRow : 5;
        bool oneMonth = true;
        for (int i = 2; i <= visible; ++i)
            oneMonth = oneMonth && monthOf(CellDates[static_cast<size_t>(i)]) == firstMonth;
        if (oneMonth) return formatDate(" mmmm yyyy", static_cast<int>(CellDates[1]), names);
    }
    const int startMonth = monthOf(PageStart);
    const Ymd end = toYmd(static_cast<int>(PageEnd));
    std::string text = " ";
    if (startMonth != PageMonth) text += monthName(startMonth) + "/";
    text += monthName(PageMonth);
    if (end.month != PageMonth) text += "/" + monthName(end.month);
    char year[16];
    std::snprintf(year, sizeof year, " %04d", end.year);
    return text + year;
}

}  // namespace orv
