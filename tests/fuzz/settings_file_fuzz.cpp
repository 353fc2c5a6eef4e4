// "Orvella.INI" of any bytes: read into the program's values, written back and read again, the values
// must come back the same (what is saved is what the next start reads), and after a few saves the file
// must stay as it is: the parser may move a stray comment or signature once or twice, but no line may
// grow or wander at every save.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/ini_file.h"
#include "common/io_error.h"
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
           // Reals are kept to the 15 digits the file holds.
           orv::formatIniReal(x.RemindersDate) == orv::formatIniReal(y.RemindersDate) &&
           orv::formatIniReal(x.RemindersTime) == orv::formatIniReal(y.RemindersTime) &&
           a.calendars.DataFolder == b.calendars.DataFolder &&
           a.calendars.CurrentCalendarIndex == b.calendars.CurrentCalendarIndex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    IniFile ini;
    ini.loadFromText(std::string(reinterpret_cast<const char*>(data), size));
    Program first("/program");
    try {
        readSettings(ini, first, "dddd, d mmmm yyyy");
    } catch (const IoError&) {
        return 0;  // a data folder refused: nothing is written back
    }
    writeSettings(first, ini);
    const std::string saved = ini.toText();

    IniFile again;
    again.loadFromText(saved);
    Program second("/program");
    readSettings(again, second, "dddd, d mmmm yyyy");
    check(sameValues(first, second), "a value");
    writeSettings(second, again);
    std::string text = again.toText();
    for (int save = 3; save <= 5; ++save) {
        IniFile next;
        next.loadFromText(text);
        Program program("/program");
        readSettings(next, program, "dddd, d mmmm yyyy");
        check(sameValues(first, program), "a value after more saves");
        writeSettings(program, next);
        const std::string resaved = next.toText();
        if (save == 5) check(resaved == text, "the saved text");
        text = resaved;
    }
    return 0;
}
