#pragma once
// Stamping entry lines ("<" + text + ">" + CR LF) into the days of the open calendar: a repetition's
// dates, or the birthday list for one year. A day's text never grows past what the editors keep, and a
// stamping that would push the calendar to the size at which the store starts dropping its oldest days is
// refused before anything is written.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/date_format.h"

namespace orv {

class BirthdayList;
class CalDb;

// The longest day text the editors keep (a line break counts two).
constexpr int kMaxDayTextLength = 1000;

// The text of a day after appending line: line + CR LF to an empty text, text + line + CR LF to a text
// ending in CR LF, text + CR LF + line otherwise.
std::string textWithEntryLine(std::string_view text, std::string_view line);

enum class AppendOutcome {
    Added,
    AlreadyPresent,  // skip-if-present and the day holds the line (CR LF included) somewhere
    TooLong,         // the day's text would pass kMaxDayTextLength, or kMaxStoredChars bytes; nothing written
};

// Adds line to the day through the store: a new record for a day without one, else the day's text
// with the line appended. Throws IoError from the store.
AppendOutcome AppendEntryLine(CalDb& store, int date, std::string_view line, bool skipIfPresent);

struct StampItem {
    int date = 0;
    std::string line;
};

struct StampResult {
    // Refused for capacity: nothing was written.
    bool refused = false;
    int newDaysNeeded = 0;  // days without a record that would get one
    int roomLeft = 0;       // days the calendar can still take

    // Positions in the stamped list of dates (or items).
    std::vector<size_t> added;
    std::vector<size_t> alreadyPresent;
    std::vector<size_t> tooLong;
};

// The most days a calendar may hold after stamping (the store drops its oldest days from 10000 on).
int stampingCapacity();

// Days with a live record in the open calendar.
int liveDayCount(const CalDb& store);

// A repetition: line (skip-if-present not set) into every date in order. The calendar gets every entry or,
// when anything fails (the IoError is thrown), none. With dryRun nothing is written and the result says
// what would be.
StampResult stampRepetition(CalDb& store, const std::vector<int>& dates, std::string_view line, bool dryRun = false);

// The birthday list for a year: every row whose Month and Day make a date in that year, in row order
// (nothing for a list whose only row has no month).
std::vector<StampItem> birthdayItems(const BirthdayList& list, int year);

// The items with skip-if-present set; all or nothing, as above.
StampResult stampItems(CalDb& store, const std::vector<StampItem>& items, bool dryRun = false);

// Messages for the windows and the command-line tool.
std::string capacityMessage(const StampResult& result);
// The dates skipped by the length rule, as "dddd, d mmmm yyyy" (the first 20, then how many more).
std::string tooLongMessage(const std::vector<int>& dates, const DateNames& names = englishDateNames());

}  // namespace orv
