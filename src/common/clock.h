#pragma once
// "Today" for the windows, the timers and the command-line tool: the local date, or a fixed day (tests,
// and runs that ask for one).

#include <optional>

namespace orv {

class Clock {
public:
    Clock() = default;
    explicit Clock(int fixedDay) : fixed_(fixedDay) {}

    // Today's day number in the local time zone, or the fixed day.
    int today() const;

private:
    std::optional<int> fixed_;
};

}  // namespace orv
