#pragma once
// The Options window's stored choices, section "Autostart" of "Orvella.INI": whether Orvella starts with the
// desktop session, and the first day of the month grid's week. Keys are the control's name, "_" and the
// property.

#include <string>

namespace orv {

class IniFile;

struct AutostartOptions {
    bool cbAutoChecked = true;   // "Start calendar automatically"
    int rgDisplayItemIndex = 0;  // 0 Sunday, 1 Monday

    // A missing key leaves the value as it is; "cbAuto_Checked" other than "True"/"False" (any case) too; an
    // "rgDisplay_ItemIndex" that is not a whole number selects 0, and one beyond the two items the nearer.
    void read(const IniFile& ini);
    // Writes both keys; the rest of the file stays as it is.
    void write(IniFile& ini) const;

    // The same on the settings file itself. load() throws IoError only for a file that exists but cannot be
    // read; save() throws IoError when the file cannot be written.
    void load(const std::string& settingsFile);
    void save(const std::string& settingsFile) const;
};

}  // namespace orv
