#pragma once
// What the desktop is told when a day begins: the yearly dates due today and the first lines of today's
// reminder text, under the day's date.

#include <optional>
#include <string>
#include <vector>

#include "common/date_format.h"
#include "ticker/upcoming_list.h"

namespace orv {

struct DayNotice {
    std::string summary;             // the date, "dddd d mmmm yyyy"; UTF-8
    std::vector<std::string> lines;  // UTF-8, without line breaks
    bool empty() const { return lines.empty(); }
};

// How much of the day's text a notice shows.
constexpr size_t kNoticeTextLines = 5;
constexpr size_t kNoticeLineLength = 100;

// Yearly dates due today first (the birthday list as "Name - Event", or the event alone; the second list's
// rows by their event), in list order; then the first non-blank lines of today's text, long
// lines cut, and "…" when more follows. Nothing to tell gives an empty notice.
DayNotice composeDayNotice(int today, const std::vector<YearlyRow>& birthdays, const std::vector<YearlyRow>& second,
                           const std::optional<std::string>& todayText, const DateNames& names = englishDateNames());

}  // namespace orv
