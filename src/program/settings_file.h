#pragma once
// "Orvella.INI": the values of sections "System", "Calendar" and "Reminders", read once at start and
// written whole at fixed moments. The window side adds only what needs a screen (placement, first run).

#include <string>

namespace orv {

class IniFile;
class Program;

// Reads every value of the three sections into the program (defaults where a value is missing or unusable),
// resets the colours and resolves the data folder (empty "Path" = program folder + "/Data"; a relative one
// lies in the program folder). Throws IoError for a relative "Path" that leads out of the program folder.
// defaultDateFormat is the system's long date format, taken when the key is missing.
void readSettings(const IniFile& ini, Program& program, const std::string& defaultDateFormat);

// Writes every value in its fixed order; other sections and lines of the file are kept.
void writeSettings(const Program& program, IniFile& ini);

// Loads the settings file of the program folder into ini and reads it; returns whether the file existed.
bool loadSettingsFile(Program& program, IniFile& ini, const std::string& defaultDateFormat);

// Rewrites the settings file with the current values (keeping its other sections) through a temporary file.
void saveSettingsFile(const Program& program);

// Makes sure the data folder exists: creates it when it cannot be entered. Throws IoError naming the folder
// when it can neither be entered nor created.
void ensureDataFolder(const Program& program);
// For whatever only reads: throws IoError naming the data folder when it is not there, creating nothing.
void expectDataFolder(const Program& program);

}  // namespace orv
