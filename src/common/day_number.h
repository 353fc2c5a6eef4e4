#pragma once
// Day numbers: whole days since 30 December 1899 (day 0), the unit every file and window uses.

#include <optional>
#include <string>

namespace orv {

struct Ymd {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const Ymd&, const Ymd&) = default;
};

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

bool isLeapYear(int year);
int daysInMonth(int year, int month);  // 0 for a month outside 1..12
bool isValidDate(int year, int month, int day);

// Precondition: isValidDate(year, month, day).
int dayNumber(int year, int month, int day);
int dayNumber(const Ymd& ymd);
std::optional<int> tryDayNumber(int year, int month, int day);

// A day the month lacks (29 to 31) becomes that month's last day.
int nearestDayNumber(int year, int month, int day);

Ymd toYmd(int dayNumber);

// 1 = Sunday ... 7 = Saturday.
int dayOfWeek(int dayNumber);
// 0 = Sunday ... 6 = Saturday.
int weekday0(int dayNumber);

// First and last representable days (1 January 1 and 31 December 9999).
int minDayNumber();
int maxDayNumber();
bool isRepresentableDay(double day);

// The key of a day in the store's index: the value in general format with up to 15 significant
// digits ("36526" for 1 January 2000).
std::string dateKey(double day);

}  // namespace orv
