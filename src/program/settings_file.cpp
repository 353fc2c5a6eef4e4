#include "program/settings_file.h"

#include <algorithm>
#include <filesystem>

#include "common/file_util.h"
#include "common/ini_file.h"
#include "common/io_error.h"
#include "common/sys_file.h"
#include "program/program.h"

namespace orv {
namespace {

const std::string kSystem = "System";
const std::string kCalendar = "Calendar";
const std::string kReminders = "Reminders";

// A relative "Path" that leads out of the program folder (by ".." beyond its top): a folder copied with
// it would write into whatever lies outside.
bool leavesProgramFolder(const std::string& relative) {
    const std::filesystem::path normal = std::filesystem::path(relative).lexically_normal();
    return !normal.empty() && *normal.begin() == "..";
}

// The data folder as "Path" keeps it: inside the program folder relative to it, so the folder moves with
// its data; anywhere else in full.
std::string storedDataFolder(const std::string& programFolder, const std::string& dataFolder) {
    const std::string prefix = programFolder + "/";
    if (!programFolder.empty() && dataFolder.size() > prefix.size() && dataFolder.starts_with(prefix)) {
        const std::string relative = dataFolder.substr(prefix.size());
        if (relative.front() != '/' && !leavesProgramFolder(relative)) return relative;
    }
    return dataFolder;
}

}  // namespace

void readSettings(const IniFile& ini, Program& program, const std::string& defaultDateFormat) {
    Settings& s = program.settings;
    CalendarList& calendars = program.calendars;
    s.Left = ini.readInteger(kSystem, "Left", 300);
    s.Top = ini.readInteger(kSystem, "Top", 40);
    // The Options size group holds 0 or 1, or neither (-1): above 1 acts as 1 and is written back so.
    s.Size = std::clamp(ini.readInteger(kSystem, "Size", 1), -1, 1);
    s.PrintFile = ini.readString(kSystem, "Print File", "");
    s.DefaultDateFormat = ini.readString(kCalendar, "Default Date Format", defaultDateFormat);
    calendars.DataFolder = ini.value(kCalendar, "Path").value_or("");
    // Never read back: every run starts with the system's button face.
    s.Background = wincolor::BtnFace;
    s.Foreground = wincolor::BtnFace;
    s.BackgrdMode = static_cast<std::uint8_t>(ini.readInteger(kCalendar, "Backgrd mode", 3));
    s.ShowWeekends = ini.readBool(kCalendar, "Show Weekends", true);
    s.LastAcceptedDate = ini.readInteger(kCalendar, "Last Accepted Date", 21916);
    s.ShowUsage = ini.readBool(kCalendar, "Show Usage", true);
    s.Tile = ini.readInteger(kCalendar, "Tile", 0);
    s.RemindersEnabled = ini.readBool(kReminders, "Enabled", false);
    s.RemindersKind = static_cast<std::uint8_t>(ini.readInteger(kReminders, "Kind", 0));
    s.RemindersDate = ini.readReal(kReminders, "Date", 0.0);
    s.RemindersTime = ini.readReal(kReminders, "Time", 0.0);
    s.TitleColour = wincolor::Black;
    s.TextColour = wincolor::Black;
    calendars.CurrentCalendarIndex = ini.readInteger(kSystem, "Current User", 0);
    // A relative "Path" lies in the program folder, for the windows and the command-line tool alike, never
    // in whatever folder the process was started from, nor above it.
    if (calendars.DataFolder.empty()) {
        calendars.DataFolder = findFolderIgnoringCase(program.programFolder(), "Data");
    } else if (calendars.DataFolder.front() != '/') {
        if (leavesProgramFolder(calendars.DataFolder))
            throw IoError("The data folder \"" + calendars.DataFolder + "\" of \"Path\" in section \"Calendar\" of " +
                              program.settingsFile() +
                              " lies outside the program folder. A relative data folder must lie inside it; "
                              "please give a folder inside it or a full path.",
                          program.settingsFile());
        calendars.DataFolder = joinPath(program.programFolder(), calendars.DataFolder);
    }
}

void writeSettings(const Program& program, IniFile& ini) {
    const Settings& s = program.settings;
    const CalendarList& calendars = program.calendars;
    ini.writeInteger(kSystem, "Left", s.Left);
    ini.writeInteger(kSystem, "Top", s.Top);
    ini.writeInteger(kSystem, "Size", s.Size);
    if (!s.PrintFile.empty()) ini.writeString(kSystem, "Print File", s.PrintFile);
    // A relative "Path" is written back as it was, and a data folder inside the program folder (the default
    // "Data" among them) as relative, so the program folder can move together with its data.
    const std::string stored = ini.value(kCalendar, "Path").value_or("");
    if (stored.empty() || stored.front() == '/' || joinPath(program.programFolder(), stored) != calendars.DataFolder)
        ini.writeValue(kCalendar, "Path", storedDataFolder(program.programFolder(), calendars.DataFolder));
    ini.writeString(kCalendar, "Default Date Format", s.DefaultDateFormat);
    ini.writeInteger(kCalendar, "Background", s.Background);
    ini.writeInteger(kCalendar, "Foreground", s.Foreground);
    ini.writeInteger(kCalendar, "Backgrd mode", s.BackgrdMode);
    ini.writeBool(kCalendar, "Show Weekends", s.ShowWeekends);
    ini.writeInteger(kCalendar, "Last Accepted Date", s.LastAcceptedDate);
    ini.writeBool(kCalendar, "Show Usage", s.ShowUsage);
    ini.writeInteger(kCalendar, "Tile", s.Tile);
    ini.writeBool(kReminders, "Enabled", s.RemindersEnabled);
    ini.writeInteger(kReminders, "Kind", s.RemindersKind);
    ini.writeReal(kReminders, "Date", s.RemindersDate);
    ini.writeReal(kReminders, "Time", s.RemindersTime);
    ini.writeInteger(kSystem, "Current User", calendars.CurrentCalendarIndex);
}

bool loadSettingsFile(Program& program, IniFile& ini, const std::string& defaultDateFormat) {
    const bool existed = ini.load(program.settingsFile());
    readSettings(ini, program, defaultDateFormat);
    return existed;
}

void saveSettingsFile(const Program& program) {
    IniFile ini;
    ini.load(program.settingsFile());
    writeSettings(program, ini);
    ini.save(program.settingsFile());
}

void ensureDataFolder(const Program& program) {
    const std::string& folder = program.calendars.DataFolder;
    if (folderExists(folder)) return;
    try {
        makeFolders(folder);
    } catch (const IoError& e) {
        throw IoError("The data folder \"" + folder + "\" can neither be entered nor created: " + e.what(), folder);
    }
    if (!folderExists(folder))
        throw IoError("The data folder \"" + folder + "\" can neither be entered nor created: it is not a folder",
                      folder);
}

void expectDataFolder(const Program& program) {
    const std::string& folder = program.calendars.DataFolder;
    if (!folderExists(folder))
        throw IoError("The data folder \"" + folder + "\" does not exist. Is the disk it lies on connected?", folder);
}

}  // namespace orv
