#include "app/program_options.h"

#include <cctype>

#include "cli/cli_context.h"

namespace orv {
namespace {

bool digits(const std::string& s, size_t from, size_t count) {
    if (s.size() < from + count) return false;
    for (size_t i = from; i < from + count; ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

}  // namespace

void checkProgramOptions(const ProgramOptions& o) {
    using cli::UsageError;
    if (o.bothPrints) throw UsageError("only one of --print-week and --print-calendar at a time");
    if (o.pdfGiven && !o.prints()) throw UsageError("--pdf goes with --print-week or --print-calendar");
    if (o.prints() && o.pdf.empty())
        throw UsageError(std::string(o.print == ProgramOptions::Print::Week ? "--print-week" : "--print-calendar") +
                         " needs --pdf FILE");
    if ((o.mono || o.white) && o.print != ProgramOptions::Print::Calendar)
        throw UsageError("--mono and --white go with --print-calendar");
}

std::optional<CalendarRequest> parseCalendarRequest(const std::string& text) {
    CalendarRequest r;
    if (text.size() == 4 && digits(text, 0, 4)) {
        r.year = std::stoi(text);
    } else if (text.size() == 7 && digits(text, 0, 4) && text[4] == '-' && digits(text, 5, 2)) {
        r.year = std::stoi(text.substr(0, 4));
        r.month = std::stoi(text.substr(5, 2));
        if (r.month < 1 || r.month > 12) return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (r.year < 1) return std::nullopt;
    return r;
}

}  // namespace orv
