// calendars, show, set, clear: one day's text at a time, as the to-do window keeps it.

#include <ostream>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/date_format.h"
#include "common/stored_text.h"
#include "store/cal_db.h"

namespace orv::cli {
namespace {

constexpr size_t kEditorLimit = 1000;  // what the windows' editors keep; a line break counts two

void expectArgs(const Args& args, size_t low, size_t high, const char* usage) {
    if (args.size() < low || args.size() > high) throw UsageError(usage);
}

}  // namespace

int cmdCalendars(CliContext& ctx, const Args& args) {
    expectArgs(args, 0, 0, "calendars takes no arguments");
    ctx.openCalendarForReading();
    const CalendarList& list = ctx.program.calendars;
    for (int i = 0; i < list.size(); ++i)
        ctx.out << (i == list.CurrentCalendarIndex ? "* " : "  ") << list.Names[i] << '\n';
    return 0;
}

int cmdShow(CliContext& ctx, const Args& args) {
    expectArgs(args, 1, 2, "show DATE [LAST]");
    const int first = ctx.parseDate(args[0]);
    const int last = args.size() == 2 ? ctx.parseDate(args[1]) : first;
    ctx.openCalendarForReading();
    if (args.size() == 1) {
        if (const auto text = ctx.program.store.readDay(first))
            for (const auto& line : textLines(*text)) ctx.out << line << '\n';
        return 0;
    }
    const CalDb::Hold reading = ctx.program.store.holdForReading();
    for (int day = first; day <= last; ++day) {
        const auto text = ctx.program.store.readDay(day);
        if (!text) continue;
        ctx.out << isoDate(day) << '\n';
        for (const auto& line : textLines(*text)) ctx.out << "  " << line << '\n';
    }
    return 0;
}

int cmdSet(CliContext& ctx, const Args& args) {
    expectArgs(args, 2, 2, "set DATE TEXT");
    const int day = ctx.parseDate(args[0]);
    const std::string text = parseText(args[1]);
    if (editorLength(text) > kEditorLimit)
        throw DataError("text of " + std::to_string(editorLength(text)) + " characters is longer than 1000");
    if (const size_t bytes = encodeStoredText(text).size(); bytes > static_cast<size_t>(kMaxStoredChars))
        throw DataError("text takes " + std::to_string(bytes) + " bytes as UTF-8, more than the " +
                        std::to_string(kMaxStoredChars) + " a day holds");
    ctx.openCalendar();
    ctx.program.store.writeDay(day, text);
    ctx.flush();
    return 0;
}

int cmdClear(CliContext& ctx, const Args& args) {
    expectArgs(args, 1, 1, "clear DATE");
    const int day = ctx.parseDate(args[0]);
    ctx.openCalendar();
    ctx.program.store.writeDay(day, {});
    ctx.flush();
    return 0;
}

}  // namespace orv::cli
