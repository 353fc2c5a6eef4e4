// search: the days whose text holds a word, in one calendar or in all of them.

#include <algorithm>
#include <optional>
#include <ostream>
#include <tuple>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/io_error.h"
#include "store/day_search.h"

namespace orv::cli {

int cmdSearch(CliContext& ctx, const Args& args) {
    const char* const usage = "search TEXT [--from DATE] [--to DATE] [--all]";
    std::optional<std::string> text;
    int from = minDayNumber();
    int to = maxDayNumber();
    bool all = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--from" || a == "--to") {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            (a == "--from" ? from : to) = ctx.parseDate(args[++i]);
        } else if (a == "--all") {
            all = true;
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a + "; " + usage);
        } else if (!text) {
            text = a;
        } else {
            throw UsageError(usage);
        }
    }
    if (!text || text->empty()) throw UsageError(usage);
    if (from > to) throw UsageError("--from is later than --to");
    if (all && ctx.calendarOption) throw UsageError("--all searches every calendar; leave out --calendar");
    const std::string needle = parseText(*text);
    if (needle.find_first_of("\r\n") != std::string::npos) throw UsageError("search TEXT must be one line");

    ctx.openCalendarForReading();
    if (!all) {
        for (const DayMatch& m : searchDays(ctx.program.store, needle, from, to)) {
            ctx.out << isoDate(m.day) << '\n';
            for (const std::string& line : m.lines) ctx.out << "  " << line << '\n';
        }
        return 0;
    }

    CalendarList& calendars = ctx.program.calendars;
    std::vector<std::tuple<int, int, std::vector<std::string>>> found;  // day, calendar, lines
    bool failed = false;
    for (int c = 0; c < calendars.size(); ++c) {
        calendars.CurrentCalendarIndex = c;
        try {
            ctx.program.store.OpenCurrentCalendar();
            for (DayMatch& m : searchDays(ctx.program.store, needle, from, to))
                found.emplace_back(m.day, c, std::move(m.lines));
        } catch (const IoError& e) {
            ctx.err << "orvella-cli: " << calendars.Names[static_cast<size_t>(c)] << ": " << e.what()
                    << '\n';
            failed = true;
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& x, const auto& y) {
        return std::tie(std::get<0>(x), std::get<1>(x)) < std::tie(std::get<0>(y), std::get<1>(y));
    });
    for (const auto& [day, c, lines] : found) {
        ctx.out << isoDate(day) << ' ' << calendars.Names[static_cast<size_t>(c)] << '\n';
        for (const std::string& line : lines) ctx.out << "  " << line << '\n';
    }
    return failed ? 2 : 0;
}

}  // namespace orv::cli
