#include "app/month_grid.h"

#include "common/day_number.h"

namespace orv {
namespace {

int mod7(int n) { return ((n % 7) + 7) % 7; }

}  // namespace

int firstColumn(int year, int month, int startOfWeek) {
    return mod7(weekday0(dayNumber(year, month, 1)) - startOfWeek);
}

int firstDayOffset(int year, int month, int startOfWeek) { return 1 - firstColumn(year, month, startOfWeek); }

int cellDay(int row, int column, int offset, int daysThisMonth) {
    if (row < 1 || row >= kGridRows || column < 0 || column >= kGridColumns) return 0;
    const int day = column + (row - 1) * 7 + offset;
    return day >= 1 && day <= daysThisMonth ? day : 0;
}

GridCell cellOfDay(int day, int offset) {
    // day - offset = day - 1 + c0 is never negative for a day of the month.
    const int n = day - offset;
    return {n / 7 + 1, mod7(n)};
}

int headerWeekday(int column, int startOfWeek) { return mod7(column + startOfWeek); }

bool isWeekendColumn(int column, int startOfWeek, unsigned weekends) {
    return (weekends & weekdayBit(headerWeekday(column, startOfWeek))) != 0;
}

DateMoveResult setDatePart(int date, int kind, int value, bool shortenDay) {
    const Ymd old = toYmd(date);
    Ymd next = old;
    if (value < 1) return {DateMove::Unchanged, date};
    switch (kind) {
        case kPartYear:
            if (value == old.year) return {DateMove::Unchanged, date};
            if (value > kMaxYear) return {DateMove::OutOfRange, date};
            next.year = value;
            break;
        case kPartMonth:
            if (value > 12 || value == old.month) return {DateMove::Unchanged, date};
            next.month = value;
            if (shortenDay && next.day > daysInMonth(next.year, next.month))
                next.day = daysInMonth(next.year, next.month);
            break;
        case kPartDay:
            if (value > daysInMonth(old.year, old.month) || value == old.day) return {DateMove::Unchanged, date};
            next.day = value;
            break;
        default: return {DateMove::Unchanged, date};
    }
    const auto formed = tryDayNumber(next.year, next.month, next.day);
    if (!formed) return {DateMove::NoSuchDate, date};
    return {DateMove::Changed, *formed};
}

DateMoveResult changeMonth(int date, int delta) {
    const Ymd old = toYmd(date);
    const int edge = delta <= 0 ? dayNumber(old.year, old.month, 1)
                                : dayNumber(old.year, old.month, daysInMonth(old.year, old.month));
    const int landed = edge + delta;
    if (!isRepresentableDay(landed)) return {DateMove::OutOfRange, date};
    const Ymd there = toYmd(landed);
    const int result = nearestDayNumber(there.year, there.month, old.day);
    return {result == date ? DateMove::Unchanged : DateMove::Changed, result};
}

MonthGrid::MonthGrid(int date, int startOfWeek) : startOfWeek_(mod7(startOfWeek)) {
    if (!isRepresentableDay(date)) date = dayNumber(2000, 1, 1);
    date_ = date;
    recompute();
}

int MonthGrid::datePart(int kind) const {
    switch (kind) {
        case kPartYear: return year_;
        case kPartMonth: return month_;
        case kPartDay: return day_;
        default: return 0;
    }
}

int MonthGrid::DaysThisMonth() const { return daysInMonth(year_, month_); }

bool MonthGrid::SetStartOfWeek(int value) {
    if (value < 0 || value > 6 || value == startOfWeek_) return false;
    startOfWeek_ = value;
    recompute();
    return true;
}

int MonthGrid::cellDay(int row, int column) const {
    return orv::cellDay(row, column, firstDayOffset_, DaysThisMonth());
}

void MonthGrid::recompute() {
    const Ymd ymd = toYmd(date_);
    year_ = ymd.year;
    month_ = ymd.month;
    day_ = ymd.day;
    firstDayOffset_ = firstDayOffset(year_, month_, startOfWeek_);
}

void MonthGrid::take(int date, bool dayOnly) {
    date_ = date;
    recompute();
    if (changed) changed(dayOnly);
}

DateMove MonthGrid::SetDatePart(int kind, int value, bool shortenDay) {
    const DateMoveResult r = setDatePart(date_, kind, value, shortenDay);
    if (r.move != DateMove::Changed) return r.move;
    UseCurrentDate = false;
    take(r.date, kind == kPartDay);
    return DateMove::Changed;
}

DateMove MonthGrid::SetCalendarDate(int date) {
    if (!isRepresentableDay(date)) return DateMove::OutOfRange;
    const Ymd ymd = toYmd(date);
    // Like the setter it stands for, this reports a change even when the date stays.
    take(date, ymd.year == year_ && ymd.month == month_);
    return DateMove::Changed;
}

DateMove MonthGrid::ChangeMonth(int delta) {
    const DateMoveResult r = changeMonth(date_, delta);
    if (r.move == DateMove::OutOfRange) return r.move;
    SetCalendarDate(r.date);
    return r.move;
}

DateMove MonthGrid::ChangeYear(int delta) {
    const int target = year_ + delta;
    if (delta == 0) return DateMove::Unchanged;
    if (target < kMinYear || target > kMaxYear) return DateMove::OutOfRange;
    if (isLeapYear(year_) && month_ == 2 && day_ == 29) SetDatePart(kPartDay, 28);
    return SetDatePart(kPartYear, target);
}

}  // namespace orv
