// "Orvella.INI" of any bytes: read into the program's values, written back and read again, the values
// must come back the same (what is saved is what the next start reads), and from the second save on the
// file must stay as it is (no line that grows or wanders at every save).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/ini_file.h"
#include "program/program.h"
#include "program/settings_file.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "settings differ after a save and a load: %s\n", what);
    std::abort();
}

bool sameValues(const orv::Program& a, const orv::Program& b) {
    const orv::Settings& x = a.settings;
    const orv::Settings& y = b.settings;
    return x.Left == y.Left && x.Top == y.Top && x.Size == y.Size && x.DefaultDateFormat == y.DefaultDateFormat &&
           x.BackgrdMode == y.BackgrdMode && x.ShowWeekends == y.ShowWeekends &&
           x.LastAcceptedDate == y.LastAcceptedDate && x.ShowUsage == y.ShowUsage && x.Tile == y.Tile &&
           x.RemindersEnabled == y.RemindersEnabled && x.RemindersKind == y.RemindersKind &&
           std::memcmp(&x.RemindersDate, &y.RemindersDate, sizeof(double)) == 0 &&
           std::memcmp(&x.RemindersTime, &y.RemindersTime, sizeof(double)) == 0 &&
           a.calendars.DataFolder == b.calendars.DataFolder &&
           a.calendars.CurrentCalendarIndex == b.calendars.CurrentCalendarIndex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    IniFile ini;
    ini.loadFromText(std::string(reinterpret_cast<const char*>(data), size));
    Program first("/program");
    readSettings(ini, first, "dddd, d mmmm yyyy");
    writeSettings(first, ini);
    const std::string saved = ini.toText();

    IniFile again;
    again.loadFromText(saved);
    Program second("/program");
    readSettings(again, second, "dddd, d mmmm yyyy");
    check(sameValues(first, second), "a value");
    writeSettings(second, again);
    const std::string savedAgain = again.toText();

    IniFile third;
    third.loadFromText(savedAgain);
    Program last("/program");
    readSettings(third, last, "dddd, d mmmm yyyy");
    writeSettings(last, third);
    check(third.toText() == savedAgain, "the saved text");
    return 0;
}
