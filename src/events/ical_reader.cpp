#include "events/ical_reader.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_set>
#include <libical/ical.h>

#include "common/cp1252.h"
#include "common/date_format.h"
#include "common/day_number.h"

namespace orv {
namespace {

constexpr long long kSecondsPerDay = 86400;
constexpr int kUnixEpochDay = 25569;  // 1 January 1970
// The repetition rules of a file, its time zones' included, are followed this many steps at most, all
// together (from the span on, where the library can jump there): a minutely rule over years is no calendar
// entry, and neither are a thousand short rules.
constexpr long long kRuleStepBudget = 500'000;
constexpr size_t kMaxEntries = 1'000'000;
// A content line (unfolded) longer than this is left out before the library sees it: no summary or rule
// of a calendar is that long, and the library's reading of one grows with its square.
constexpr size_t kMaxLineOctets = 64 * 1024;
constexpr size_t kLongLinesNamed = 5;
// Components within components: a calendar, an event, an alarm; a zone, its rules. The library reads
// nesting by recursion.
constexpr size_t kMaxNesting = 16;

[[noreturn]] void damaged(const std::string& why) { throw IcalError(why); }

std::string lineRef(size_t line) { return "line " + std::to_string(line) + ": "; }

bool nameChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'; }

// The text after the content line's name and parameters (after the first colon outside quotes);
// nullopt when the line is no content line.
std::optional<std::string_view> contentValue(std::string_view line, std::string_view& name) {
    size_t i = 0;
    while (i < line.size() && nameChar(line[i])) ++i;
    if (i == 0 || i == line.size() || (line[i] != ':' && line[i] != ';')) return std::nullopt;
    name = line.substr(0, i);
    bool quoted = false;
    for (; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        else if (line[i] == ':' && !quoted) return line.substr(i + 1);
    }
    return std::nullopt;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

struct CheckedText {
    std::string text;  // what the library may read: the file without its over-long lines
    std::vector<std::string> notes;
};

// The reader of the library quietly drops what it cannot make sense of (a stray END, a line without a
// colon, a cut-off file); the structure is therefore checked line by line first.
CheckedText checkStructure(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) damaged("the file holds zero bytes: it is no text file");
    if (!isValidUtf8(text)) damaged("the file is not UTF-8 text");

    struct Open {
        std::string name;
        size_t line;
    };
    std::vector<Open> open;
    bool seenCalendar = false;
    std::string logical;  // at most kMaxLineOctets + 1 of it
    size_t logicalLength = 0;
    size_t logicalLine = 0;
    size_t logicalBegin = 0;  // where its first physical line starts in text
    CheckedText checked;
    checked.text.reserve(text.size());
    size_t longLines = 0;

    const auto finish = [&](const std::string& line, size_t lineNo, size_t length, std::string_view physical) {
        if (length > kMaxLineOctets) {
            std::string_view name;
            const auto value = contentValue(line, name);
            const std::string key = value ? upper(name) : std::string();
            if (!seenCalendar || open.empty() || key.empty() || key == "BEGIN" || key == "END")
                damaged(lineRef(lineNo) + "a line of " + std::to_string(length) +
                        " bytes: no iCalendar line is that long");
            if (++longLines <= kLongLinesNamed)
                checked.notes.push_back(lineRef(lineNo) + "the " + key + " line of " + std::to_string(length) +
                                        " bytes is longer than " + std::to_string(kMaxLineOctets) +
                                        " and was left out");
            return;
        }
        checked.text.append(physical);
        if (line.find_first_not_of(" \t") == std::string::npos) return;
        std::string_view name;
        const auto value = contentValue(line, name);
        if (!seenCalendar && !(value && upper(name) == "BEGIN" && upper(*value) == "VCALENDAR"))
            damaged("this is not an iCalendar file (it does not begin with BEGIN:VCALENDAR)");
        if (!value) damaged(lineRef(lineNo) + "\"" + line.substr(0, 60) + "\" is not an iCalendar line");
        const std::string key = upper(name);
        if (key == "BEGIN") {
            const std::string component = upper(*value);
            if (open.empty() && component != "VCALENDAR")
                damaged(lineRef(lineNo) + "BEGIN:" + std::string(*value) + " outside a calendar");
            if (component.empty()) damaged(lineRef(lineNo) + "BEGIN without a name");
            if (open.size() >= kMaxNesting)
                damaged(lineRef(lineNo) + "components nested more than " + std::to_string(kMaxNesting) + " deep");
            open.push_back({component, lineNo});
            seenCalendar = true;
        } else if (key == "END") {
            if (open.empty() || open.back().name != upper(*value))
                damaged(lineRef(lineNo) + "END:" + std::string(*value) +
                        (open.empty() ? " without a BEGIN"
                                      : " does not close BEGIN:" + open.back().name + " of line " +
                                            std::to_string(open.back().line)));
            open.pop_back();
        } else if (open.empty()) {
            damaged(lineRef(lineNo) + std::string(name) + " outside a calendar");
        }
    };

    size_t lineNo = 0;
    size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineNo;
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            if (logicalLine == 0) damaged(lineRef(lineNo) + "a continued line without a line before it");
            // folded: the break and one blank are no part of the value
            if (logical.size() <= kMaxLineOctets)
                logical.append(line.substr(1, std::min(line.size() - 1, kMaxLineOctets + 1 - logical.size())));
            logicalLength += line.size() - 1;
        } else {
            if (logicalLine != 0)
                finish(logical, logicalLine, logicalLength, text.substr(logicalBegin, pos - logicalBegin));
            logical.assign(line.substr(0, kMaxLineOctets + 1));
            logicalLength = line.size();
            logicalLine = lineNo;
            logicalBegin = pos;
        }
        pos = std::min(end + 1, text.size());
    }
    if (logicalLine != 0) finish(logical, logicalLine, logicalLength, text.substr(logicalBegin, pos - logicalBegin));
    if (longLines > kLongLinesNamed)
        checked.notes.push_back(std::to_string(longLines - kLongLinesNamed) + " more over-long lines were left out");
    if (!seenCalendar) damaged("this is not an iCalendar file (it holds no BEGIN:VCALENDAR)");
    if (!open.empty())
        damaged("the file ends inside BEGIN:" + open.back().name + " of line " + std::to_string(open.back().line) +
                ": it is cut short");
    return checked;
}

// The first error the library noted in the component (and, with nested, in its sub-components).
std::optional<std::string> firstLibraryError(icalcomponent* c, bool nested) {
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY)) {
        const char* message = icalproperty_get_xlicerror(p);
        return std::string(message ? message : "unreadable property");
    }
    if (nested)
        for (icalcomponent* s = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); s;
             s = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
            if (auto e = firstLibraryError(s, true)) return e;
    return std::nullopt;
}

bool validTime(const icaltimetype& t) {
    if (t.year < kMinYear || t.year > kMaxYear || !isValidDate(t.year, t.month, t.day)) return false;
    if (t.is_date) return true;
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 60;
}

long long floorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

std::string twoDigits(int n) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

}  // namespace

// A start, end or exception as written: a date, a floating time, or a time in a zone (UTC included).
struct IcalReader::Moment {
    icaltimetype wall = icaltime_null_time();
    icaltimezone* zone = nullptr;

    bool isDate() const { return wall.is_date != 0; }
    bool floating() const { return !isDate() && zone == nullptr; }
    int wallDay() const { return dayNumber(wall.year, wall.month, wall.day); }

    // Seconds on one scale for comparing: UTC for zoned times, the wall clock for floating ones and dates.
    long long key() const {
        icaltimetype t = wall;
        if (zone && !isDate()) {
            t.zone = zone;
            t = icaltime_convert_to_zone(t, icaltimezone_get_utc_timezone());
        }
        const long long day = dayNumber(t.year, t.month, t.day);
        return day * kSecondsPerDay + (isDate() ? 0 : t.hour * 3600 + t.minute * 60 + std::min(t.second, 59));
    }
};

struct IcalReader::Event {
    std::string uid;
    std::string summary;  // Windows-1252, one line
    bool hasSummary = false;
    Moment start;
    int lengthDays = 1;           // dates
    long long lengthSeconds = 0;  // times
    std::vector<icalrecurrencetype> rules;
    std::vector<icalrecurrencetype> exceptionRules;
    std::vector<Moment> extraDates;
    std::vector<Moment> exceptionDates;
    std::optional<Moment> recurrenceId;
    bool cancelled = false;
    size_t order = 0;
    // A day of an Orvella export: the day's whole text (CR LF line breaks), taken instead of an entry line.
    std::string wholeText;
};

namespace {

using Moment = IcalReader::Moment;

struct Candidate {
    std::tuple<int, int, int, size_t, size_t> sortKey;  // day, timed, minutes, event, sequence
    StampItem item;
};

// Where a moment falls in the local time zone: its day and minutes after midnight.
struct LocalTime {
    int day = 0;
    int minutes = 0;
    bool midnight = true;
};

LocalTime toLocal(long long key, bool floating) {
    LocalTime out;
    if (floating) {
        out.day = static_cast<int>(floorDiv(key, kSecondsPerDay));
        const long long secs = key - out.day * kSecondsPerDay;
        out.minutes = static_cast<int>(secs / 60);
        out.midnight = secs == 0;
        return out;
    }
    const std::time_t t = static_cast<std::time_t>(key - kUnixEpochDay * kSecondsPerDay);
    std::tm tm{};
    localtime_r(&t, &tm);
    out.day = dayNumber(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    out.minutes = tm.tm_hour * 60 + tm.tm_min;
    out.midnight = tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0;
    return out;
}

class Expander {
public:
    Expander(int first, int last, long long& steps, bool wholeDays)
        : first_(first), last_(last), steps_(steps), wholeDays_(wholeDays) {}

    void expand(const IcalReader::Event& e, const std::set<long long>& overridden) {
        std::set<long long> excluded = overridden;
        std::set<int> excludedDays;  // dates excluding every time of their day
        for (const Moment& m : e.exceptionDates) {
            if (m.isDate() && !e.start.isDate()) excludedDays.insert(m.wallDay());
            else excluded.insert(m.key());
        }
        for (const auto& rule : e.exceptionRules) follow(e, rule, [&](const Moment& m) { excluded.insert(m.key()); });

        std::map<long long, Moment> occurrences;  // in time order, each start once
        const auto occur = [&](const Moment& m) {
            const long long key = m.key();
            if (excluded.count(key) || excludedDays.count(m.wallDay())) return;
            occurrences.emplace(key, m);
        };
        occur(e.start);  // the start always counts, whether the rule would give it or not
        for (const auto& rule : e.rules) follow(e, rule, occur);
        for (const Moment& m : e.extraDates) occur(m);
        int coveredUntil = std::numeric_limits<int>::min();
        for (const auto& [key, m] : occurrences) emit(e, m, coveredUntil);
    }

    void single(const IcalReader::Event& e) {
        int coveredUntil = std::numeric_limits<int>::min();
        emit(e, e.start, coveredUntil);
    }

    std::vector<StampItem> take() {
        std::sort(candidates_.begin(), candidates_.end(),
                  [](const Candidate& a, const Candidate& b) { return a.sortKey < b.sortKey; });
        std::vector<StampItem> out;
        out.reserve(candidates_.size());
        for (auto& c : candidates_) out.push_back(std::move(c.item));
        return out;
    }

private:
    template <class F>
    void follow(const IcalReader::Event& e, const icalrecurrencetype& rule, F&& each) {
        const std::unique_ptr<icalrecur_iterator, void (*)(icalrecur_iterator*)> it(
            icalrecur_iterator_new(rule, e.start.wall), icalrecur_iterator_free);
        if (!it) return;  // a rule that can never match (30 February) gives nothing beyond the start
        jumpTowardsSpan(it.get(), e, rule);
        for (;;) {
            if (++steps_ > kRuleStepBudget)
                throw IcalError("the event \"" + e.summary + "\" repeats too often to be imported (the file's "
                                "repetitions take more than " + std::to_string(kRuleStepBudget) + " steps)");
            const icaltimetype next = icalrecur_iterator_next(it.get());
            if (icaltime_is_null_time(next) || !validTime(next)) break;
            Moment m{next, e.start.zone};
            m.wall.zone = nullptr;
            // Two days of margin: a zone's offset never moves a moment further than that.
            if (m.wallDay() > last_ + 2) break;
            each(m);
        }
    }

    // A daily rule from 1900 need not be walked through a century. The library jumps correctly for
    // daily and coarser rules without a count, not for finer ones. Two days of margin for time zones,
    // longer events would be cut at their start: a week more.
    void jumpTowardsSpan(icalrecur_iterator* it, const IcalReader::Event& e, const icalrecurrencetype& rule) const {
        if (rule.count != 0 || rule.freq < ICAL_DAILY_RECURRENCE || rule.freq > ICAL_YEARLY_RECURRENCE) return;
        const int target = first_ - 2 - std::max(7, e.lengthDays) - static_cast<int>(e.lengthSeconds / kSecondsPerDay);
        if (target <= e.start.wallDay() || target < minDayNumber()) return;
        const Ymd ymd = toYmd(target);
        icaltimetype from = e.start.wall;
        from.year = ymd.year;
        from.month = ymd.month;
        from.day = ymd.day;
        if (!icaltime_is_null_time(rule.until) && icaltime_compare_date_only(from, rule.until) >= 0) return;
        icalrecur_iterator_set_start(it, from);
    }

    void add(const IcalReader::Event& e, int day, bool timed, int minutes, std::string text) {
        if (day < first_ || day > last_) return;
        if (wholeDays_ && !timed && !e.wholeText.empty()) {
            if (!added_.insert(std::to_string(day) + '|' + e.wholeText).second) return;
            candidates_.push_back({{day, 0, 0, e.order, candidates_.size()}, {day, e.wholeText}});
            return;
        }
        // A line twice on one day would be skipped when stamped anyway; overlapping occurrences of a
        // long event would otherwise give it thousands of times.
        if (!added_.insert(std::to_string(day) + '|' + text).second) return;
        if (candidates_.size() >= kMaxEntries)
            throw IcalError("the file gives more entries than a calendar can hold; import a shorter span");
        candidates_.push_back(
            {{day, timed ? 1 : 0, minutes, e.order, candidates_.size()}, {day, "<" + std::move(text) + ">\r\n"}});
    }

    // The days an event covers after its first get "<summary>". Occurrences come in time order, so the days
    // up to coveredUntil (the furthest an earlier one reached) have it already.
    void emit(const IcalReader::Event& e, const Moment& m, int& coveredUntil) {
        const auto cover = [&](int from, int to) {
            for (int d = std::max({from, first_, coveredUntil + 1}); d <= std::min(to, last_); ++d)
                add(e, d, false, 0, e.summary);
            coveredUntil = std::max(coveredUntil, to);
        };
        if (m.isDate()) {
            const int day = m.wallDay();
            cover(day, day + std::max(1, e.lengthDays) - 1);
            return;
        }
        const long long startKey = m.key();
        const LocalTime start = toLocal(startKey, m.floating());
        add(e, start.day, true, start.minutes,
            twoDigits(start.minutes / 60) + ":" + twoDigits(start.minutes % 60) + " " + e.summary);
        if (e.lengthSeconds <= 0) return;
        const LocalTime end = toLocal(startKey + e.lengthSeconds, m.floating());
        cover(start.day + 1, end.midnight ? end.day - 1 : end.day);
    }

    int first_;
    int last_;
    long long& steps_;
    bool wholeDays_;
    std::vector<Candidate> candidates_;
    std::unordered_set<std::string> added_;
};

}  // namespace

namespace {

// The latest year a date or time of the component names.
int latestYear(icalcomponent* component) {
    int year = 0;
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        const icalvalue* v = icalproperty_get_value(p);
        if (!v) continue;
        switch (icalvalue_isa(v)) {
            case ICAL_DATE_VALUE: year = std::max(year, icalvalue_get_date(v).year); break;
            case ICAL_DATETIME_VALUE: year = std::max(year, icalvalue_get_datetime(v).year); break;
            case ICAL_DATETIMEPERIOD_VALUE: {
                const icaldatetimeperiodtype t = icalvalue_get_datetimeperiod(v);
                year = std::max({year, t.time.year, t.period.start.year, t.period.end.year});
                break;
            }
            default: break;
        }
    }
    return std::min(year, kMaxYear);
}

// "YYYYMMDD-<calendar>@orvella", as the export names a day's event: the day, or nullopt.
std::optional<int> orvellaDayOf(std::string_view uid) {
    constexpr std::string_view kTail = "@orvella";
    if (uid.size() < 9 + kTail.size() || uid[8] != '-' || !uid.ends_with(kTail)) return std::nullopt;
    int ymd[3] = {0, 0, 0};
    for (size_t i = 0; i < 8; ++i) {
        if (uid[i] < '0' || uid[i] > '9') return std::nullopt;
        int& part = ymd[i < 4 ? 0 : i < 6 ? 1 : 2];
        part = part * 10 + (uid[i] - '0');
    }
    for (const char c : uid.substr(9, uid.size() - 9 - kTail.size()))
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '%' || c == '-')) return std::nullopt;
    return tryDayNumber(ymd[0], ymd[1], ymd[2]);
}

}  // namespace

// The library expands a zone's rules from their start up to the year it converts a time of, five years
// more: each step is counted against the file's budget first, up to the same year.
void IcalReader::walkZones(int untilYear) {
    if (untilYear <= zonesWalkedTo_) return;
    zonesWalkedTo_ = untilYear;
    for (icalcomponent* cal : calendars_) {
        for (icalcomponent* tz = icalcomponent_get_first_component(cal, ICAL_VTIMEZONE_COMPONENT); tz;
             tz = icalcomponent_get_next_component(cal, ICAL_VTIMEZONE_COMPONENT)) {
            const char* tzid = icalcomponent_get_first_property(tz, ICAL_TZID_PROPERTY)
                                   ? icalproperty_get_tzid(icalcomponent_get_first_property(tz, ICAL_TZID_PROPERTY))
                                   : nullptr;
            for (icalcomponent* part = icalcomponent_get_first_component(tz, ICAL_ANY_COMPONENT); part;
                 part = icalcomponent_get_next_component(tz, ICAL_ANY_COMPONENT)) {
                icalproperty* start = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
                if (!start) continue;
                const icaltimetype from = icalproperty_get_dtstart(start);
                for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
                     p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
                    const std::unique_ptr<icalrecur_iterator, void (*)(icalrecur_iterator*)> it(
                        icalrecur_iterator_new(icalproperty_get_rrule(p), from), icalrecur_iterator_free);
                    if (!it) continue;
                    for (;;) {
                        if (++ruleSteps_ > kRuleStepBudget)
                            damaged(std::string("the time zone \"") + (tzid ? tzid : "") +
                                    "\" changes too often to be read");
                        const icaltimetype next = icalrecur_iterator_next(it.get());
                        if (icaltime_is_null_time(next) || next.year > untilYear) break;
                    }
                }
            }
        }
    }
}

IcalReader::IcalReader(std::string_view fileText) : root_(nullptr, icalcomponent_free) {
    CheckedText checked = checkStructure(fileText);
    notes_ = std::move(checked.notes);
    icalerror_set_errors_are_fatal(0);
    root_.reset(icalparser_parse_string(checked.text.c_str()));
    if (!root_) damaged("the file cannot be read as iCalendar");

    std::vector<icalcomponent*>& calendars = calendars_;
    if (icalcomponent_isa(root_.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root_.get());
    } else {
        for (icalcomponent* c = icalcomponent_get_first_component(root_.get(), ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root_.get(), ICAL_VCALENDAR_COMPONENT))
            calendars.push_back(c);
    }
    if (calendars.empty()) damaged("the file holds no calendar");

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    int latest = local.tm_year + 1900;
    for (icalcomponent* cal : calendars) {
        if (auto e = firstLibraryError(cal, false)) damaged(*e);
        for (icalcomponent* tz = icalcomponent_get_first_component(cal, ICAL_VTIMEZONE_COMPONENT); tz;
             tz = icalcomponent_get_next_component(cal, ICAL_VTIMEZONE_COMPONENT))
            if (auto e = firstLibraryError(tz, true)) damaged("time zone: " + *e);
        for (icalcomponent* ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); ev;
             ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT))
            latest = std::max(latest, latestYear(ev));
    }
    walkZones(latest + 5);

    size_t order = 0;
    for (icalcomponent* cal : calendars) {
        for (icalcomponent* ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); ev;
             ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT))
            readEvent(cal, ev, order++);
    }
}

IcalReader::~IcalReader() = default;

void IcalReader::readEvent(icalcomponent* calendar, icalcomponent* component, size_t order) {
    auto e = std::make_unique<Event>();
    e->order = order;
    if (const char* uid = icalcomponent_get_uid(component)) e->uid = uid;
    const char* rawSummary = icalcomponent_get_summary(component);
    std::string summaryUtf8 = rawSummary ? rawSummary : "";
    for (char& c : summaryUtf8)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    const size_t b = summaryUtf8.find_first_not_of(' ');
    summaryUtf8 = b == std::string::npos ? "" : summaryUtf8.substr(b, summaryUtf8.find_last_not_of(' ') - b + 1);
    const std::string name = summaryUtf8.empty() ? (e->uid.empty() ? "without a summary" : e->uid) : summaryUtf8;
    const std::string what = "the event \"" + name + "\"";

    if (auto err = firstLibraryError(component, false)) damaged(what + ": " + *err);

    // A time value with its zone: the zone of the file, one the library knows by name, or, for an
    // unknown name, the local time (with a note).
    const auto moment = [&](icalproperty* prop, icaltimetype value, const char* property) {
        if (!validTime(value)) damaged(what + " has an impossible " + property);
        Moment m;
        m.wall = value;
        m.wall.zone = nullptr;
        if (value.is_date) return m;
        if (icaltime_is_utc(value)) {
            m.zone = icaltimezone_get_utc_timezone();
            return m;
        }
        icalparameter* param = icalproperty_get_first_parameter(prop, ICAL_TZID_PARAMETER);
        const char* tzid = param ? icalparameter_get_tzid(param) : nullptr;
        if (!tzid) return m;
        m.zone = icalcomponent_get_timezone(calendar, tzid);
        if (!m.zone) m.zone = icaltimezone_get_builtin_timezone_from_tzid(tzid);
        if (!m.zone) m.zone = icaltimezone_get_builtin_timezone(tzid);
        if (!m.zone) {
            const std::string note =
                std::string("the time zone \"") + tzid + "\" is unknown; its times are read as local times";
            if (std::find(notes_.begin(), notes_.end(), note) == notes_.end()) notes_.push_back(note);
        }
        return m;
    };

    icalproperty* dtstart = icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY);
    if (!dtstart) damaged(what + " has no start");
    e->start = moment(dtstart, icalproperty_get_dtstart(dtstart), "start");

    if (icalproperty* dtend = icalcomponent_get_first_property(component, ICAL_DTEND_PROPERTY)) {
        const Moment end = moment(dtend, icalproperty_get_dtend(dtend), "end");
        if (e->start.isDate()) e->lengthDays = std::max(1, end.wallDay() - e->start.wallDay());
        else e->lengthSeconds = std::max(0LL, end.key() - e->start.key());
    } else if (icalproperty* duration = icalcomponent_get_first_property(component, ICAL_DURATION_PROPERTY)) {
        const long long seconds = icaldurationtype_as_int(icalproperty_get_duration(duration));
        if (e->start.isDate()) e->lengthDays = static_cast<int>(std::max(1LL, seconds / kSecondsPerDay));
        else e->lengthSeconds = std::max(0LL, seconds);
    }

    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        if (rule.freq == ICAL_NO_RECURRENCE) damaged(what + " has an unreadable repetition rule");
        e->rules.push_back(rule);
    }
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_EXRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_EXRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_exrule(p);
        if (rule.freq == ICAL_NO_RECURRENCE) damaged(what + " has an unreadable exception rule");
        e->exceptionRules.push_back(rule);
    }
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_EXDATE_PROPERTY))
        e->exceptionDates.push_back(moment(p, icalproperty_get_exdate(p), "exception date"));
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype value = icalproperty_get_rdate(p);
        e->extraDates.push_back(
            moment(p, icaltime_is_null_time(value.time) ? value.period.start : value.time, "extra date"));
    }
    if (icalproperty* p = icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY))
        e->recurrenceId = moment(p, icalproperty_get_recurrenceid(p), "changed occurrence");
    e->cancelled = icalcomponent_get_status(component) == ICAL_STATUS_CANCELLED;

    if (!summaryUtf8.empty()) {
        e->summary = summaryUtf8;  // every character as it is (the file was checked to be UTF-8)
        e->hasSummary = true;
    }
    // One day of an Orvella export, as it was written: the day's text comes back whole.
    if (const auto day = orvellaDayOf(e->uid); day && e->hasSummary && e->start.isDate() &&
                                               e->start.wallDay() == *day && e->lengthDays == 1 && e->rules.empty() &&
                                               e->extraDates.empty() && !e->recurrenceId) {
        if (const char* description = icalcomponent_get_description(component); description && *description) {
            for (const char* c = description; *c; ++c) {
                if (*c == '\n') e->wholeText += "\r\n";
                else if (*c != '\r') e->wholeText += *c;
            }
        }
    }
    events_.push_back(std::move(e));
}

std::vector<StampItem> IcalReader::entries(int first, int last, bool wholeDays) {
    // Changed or cancelled occurrences of a repeating event come as events of their own with its
    // identifier and the start they replace.
    std::map<std::string, std::set<long long>> overridden;
    for (const auto& e : events_)
        if (e->recurrenceId) overridden[e->uid].insert(e->recurrenceId->key());
    std::map<std::string, const Event*> masters;
    for (const auto& e : events_)
        if (!e->recurrenceId) masters.emplace(e->uid, e.get());

    walkZones(toYmd(last).year + 5);
    Expander expander(first, last, ruleSteps_, wholeDays);
    bool noSummaryNoted = false;
    for (const auto& e : events_) {
        if (e->cancelled) continue;
        Event* event = e.get();
        if (!event->hasSummary && event->recurrenceId) {
            if (const auto m = masters.find(event->uid); m != masters.end() && m->second->hasSummary) {
                event->summary = m->second->summary;
                event->hasSummary = true;
            }
        }
        if (!event->hasSummary) {
            if (!noSummaryNoted) notes_.push_back("events without a summary were left out");
            noSummaryNoted = true;
            continue;
        }
        if (event->recurrenceId && masters.count(event->uid)) {
            expander.single(*event);
        } else {
            static const std::set<long long> kNone;
            const auto o = overridden.find(event->uid);
            expander.expand(*event, event->recurrenceId || o == overridden.end() ? kNone : o->second);
        }
    }
    return expander.take();
}

}  // namespace orv
