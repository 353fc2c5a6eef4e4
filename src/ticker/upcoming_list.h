#pragma once
// The upcoming events list of the title ticker: the rows of the birthday list and of "VEvents.dat" whose next
// date lies within the coming week, as display texts in date order.

#include <optional>
#include <string>
#include <vector>

#include "common/date_format.h"

namespace orv {

class BirthdayList;

constexpr int kLookAheadDays = 7;

// One row of either list, its cells as read (UTF-8).
struct YearlyRow {
    std::string name;
    std::string event;
    std::string month;
    std::string day;
};

std::vector<YearlyRow> yearlyRows(const BirthdayList& list);

// This year's (Month, Day), or next year's when that is before today; nullopt when Month or Day is not a whole
// number or the date does not exist in the year concerned (29 February of a common year).
std::optional<int> nextDate(const std::string& month, const std::string& day, int today);

// Display texts, date "ddd, d mmm yyyy":
//   birthday list:  Name + " - " + Event + " on " + date, or Event + " on " + date without a name;
//   "VEvents.dat":  Event + " on " + date, or Event alone without a name.
// Ordered by date, then by text ignoring case. Rows due more than lookAheadDays after today are left out.
std::vector<std::string> BuildTicker(const std::vector<YearlyRow>& birthdays, const std::vector<YearlyRow>& second,
                                     int today, const DateNames& names = englishDateNames(),
                                     int lookAheadDays = kLookAheadDays);

}  // namespace orv
