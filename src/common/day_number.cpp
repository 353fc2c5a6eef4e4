#include "common/day_number.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace orv {
namespace {
using namespace std::chrono;

constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};

}  // namespace

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return (m == 2 && isLeapYear(y)) ? 29 : kDays[m - 1];
}

bool isValidDate(int y, int m, int d) {
    return y >= kMinYear && y <= kMaxYear && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

int dayNumber(int y, int m, int d) {
    const sys_days date = year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)};
    return static_cast<int>((date - kEpoch).count());
}

int dayNumber(const Ymd& ymd) { return dayNumber(ymd.year, ymd.month, ymd.day); }

std::optional<int> tryDayNumber(int y, int m, int d) {
    if (!isValidDate(y, m, d)) return std::nullopt;
    return dayNumber(y, m, d);
}

int nearestDayNumber(int y, int m, int d) {
    const int last = daysInMonth(y, m);
    return dayNumber(y, m, d > last ? last : d);
}

Ymd toYmd(int n) {
    const year_month_day ymd{kEpoch + days{n}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int weekday0(int n) { return static_cast<int>(weekday{kEpoch + days{n}}.c_encoding()); }

int dayOfWeek(int n) { return weekday0(n) + 1; }

int minDayNumber() { return dayNumber(kMinYear, 1, 1); }
int maxDayNumber() { return dayNumber(kMaxYear, 12, 31); }

bool isRepresentableDay(double day) {
    return std::isfinite(day) && day == std::floor(day) && day >= minDayNumber() && day <= maxDayNumber();
}

std::string dateKey(double day) {
    // Whole day numbers are all the store ever writes: print them as integers without going through
    // the general float formatting (same text as "%.15g" gives them).
    if (day == std::floor(day) && std::fabs(day) < 1e15 && !(day == 0 && std::signbit(day)))
        return std::to_string(static_cast<long long>(day));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", day);
    return buf;
}

}  // namespace orv
