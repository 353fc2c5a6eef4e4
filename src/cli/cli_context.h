#pragma once
// What every command works with: the program of the folder (settings, calendar list, the chosen calendar
// open in its store, the clock), the output streams, and the argument helpers.

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/clock.h"
#include "program/program.h"

namespace orv::cli {

// A wrong command line: exit 1 with the usage text.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Unusable data (a file, a date, a text): exit 2 with one line that names it.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CliContext {
public:
    CliContext(std::ostream& out, std::ostream& err, Clock clock = {}) : out(out), err(err), program({}, clock) {}

    std::ostream& out;
    std::ostream& err;
    std::string folderOption;                   // --folder
    std::optional<std::string> calendarOption;  // --calendar, UTF-8 as typed
    Program program;

    // Reads "Orvella.INI" and "CalUsers.DAT" of the program folder as the windows do at start (nothing is
    // written), completes a restore that was interrupted, makes the data folder when it is missing,
    // selects the calendar and opens it in store. A full calendar has its oldest days moved to its archive
    // then, as in the windows, and the user is told on err.
    void openCalendar();
    // The same for commands that only read: nothing is moved and nothing can be written, and a missing
    // data folder is an error rather than made.
    void openCalendarForReading();
    // Makes deletions permanent, as the windows do when they close.
    void flush();
    // After a command that wrote: writes the calendar list when there was none and the command made the
    // current calendar's file.
    void keepFirstCalendar();
    // The program folder given or the executable's; throws DataError when it does not exist.
    void enterProgramFolder();

    // "YYYY-MM-DD" or "today".
    int parseDate(const std::string& text) const;

private:
    void open(bool reading);
    bool writing_ = false;
};

// A whole number within [low, high].
int parseNumber(const std::string& text, int low, int high, const char* what);
// A text of the command line (refused unless it is valid UTF-8), "\n" (two characters) standing for a line
// break stored as CR LF.
std::string parseText(const std::string& utf8);
// A day's text for the terminal, split into lines at CR LF.
std::vector<std::string> textLines(const std::string& text);

}  // namespace orv::cli
