#pragma once
// Date patterns ("d mmmm yyyy", "ddd, d mmm yyyy", " mmmm yyyy" ...) over a table of names, so that the
// windows can pass the system's names and the headless code stays testable with English ones.

#include <array>
#include <string>
#include <string_view>

namespace orv {

struct DateNames {
    std::array<std::string, 12> longMonths;
    std::array<std::string, 12> shortMonths;
    std::array<std::string, 7> longDays;   // 0 = Sunday
    std::array<std::string, 7> shortDays;  // 0 = Sunday
};

const DateNames& englishDateNames();

// The fixed English month names of titles, whatever the system's language; index 1..12.
const std::string& monthName(int month);

// Pattern letters: d dd ddd dddd, m mm mmm mmmm, yy yyyy; text in double or single quotes is literal,
// every other character is copied.
std::string formatDate(std::string_view pattern, int dayNumber, const DateNames& names = englishDateNames());

// "YYYY-MM-DD", the form of the command-line tool.
std::string isoDate(int dayNumber);

}  // namespace orv
