#include "cli/cli_context.h"

#include <algorithm>
#include <string_view>

#include "backup/restore_journal.h"
#include "common/cp1252.h"
#include "common/day_number.h"
#include "common/file_util.h"
#include "common/ini_file.h"
#include "common/program_folder.h"
#include "common/sys_file.h"
#include "program/settings_file.h"
#include "store/cal_db.h"

namespace orv::cli {

void CliContext::enterProgramFolder() {
    // The same folder the windows use: beside the executable, or the user's own for an installed copy.
    program.setProgramFolder(folderOption.empty() ? resolveProgramFolder() : folderOption);
    if (!folderExists(program.programFolder())) throw DataError("no such folder: " + program.programFolder());
}

void CliContext::openCalendar() { open(false); }

void CliContext::openCalendarForReading() {
    program.store.readOnly = true;
    open(true);
}

void CliContext::open(bool reading) {
    enterProgramFolder();
    IniFile ini;
    const bool used = loadSettingsFile(program, ini, "dddd, d mmmm yyyy");
    CalendarList& calendars = program.calendars;
    if (const auto done = completeInterruptedRestore({calendars.DataFolder, program.programFolder()}))
        err << "orvella-cli: " << *done << '\n';
    // What only reads makes no data folder: a missing one is named, unless the program folder has never been
    // used (no settings file yet), where there is nothing to read.
    if (!reading) ensureDataFolder(program);
    else if (used) expectDataFolder(program);
    writing_ = !reading;
    // A first start gives the single calendar "User1", as the windows would before asking for a name.
    calendars.loadAtStartup(program.usersFile(), calendars.CurrentCalendarIndex);
    if (calendarOption) {
        if (!isValidUtf8(*calendarOption)) throw DataError("the calendar's name is not valid UTF-8");
        const int index = calendars.indexOf(*calendarOption);
        if (index < 0) throw DataError("no calendar named \"" + *calendarOption + "\"");
        calendars.CurrentCalendarIndex = index;
    }
    program.store.onPurged = [this](int days, const std::string& archive) {
        err << "orvella-cli: " << purgeMessage(days, archive) << '\n';
    };
    program.store.OpenCurrentCalendar();
}

void CliContext::keepFirstCalendar() {
    if (!writing_ || program.calendars.empty()) return;
    // The calendar list is written with the first calendar, so the windows' first start finds it.
    if (statPath(program.usersFile())) return;
    const int index = program.calendars.CurrentCalendarIndex;
    if (statPath(program.calendars.CalendarFileName(index))) program.calendars.saveUsersFile(program.usersFile());
}

void CliContext::flush() {
    program.store.FlushCurrentCalendar();
    program.store.OpenCurrentCalendar();
}

namespace {

bool digits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

int CliContext::parseDate(const std::string& text) const {
    if (text == "today") return program.today();
    // Exactly "YYYY-MM-DD": no signs, blanks or short fields, which a number reader would take silently.
    const std::string_view t = text;
    if (t.size() == 10 && t[4] == '-' && t[7] == '-' && digits(t.substr(0, 4)) && digits(t.substr(5, 2)) &&
        digits(t.substr(8, 2))) {
        const auto number = [&](size_t at, size_t n) { return std::stoi(std::string(t.substr(at, n))); };
        if (const auto day = tryDayNumber(number(0, 4), number(5, 2), number(8, 2))) return *day;
    }
    throw DataError("invalid date: " + text);
}

int parseNumber(const std::string& text, int low, int high, const char* what) {
    // Digits only, and few enough that the value cannot overflow.
    const bool ok = digits(text) && text.size() <= 9 && std::stoi(text) >= low && std::stoi(text) <= high;
    if (!ok)
        throw UsageError(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ": " + text);
    return std::stoi(text);
}

std::string parseText(const std::string& utf8) {
    std::string withBreaks;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\\' && i + 1 < utf8.size() && utf8[i + 1] == 'n') {
            withBreaks += "\r\n";
            ++i;
        } else {
            withBreaks += utf8[i];
        }
    }
    if (!isValidUtf8(withBreaks)) throw DataError("text is not valid UTF-8");
    return withBreaks;
}

std::vector<std::string> textLines(const std::string& utf8) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= utf8.size()) {
        const size_t crlf = utf8.find("\r\n", start);
        if (crlf == std::string::npos) {
            if (start < utf8.size()) lines.push_back(utf8.substr(start));
            break;
        }
        lines.push_back(utf8.substr(start, crlf - start));
        start = crlf + 2;
    }
    return lines;
}

}  // namespace orv::cli
