#pragma once
// The one clock of the program: "today" for the windows, the timers and the command-line tool.
// Tests set a fixed day.

#include <optional>

namespace orv::clock {

// Today's day number in the local time zone (or the day set for tests).
int today();

void setToday(std::optional<int> fixedDay);

}  // namespace orv::clock
