// repeat and birthdays: the repetition and the yearly dates stamped into a calendar, as the repeating
// events window does it.

#include <optional>
#include <ostream>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/file_util.h"
#include "events/birthday_list.h"
#include "events/entry_stamper.h"
#include "events/recurrence.h"

namespace orv::cli {
namespace {

const char* const kRepeatUsage =
    "repeat TEXT --from DATE UNIT [--for YEARS | --until DATE] [--dry-run]; UNIT is --days N, --weeks N, "
    "--months N, --years N or --nth K --weekday DAY --every M";

int parseWeekday(const std::string& text) {
    const DateNames& names = englishDateNames();
    for (int i = 0; i < 7; ++i)
        if (equalsIgnoringAsciiCase(text, names.longDays[static_cast<size_t>(i)]) ||
            equalsIgnoringAsciiCase(text, names.shortDays[static_cast<size_t>(i)]))
            return i + 1;
    throw UsageError("--weekday must be a weekday name such as Tuesday: " + text);
}

// Tells the user what the stamping left out and why.
void reportStamping(CliContext& ctx, const StampResult& r, const std::vector<int>& dates) {
    if (r.refused) throw DataError(capacityMessage(r));
    for (const size_t i : r.tooLong)
        ctx.err << "orvella-cli: skipped " << isoDate(dates[i]) << ": the day's reminders would become longer than "
                << kMaxDayTextLength << " characters\n";
}

}  // namespace

int cmdRepeat(CliContext& ctx, const Args& args) {
    std::optional<std::string> text;
    std::optional<int> from, until, years;
    bool dryRun = false;
    RepeatSettings s;
    int units = 0;
    std::optional<int> nth, weekday, every;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (a == "--from") {
            from = ctx.parseDate(value());
        } else if (a == "--until") {
            until = ctx.parseDate(value());
        } else if (a == "--for") {
            years = parseNumber(value(), 1, 999, "--for");
        } else if (a == "--dry-run") {
            dryRun = true;
        } else if (a == "--days" || a == "--weeks" || a == "--months" || a == "--years") {
            ++units;
            s.RepeatKind = a == "--days" ? rkDays : a == "--weeks" ? rkWeeks : a == "--months" ? rkMonths : rkYears;
            // The ranges of the window's spin boxes.
            s.Interval = parseNumber(value(), 1, a == "--days" ? 365 : 999, a.c_str());
        } else if (a == "--nth") {
            ++units;
            s.RepeatKind = rkNthWeekday;
            nth = parseNumber(value(), 1, 4, "--nth");
        } else if (a == "--weekday") {
            weekday = parseWeekday(value());
        } else if (a == "--every") {
            every = parseNumber(value(), 1, 6, "--every");
            if (*every == 5) throw UsageError("--every must be 1, 2, 3, 4 or 6");
        } else if (!a.empty() && a[0] == '-' && a.size() > 1) {
            throw UsageError("unknown option for repeat: " + a);
        } else if (!text) {
            text = a;
        } else {
            throw UsageError(kRepeatUsage);
        }
    }
    if (!text || !from || units != 1) throw UsageError(kRepeatUsage);
    if (until && years) throw UsageError("--for and --until exclude each other");
    if (s.RepeatKind == rkNthWeekday) {
        if (!weekday) throw UsageError("--nth needs --weekday");
        s.NthOccurrence = *nth;
        s.Weekday = *weekday;
        s.Interval = every.value_or(1);
    } else if (weekday || every) {
        throw UsageError("--weekday and --every belong to --nth");
    }

    const std::string event = parseText(*text);
    if (event.empty() || equalsIgnoringAsciiCase(event, "[Event]")) throw DataError("no event text given");
    if (event.find_first_of("\r\n") != std::string::npos) throw DataError("the event text must be one line");
    const std::string line = "<" + event + ">\r\n";
    if (line.size() > static_cast<size_t>(kMaxDayTextLength))
        throw DataError("the event text is too long: its entry would not fit into any day");

    s.StartDate = *from;
    s.YearsToRepeat = years.value_or(1);
    s.UntilDate = until ? effectiveUntilDate(*until, ctx.program.today()) : 0;
    const std::vector<int> dates = expandRepetition(s);
    if (dryRun) ctx.openCalendarForReading();
    else ctx.openCalendar();
    for (const int day : dates) ctx.out << isoDate(day) << '\n';
    const StampResult r = stampRepetition(ctx.program.store, dates, line, dryRun);
    reportStamping(ctx, r, dates);
    if (!dryRun) ctx.flush();
    return 0;
}

int cmdBirthdays(CliContext& ctx, const Args& args) {
    std::optional<int> year;
    bool dryRun = false;
    for (const std::string& a : args) {
        if (a == "--dry-run") dryRun = true;
        else if (!year && !(a.size() > 1 && a[0] == '-')) year = parseNumber(a, kMinYear, kMaxYear, "YEAR");
        else throw UsageError("birthdays YEAR [--dry-run]");
    }
    if (!year) throw UsageError("birthdays YEAR [--dry-run]");

    if (dryRun) ctx.openCalendarForReading();
    else ctx.openCalendar();
    BirthdayList list;
    if (const auto failure = list.LoadEventsFile(ctx.program.eventsFile())) throw DataError(*failure);
    const std::vector<StampItem> items = birthdayItems(list, *year);
    const StampResult r = stampItems(ctx.program.store, items, dryRun);
    std::vector<int> dates;
    for (const auto& item : items) dates.push_back(item.date);
    reportStamping(ctx, r, dates);
    for (const size_t i : r.added) {
        const std::string& l = items[i].line;
        ctx.out << isoDate(items[i].date) << ' ' << l.substr(0, l.size() - 2) << '\n';
    }
    if (!dryRun) ctx.flush();
    return 0;
}

}  // namespace orv::cli
