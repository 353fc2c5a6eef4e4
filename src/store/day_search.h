#pragma once
// The days of the open calendar in date order, and the search through their texts.

#include <string>
#include <string_view>
#include <vector>

namespace orv {

class CalDb;

// The days within first..last (both included) that have a live record, in date order, each once.
std::vector<int> storedDays(const CalDb& store, int first, int last);

struct DayMatch {
    int day = 0;
    std::vector<std::string> lines;  // the matching lines (UTF-8), without their line breaks
};

// Days within first..last with a line that contains needle (UTF-8, one line) ignoring case in every
// script, in date order, with those lines.
std::vector<DayMatch> searchDays(CalDb& store, std::string_view needle, int first, int last);

}  // namespace orv
