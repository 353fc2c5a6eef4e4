#include "events/recurrence.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "common/day_number.h"

namespace orv {
namespace {

void validate(const RepeatSettings& s) {
    if (s.StartDate < minDayNumber() || s.StartDate > maxDayNumber())
        throw std::invalid_argument("start date outside the calendar's years");
    if (s.RepeatKind < rkDays || s.RepeatKind > rkNthWeekday) throw std::invalid_argument("unknown repetition kind");
    if (s.Interval < 1) throw std::invalid_argument("interval below 1");
    if (s.YearsToRepeat < 1 || s.YearsToRepeat > 999) throw std::invalid_argument("years to repeat outside 1..999");
    if (s.RepeatKind == rkNthWeekday) {
        if (s.NthOccurrence < 1 || s.NthOccurrence > 4) throw std::invalid_argument("occurrence outside 1..4");
        if (s.Weekday < 1 || s.Weekday > 7) throw std::invalid_argument("weekday outside 1..7");
    }
}

bool earlier(std::int64_t y, int m, int d, const Ymd& than) {
    if (y != than.year) return y < than.year;
    if (m != than.month) return m < than.month;
    return d < than.day;
}

// Moves (y, m) on by months, carrying whole years.
void addMonths(std::int64_t& y, int& m, int months) {
    const std::int64_t total = y * 12 + (m - 1) + months;
    y = total / 12;
    m = static_cast<int>(total % 12) + 1;
}

}  // namespace

int repeatEndDate(const RepeatSettings& s) {
    if (s.UntilDate > 0) return std::min(s.UntilDate, maxDayNumber());
    const Ymd start = toYmd(s.StartDate);
    const std::int64_t year = static_cast<std::int64_t>(start.year) + s.YearsToRepeat;
    if (year > kMaxYear) return maxDayNumber();
    return nearestDayNumber(static_cast<int>(year), start.month, start.day);
}

int effectiveUntilDate(int untilDate, int today) { return untilDate > today ? untilDate : 0; }

std::vector<int> expandRepetition(const RepeatSettings& s) {
    validate(s);
    const int end = repeatEndDate(s);
    const Ymd start = toYmd(s.StartDate);
    std::vector<int> dates;

    switch (s.RepeatKind) {
        case rkDays:
        case rkWeeks: {
            const std::int64_t step = static_cast<std::int64_t>(s.Interval) * (s.RepeatKind == rkWeeks ? 7 : 1);
            if (end > s.StartDate) dates.reserve(static_cast<size_t>((end - s.StartDate) / step + 1));
            std::int64_t d = s.StartDate;
            do {
                dates.push_back(static_cast<int>(d));
                d += step;
            } while (d <= end);
            break;
        }
        case rkYears: {
            dates.push_back(s.StartDate);
            for (std::int64_t k = 1;; ++k) {
                const std::int64_t year = start.year + k * s.Interval;
                if (year > kMaxYear) break;
                const int d = nearestDayNumber(static_cast<int>(year), start.month, start.day);
                if (d > end) break;
                dates.push_back(d);
            }
            break;
        }
        case rkMonths: {
            // Every month's date comes from the start's day, so a start on the 31st gets the 31st back in
            // every month that has one.
            const Ymd last = toYmd(end);
            dates.push_back(s.StartDate);
            std::int64_t y = start.year;
            int m = start.month;
            for (;;) {
                addMonths(y, m, s.Interval);
                if (y > kMaxYear || !earlier(y, m, start.day, last)) break;
                const int year = static_cast<int>(y);
                if (start.day <= daysInMonth(year, m)) dates.push_back(dayNumber(year, m, start.day));
                else if (s.missingDay == MissingDay::Nearest) dates.push_back(nearestDayNumber(year, m, start.day));
            }
            break;
        }
        case rkNthWeekday: {
            std::int64_t y = start.year;
            int m = start.month;
            while (y <= kMaxYear) {
                const int first = dayNumber(static_cast<int>(y), m, 1);
                if (first >= end) break;
                const int offset = (s.Weekday - dayOfWeek(first) + 7) % 7;
                const int d = first + offset + 7 * (s.NthOccurrence - 1);
                if (d >= s.StartDate && d <= end) dates.push_back(d);
                addMonths(y, m, s.Interval);
            }
            break;
        }
    }
    return dates;
}

}  // namespace orv
