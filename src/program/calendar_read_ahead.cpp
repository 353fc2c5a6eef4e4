#include "program/calendar_read_ahead.h"

#include "common/ini_file.h"
#include "program/program.h"
#include "program/settings_file.h"

namespace orv {

std::optional<CalendarKeys> readCurrentCalendarKeys(const std::string& programFolder) {
    try {
        // A program of its own: the start's program is being set up meanwhile on the other thread.
        Program ahead(programFolder);
        IniFile ini;
        loadSettingsFile(ahead, ini, {});
        CalendarList& calendars = ahead.calendars;
        calendars.loadAtStartup(ahead.usersFile(), calendars.CurrentCalendarIndex);
        return readCalendarKeys(calendars.CalendarFileName(calendars.CurrentCalendarIndex));
    } catch (...) {
        return std::nullopt;
    }
}

std::future<std::optional<CalendarKeys>> readCurrentCalendarKeysAhead(const std::string& programFolder) {
    return std::async(std::launch::async, readCurrentCalendarKeys, programFolder);
}

}  // namespace orv
