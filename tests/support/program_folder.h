#pragma once
// Program folders for main-window tests: settings, the calendar "Ann" holding some days, and a program
// state that starts from nothing for each case.

#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "common/clock.h"
#include "store/cal_db.h"
#include "support/store_days.h"
#include "support/temp_dir.h"

namespace orv::test {

using Days = std::vector<std::pair<int, std::string>>;

// Writes "Orvella.INI" and "CalUsers.DAT" (the one calendar "Ann") and stores the days in "Data/Ann.DBX",
// leaving the program state as it found it: empty.
inline void writeProgramFolder(const TempDir& dir, const std::string& ini, const Days& days = {}) {
    dir.write("Orvella.INI", ini);
    dir.write("CalUsers.DAT", "Ann\r\n");
    dir.write("Data/.keep", "");
    if (days.empty()) return;
    appState().calendars.DataFolder = dir.path() + "/Data";
    appState().calendars.Names = {"Ann"};
    appState().calendars.CurrentCalendarIndex = 0;
    calDb().setCalendars(&appState().calendars);
    calDb().OpenCurrentCalendar();
    for (const auto& [day, text] : days) putDay(day, text);
    calDb().FreeStore();
    appState() = AppState{};
}

// The state every case starts from, and what each leaves behind.
inline void resetProgramState(int today) {
    clock::setToday(today);
    appState() = AppState{};
    calDb().FreeStore();
}

inline void clearProgramState() {
    calDb().FreeStore();
    clock::setToday(std::nullopt);
}

}  // namespace orv::test
