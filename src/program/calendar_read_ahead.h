#pragma once
// Reads the keys of the calendar a start will open, on a thread of its own, while the windows are built.

#include <future>
#include <optional>
#include <string>

#include "store/cal_db.h"

namespace orv {

// The calendar the settings and the calendar list of programFolder name as the current one, read without
// writing anything; nullopt when any of it fails (the start then reads and reports it itself).
std::optional<CalendarKeys> readCurrentCalendarKeys(const std::string& programFolder);

// Starts readCurrentCalendarKeys on another thread.
std::future<std::optional<CalendarKeys>> readCurrentCalendarKeysAhead(const std::string& programFolder);

}  // namespace orv
