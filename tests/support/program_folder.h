#pragma once
// Program folders for main-window tests: settings, and the calendar "Ann" holding some days.

#include <string>
#include <utility>
#include <vector>

#include "program/program.h"
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

}  // namespace orv::test
