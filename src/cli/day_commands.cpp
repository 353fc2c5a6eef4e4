// calendars, show, set, clear: one day's text at a time, as the to-do window keeps it.

#include <ostream>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/cp1252.h"
#include "common/date_format.h"

namespace orv::cli {
namespace {

constexpr size_t kEditorLimit = 1000;  // what the windows' editors keep; a line break counts two

void expectArgs(const Args& args, size_t low, size_t high, const char* usage) {
    if (args.size() < low || args.size() > high) throw UsageError(usage);
}

}  // namespace

int cmdCalendars(CliContext& ctx, const Args& args) {
    expectArgs(args, 0, 0, "calendars takes no arguments");
    ctx.openCalendar();
    const CalendarList& list = ctx.state.calendars;
    for (int i = 0; i < list.size(); ++i)
        ctx.out << (i == list.CurrentCalendarIndex ? "* " : "  ") << cp1252ToUtf8(list.Names[i]) << '\n';
    return 0;
}

int cmdShow(CliContext& ctx, const Args& args) {
    expectArgs(args, 1, 2, "show DATE [LAST]");
    const int first = parseDate(args[0]);
    const int last = args.size() == 2 ? parseDate(args[1]) : first;
    ctx.openCalendar();
    if (args.size() == 1) {
        if (ctx.store.FetchDay(first))
            for (const auto& line : textLines(ctx.store.CurrentRecord.text())) ctx.out << line << '\n';
        return 0;
    }
    for (int day = first; day <= last; ++day) {
        if (!ctx.store.FetchDay(day)) continue;
        ctx.out << isoDate(day) << '\n';
        for (const auto& line : textLines(ctx.store.CurrentRecord.text())) ctx.out << "  " << line << '\n';
    }
    return 0;
}

int cmdSet(CliContext& ctx, const Args& args) {
    expectArgs(args, 2, 2, "set DATE TEXT");
    const int day = parseDate(args[0]);
    const std::string text = parseText(args[1]);
    if (text.size() > kEditorLimit)
        throw DataError("text of " + std::to_string(text.size()) + " characters is longer than 1000");
    ctx.openCalendar();
    CalDb& store = ctx.store;
    if (store.FetchDay(day)) {
        if (text.empty()) {
            store.DeleteCurrentDay();
        } else {
            store.CurrentRecord.Date = day;
            store.CurrentRecord.setText(text);
            store.StoreDay();
        }
    } else if (!text.empty()) {
        store.CurrentRecord.clear();
        store.CurrentRecord.Date = day;
        store.CurrentRecord.setText(text);
        store.AppendDay();
    }
    ctx.flush();
    return 0;
}

int cmdClear(CliContext& ctx, const Args& args) {
    expectArgs(args, 1, 1, "clear DATE");
    const int day = parseDate(args[0]);
    ctx.openCalendar();
    if (ctx.store.FindDay(day)) ctx.store.DeleteCurrentDay();
    ctx.flush();
    return 0;
}

}  // namespace orv::cli
