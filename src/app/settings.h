#pragma once
// "Orvella.INI": the values of sections "System", "Calendar" and "Reminders", read once at start and
// written whole at fixed moments. The window side adds only what needs a screen (placement, first run).

#include <string>

#include "app/app_state.h"

namespace orv {

class IniFile;

// Reads every value of the three sections into state (defaults where a value is missing or unusable),
// resets the colours and resolves the data folder (empty "Path" = program folder + "/Data").
// defaultDateFormat is the system's long date format, taken when the key is missing.
void readSettings(const IniFile& ini, AppState& state, const std::string& defaultDateFormat);

// Writes every value in its fixed order; other sections and lines of the file are kept.
void writeSettings(const AppState& state, IniFile& ini);

// Loads the settings file of state.ProgramFolder into ini and reads it; returns whether the file existed.
bool loadSettingsFile(AppState& state, IniFile& ini, const std::string& defaultDateFormat);

// Rewrites the settings file with the current values (keeping its other sections) through a temporary file.
void saveSettingsFile(const AppState& state);

// Makes sure the data folder exists: creates it when it cannot be entered. Throws IoError naming the folder
// when it can neither be entered nor created.
void ensureDataFolder(const AppState& state);

}  // namespace orv
