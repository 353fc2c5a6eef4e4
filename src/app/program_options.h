#pragma once
// What a run of the program is asked for besides the desktop's usual options: the program folder, and a
// week page or picture calendar printed into a PDF file without showing a window.

#include <optional>
#include <string>

namespace orv {

struct ProgramOptions {
    enum class Print { None, Week, Calendar };
    Print print = Print::None;
    std::string folder;  // --folder DIR; empty: the executable's
    std::string what;    // the DATE of --print-week, the YYYY-MM or YYYY of --print-calendar
    bool pdfGiven = false;
    std::string pdf;  // --pdf FILE
    bool mono = false;
    bool white = false;
    bool bothPrints = false;  // --print-week and --print-calendar together

    bool prints() const { return print != Print::None; }
};

// Throws cli::UsageError when the options do not go together.
void checkProgramOptions(const ProgramOptions& options);

// What --print-calendar names: a month of a year, or (month 0) the whole year. nullopt when malformed.
struct CalendarRequest {
    int year = 0;
    int month = 0;
    friend bool operator==(const CalendarRequest&, const CalendarRequest&) = default;
};
std::optional<CalendarRequest> parseCalendarRequest(const std::string& text);

}  // namespace orv
