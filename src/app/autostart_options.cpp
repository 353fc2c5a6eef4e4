#include "app/autostart_options.h"

#include "common/file_util.h"
#include "common/ini_file.h"

namespace orv {
namespace {

constexpr const char* kSection = "Autostart";
constexpr const char* kAutoKey = "cbAuto_Checked";
constexpr const char* kDisplayKey = "rgDisplay_ItemIndex";

}  // namespace

void AutostartOptions::read(const IniFile& ini) {
    if (const auto v = ini.value(kSection, kAutoKey)) {
        if (equalsIgnoringAsciiCase(*v, "True")) cbAutoChecked = true;
        else if (equalsIgnoringAsciiCase(*v, "False")) cbAutoChecked = false;
    }
    if (const auto v = ini.value(kSection, kDisplayKey)) {
        const int index = parseIniInteger(*v).value_or(0);
        // The group has two items; "no item" would leave the grid without a first weekday.
        rgDisplayItemIndex = index < 0 ? 0 : (index > 1 ? 1 : index);
    }
}

void AutostartOptions::write(IniFile& ini) const {
    ini.writeString(kSection, kAutoKey, cbAutoChecked ? "True" : "False");
    ini.writeInteger(kSection, kDisplayKey, rgDisplayItemIndex);
}

void AutostartOptions::load(const std::string& settingsFile) {
    IniFile ini;
    ini.load(settingsFile);
    read(ini);
}

void AutostartOptions::save(const std::string& settingsFile) const {
    IniFile ini;
    ini.load(settingsFile);
    write(ini);
    ini.save(settingsFile);
}

}  // namespace orv
