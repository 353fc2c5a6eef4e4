#pragma once
// The values of "Orvella.INI" sections "System", "Calendar" and "Reminders" that the program keeps while it
// runs; the data folder and the current calendar, stored in the same file, live with the calendar list.

#include <cstdint>
#include <string>

#include "common/colours.h"

namespace orv {

struct Settings {
    // "System"
    int Left = 300;
    int Top = 40;
    int Size = 1;  // picture size group: 0 small, 1 large, -1 neither
    std::string PrintFile;  // the last file printed to; empty before the first
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
};

}  // namespace orv
