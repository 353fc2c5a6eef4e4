#pragma once
// A repetition's dates: every so many days, weeks, months or years, or the nth weekday of every one to
// six months, from a start date up to an end date.

#include <vector>

namespace orv {

enum RepeatKind : int { rkDays = 1, rkWeeks = 2, rkMonths = 3, rkYears = 4, rkNthWeekday = 5 };

// What becomes of a monthly date the month lacks (a start on the 29th to 31st).
enum class MissingDay {
    Nearest,    // the month's last day
    SkipMonth,  // no date that month
};

struct RepeatSettings {
    int StartDate = 0;  // day number
    int RepeatKind = rkDays;
    int Interval = 1;       // in the kind's unit; months for the nth weekday
    int NthOccurrence = 1;  // 1..4, nth weekday only
    int Weekday = 1;        // 1 = Sunday .. 7 = Saturday, nth weekday only
    int YearsToRepeat = 1;  // 1..999
    int UntilDate = 0;      // day number taken instead of the years when above 0
    MissingDay missingDay = MissingDay::Nearest;
};

// The start's month and day YearsToRepeat years on (the nearest date where that year lacks the day), or
// UntilDate when above 0; never beyond 31 December 9999.
int repeatEndDate(const RepeatSettings& s);

// The dates in ascending order. For days, weeks, months and years the start date always comes first,
// even after the end date. Throws std::invalid_argument for settings outside their ranges (an interval
// below 1, a kind, occurrence or weekday out of range, a start outside 1 January 1 .. 31 December 9999).
std::vector<int> expandRepetition(const RepeatSettings& s);

// The whole-day form of "later than today" for the until date box: the date when it is after today,
// else 0.
int effectiveUntilDate(int untilDate, int today);

}  // namespace orv
