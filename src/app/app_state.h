#pragma once
// The program-wide values the main window owns and other windows read or change directly: the folders,
// the calendars, the week page colours and the other values of "Orvella.INI". Headless, so that the
// command-line tool starts from exactly the same settings and calendar list as the windows.

#include <cstdint>
#include <string>

#include "common/colours.h"
#include "store/calendar_list.h"

namespace orv {

class CalDb;
class IniFile;

struct AppState {
    std::string ProgramFolder;  // folder of the executable, without a trailing separator
    std::string ArtworkFolder;  // ProgramFolder + "/Artwork"

    // CalendarList, CurrentCalendarIndex and the data folder.
    CalendarList calendars;

    // "System"
    int Left = 300;
    int Top = 40;
    int Size = 1;  // picture size group: 0 small, 1 large
    // "Calendar"
    std::string DefaultDateFormat;
    WinColor Background = wincolor::BtnFace;
    WinColor Foreground = wincolor::BtnFace;
    std::uint8_t BackgrdMode = 3;
    bool ShowWeekends = true;
    int LastAcceptedDate = 21916;  // 1 January 1960
    bool ShowUsage = true;         // "Show dots in main calendar"
    int Tile = 0;
    // "Reminders"
    bool RemindersEnabled = false;
    std::uint8_t RemindersKind = 0;
    double RemindersDate = 0;
    double RemindersTime = 0;
    // Not stored: both black at every settings load.
    WinColor TitleColour = wincolor::Black;
    WinColor TextColour = wincolor::Black;

    std::string settingsFile() const;  // ProgramFolder + "/Orvella.INI"
    std::string usersFile() const;     // ProgramFolder + "/CalUsers.DAT"
    std::string eventsFile() const;    // ProgramFolder + "/Events.dat"
    std::string secondEventsFile() const;  // ProgramFolder + "/VEvents.dat"
};

// The one instance of the program (the windows'); the command-line tool makes its own.
AppState& appState();

}  // namespace orv
