// export and import: the calendar as an iCalendar file for other planners, and their events as entry
// lines in the calendar.

#include <ctime>
#include <optional>
#include <ostream>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/file_util.h"
#include "events/birthday_list.h"
#include "events/entry_stamper.h"
#include "events/ical_reader.h"
#include "events/ical_writer.h"

namespace orv::cli {
namespace {

// Years of another program's calendar fit; a file beyond this is no calendar to import.
constexpr std::size_t kMaxIcalFileBytes = 64 * 1024 * 1024;

struct IcalArgs {
    std::optional<std::string> file;
    std::optional<int> from;
    std::optional<int> to;
    bool dryRun = false;
};

IcalArgs parseIcalArgs(const CliContext& ctx, const Args& args, bool dryRunAllowed, const char* usage) {
    IcalArgs out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--from" || a == "--to") {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            (a == "--from" ? out.from : out.to) = ctx.parseDate(args[++i]);
        } else if (a == "--dry-run" && dryRunAllowed) {
            out.dryRun = true;
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a + "; " + usage);
        } else if (!out.file) {
            out.file = a;
        } else {
            throw UsageError(usage);
        }
    }
    if (!out.file) throw UsageError(usage);
    if (out.from && out.to && *out.from > *out.to) throw UsageError("--from is later than --to");
    return out;
}

// The same month and day some years away, by the nearest-date rule.
int yearsFrom(int day, int years) {
    const Ymd ymd = toYmd(day);
    const int year = std::clamp(ymd.year + years, kMinYear, kMaxYear);
    return nearestDayNumber(year, ymd.month, ymd.day);
}

// An entry line without its break; of a day's whole text, its first line.
std::string withoutBreak(const std::string& line) { return line.substr(0, line.find("\r\n")); }

}  // namespace

int cmdExport(CliContext& ctx, const Args& args) {
    const IcalArgs a = parseIcalArgs(ctx, args, false, "export FILE.ics [--from DATE] [--to DATE]");
    ctx.openCalendarForReading();
    BirthdayList yearly;
    if (const auto failure = yearly.LoadEventsFile(ctx.program.eventsFile())) throw DataError(*failure);
    const IcalExport result =
        exportCalendar(ctx.program.store, yearly, ctx.program.calendars.currentName(), a.from.value_or(minDayNumber()),
                       a.to.value_or(maxDayNumber()), ctx.program.today(), std::time(nullptr));
    writeFileAtomically(*a.file, result.text);
    ctx.out << *a.file << ": " << result.days << (result.days == 1 ? " day, " : " days, ") << result.yearly
            << (result.yearly == 1 ? " yearly date\n" : " yearly dates\n");
    return 0;
}

int cmdImport(CliContext& ctx, const Args& args) {
    const IcalArgs a = parseIcalArgs(ctx, args, true, "import FILE.ics [--from DATE] [--to DATE] [--dry-run]");
    const int today = ctx.program.today();
    const int from = a.from.value_or(yearsFrom(today, -1));
    const int to = a.to.value_or(yearsFrom(today, 5));
    if (from > to)
        throw UsageError("--from is later than the end of the imported span, " + isoDate(to) + "; give --to as well");

    // The whole file is read and expanded before the calendar is opened: a damaged file changes nothing.
    const std::optional<std::string> bytes = readWholeFile(*a.file, kMaxIcalFileBytes);
    if (!bytes) throw DataError("cannot read " + *a.file + ": no such file");
    std::vector<StampItem> items;
    std::vector<std::string> notes;
    try {
        IcalReader reader(*bytes);
        items = reader.entries(from, to, true);
        notes = reader.notes();
    } catch (const IcalError& e) {
        throw DataError(*a.file + ": " + e.what());
    }
    for (const std::string& note : notes) ctx.err << "orvella-cli: " << *a.file << ": " << note << '\n';

    if (a.dryRun) ctx.openCalendarForReading();
    else ctx.openCalendar();
    const StampResult r = stampItems(ctx.program.store, items, a.dryRun);
    if (r.refused) throw DataError(capacityMessage(r));
    for (const size_t i : r.added) ctx.out << isoDate(items[i].date) << ' ' << withoutBreak(items[i].line) << '\n';
    for (const size_t i : r.tooLong)
        ctx.err << "orvella-cli: skipped " << isoDate(items[i].date) << ' ' << withoutBreak(items[i].line)
                << ": the day's reminders would become longer than " << kMaxDayTextLength << " characters\n";
    if (!a.dryRun) ctx.flush();
    return 0;
}

}  // namespace orv::cli
