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
// through a program of its own.
inline void writeProgramFolder(const TempDir& dir, const std::string& ini, const Days& days = {}) {
    dir.write("Orvella.INI", ini);
    dir.write("CalUsers.DAT", "Ann\r\n");
    dir.write("Data/.keep", "");
    if (days.empty()) return;
    Program program(dir.path());
    program.calendars.DataFolder = dir.path() + "/Data";
    program.calendars.Names = {"Ann"};
    program.store.OpenCurrentCalendar();
    for (const auto& [day, text] : days) program.store.writeDay(day, text);
}

// The state every case starts from, and what each leaves behind.
inline void resetProgramState(int today) {
    appState().clock = Clock(today);
    resetAppState();
}

inline void clearProgramState() {
    appState().store.FreeStore();
    appState().clock = Clock();
}

}  // namespace orv::test
