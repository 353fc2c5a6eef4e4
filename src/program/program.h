#pragma once
// One run of the program, windows or command line: the program folder, the settings values, the calendar
// list, the calendar store over it and the clock. Headless, so that the command-line tool starts from
// exactly what the windows start from.

#include <string>

#include "common/clock.h"
#include "program/settings.h"
#include "store/cal_db.h"
#include "store/calendar_list.h"

namespace orv {

class Program {
public:
    // programFolder: the folder of the executable, without a trailing separator.
    explicit Program(std::string programFolder = {}, Clock clock = {});
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Moves the run to another program folder; the artwork folder follows.
    void setProgramFolder(std::string folder);
    const std::string& programFolder() const { return programFolder_; }

    // The named files and folders of the program folder, found ignoring case as on Windows; the exact name
    // where there is none yet.
    std::string artworkFolder() const;     // "Artwork"
    std::string settingsFile() const;      // "Orvella.INI"
    std::string usersFile() const;         // "CalUsers.DAT"
    std::string eventsFile() const;        // "Events.dat"
    std::string secondEventsFile() const;  // "VEvents.dat"

    int today() const { return clock.today(); }

    Settings settings;
    // CalendarList, CurrentCalendarIndex and the data folder.
    CalendarList calendars;
    // The open calendar: always the current one of calendars.
    CalDb store;
    Clock clock;

private:
    std::string programFolder_;
};

}  // namespace orv
