#include "events/ical_writer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>

#include "common/cp1252.h"
#include "common/day_number.h"
#include "common/stored_text.h"
#include "common/text_fold.h"
#include "events/birthday_list.h"
#include "store/cal_db.h"
#include "store/day_search.h"

namespace orv {
namespace {

constexpr const char* kProductId = "-//Orvella//Orvella Daymark & Personal Planner//EN";

// Identifiers hold letters and digits as they are and every other byte as %XX, so that two calendars
// whose names differ only in case (the same calendar) give the same identifiers. A text that Windows-1252
// holds gives its bytes there, as ever; any other its folded UTF-8 after a "-" (which the first form never
// holds as it is).
std::string uidPart(std::string_view utf8) {
    const bool wide = isStoredAsUtf8(utf8);
    const std::string bytes = wide ? foldName(utf8) : encodeStoredText(utf8);
    std::string out = wide ? "-" : "";
    for (const char c : bytes) {
        const unsigned char u = wide ? static_cast<unsigned char>(c) : cp1252FoldCase(static_cast<unsigned char>(c));
        if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')) {
            out += static_cast<char>(u);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", u);
            out += buf;
        }
    }
    return out;
}

std::string compactDate(int day) {
    const Ymd ymd = toYmd(day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", ymd.year, ymd.month, ymd.day);
    return buf;
}

// A TEXT value's escapes: backslash, semicolon, comma and the line break.
void appendEscaped(std::string& out, std::string_view value) {
    for (const char c : value) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case ';': out += "\\;"; break;
            case ',': out += "\\,"; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
}

// One content line, folded after 75 octets (never inside a UTF-8 character) and ended by CR LF.
void appendLine(std::string& out, std::string_view line) {
    constexpr size_t kFoldAt = 75;
    size_t taken = 0;
    bool first = true;
    while (line.size() - taken > (first ? kFoldAt : kFoldAt - 1)) {
        size_t n = first ? kFoldAt : kFoldAt - 1;  // a continued line's blank counts
        const size_t whole = n;
        while (n > 0 && (static_cast<unsigned char>(line[taken + n]) & 0xC0) == 0x80) --n;
        if (n == 0) n = whole;  // no character boundary at all: not UTF-8, cut where the octets say
        if (!first) out += ' ';
        out.append(line.substr(taken, n)).append("\r\n");
        taken += n;
        first = false;
    }
    if (!first) out += ' ';
    out.append(line.substr(taken)).append("\r\n");
}

void appendTextProperty(std::string& out, std::string_view name, std::string_view value) {
    std::string line(name);
    line += ':';
    appendEscaped(line, value);
    appendLine(out, line);
}

std::string utcStamp(std::time_t stamp) {
    std::tm tm{};
    gmtime_r(&stamp, &tm);
    char buf[24];
    std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d%02dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

// A day's text to an iCalendar text value: every character as it is, CR LF as a line break, other control
// characters (never typed, but possible in an old file) as blanks, since the format does not allow them.
std::string textValue(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            clean += '\n';
            ++i;
        } else if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            clean += ' ';
        } else if (c == 0x7F) {
            clean += ' ';
        } else {
            clean += c;
        }
    }
    return clean;
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The first line with a visible character; an entry line loses its marks.
std::string_view summaryLine(std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = trimmed(text.substr(start, end - start));
        if (line.size() >= 2 && line.front() == '<' && line.back() == '>') line = line.substr(1, line.size() - 2);
        if (!trimmed(line).empty()) return line;
        start = end + 2;
    }
    return {};
}

// The first day on or after firstDay that is month/day of its year, within lastDay.
std::optional<int> firstOccurrence(int month, int day, int firstDay, int lastDay) {
    // A 29 February may be eight years away (1896, then 1904).
    for (int year = toYmd(firstDay).year; year <= kMaxYear && year <= toYmd(firstDay).year + 8; ++year) {
        const auto date = tryDayNumber(year, month, day);
        if (!date || *date < firstDay) continue;
        if (*date > lastDay) return std::nullopt;
        return date;
    }
    return std::nullopt;
}

}  // namespace

IcalWriter::IcalWriter(std::string_view calendarName, std::time_t stamp)
    : uidName_(uidPart(calendarName)), stamp_("DTSTAMP:" + utcStamp(stamp) + "\r\n") {
    header_ = std::string("VERSION:2.0\r\nPRODID:") + kProductId + "\r\nCALSCALE:GREGORIAN\r\n";
    appendTextProperty(header_, "X-WR-CALNAME", textValue(calendarName));
}

IcalWriter::~IcalWriter() = default;

std::string dayEventUid(std::string_view calendarName, int day) {
    return compactDate(day) + "-" + uidPart(calendarName) + "@orvella";
}

std::string daySummary(std::string_view text) { return textValue(summaryLine(text)); }

std::string dayDescription(std::string_view text) { return textValue(text); }

void IcalWriter::addEvent(const std::string& uid, int day, std::string_view summary, std::string_view extraLines) {
    Event e;
    e.uid = uid;
    std::string& out = e.lines;
    out.reserve(160 + summary.size() + extraLines.size());
    appendTextProperty(out, "UID", uid);
    out += stamp_;
    out.append("DTSTART;VALUE=DATE:").append(compactDate(day)).append("\r\n");
    // The last representable day has no next day to end on; a date without an end lasts one day.
    if (day < maxDayNumber()) out.append("DTEND;VALUE=DATE:").append(compactDate(day + 1)).append("\r\n");
    appendTextProperty(out, "SUMMARY", textValue(summary));
    out += "TRANSP:TRANSPARENT\r\n";
    out += extraLines;
    eventList_.push_back(std::move(e));
    ++events_;
}

bool IcalWriter::addDay(int day, std::string_view text) {
    const std::string_view summary = summaryLine(text);
    if (summary.empty()) return false;
    std::string description;
    appendTextProperty(description, "DESCRIPTION", textValue(text));
    addEvent(compactDate(day) + "-" + uidName_ + "@orvella", day, summary, description);
    return true;
}

bool IcalWriter::addYearly(std::string_view name, std::string_view event, int month, int day, int firstDay,
                           int lastDay) {
    const auto start = firstOccurrence(month, day, firstDay, lastDay);
    if (!start) return false;
    const std::string summary = std::string(name) + " " + std::string(event);
    char monthDay[8];
    std::snprintf(monthDay, sizeof monthDay, "%02d%02d", month, day);
    std::string uid = std::string("yearly-") + monthDay + "-" + uidPart(summary);
    if (const int seen = yearlyUids_[uid]++; seen > 0) uid += "-" + std::to_string(seen + 1);

    std::string rule = "RRULE:FREQ=YEARLY";
    if (lastDay < maxDayNumber()) rule += ";UNTIL=" + compactDate(lastDay);
    // Said outright, so that no reader moves it to 28 February or 1 March in common years.
    if (month == 2 && day == 29) rule += ";BYMONTH=2;BYMONTHDAY=29";
    rule += "\r\n";
    addEvent(uid + "@orvella", *start, summary, rule);
    return true;
}

std::string IcalWriter::text() const {
    size_t size = 64 + header_.size();
    for (const Event& e : eventList_) size += e.lines.size() + 30;
    std::string out;
    out.reserve(size);
    out += "BEGIN:VCALENDAR\r\n";
    out += header_;
    for (const Event& e : eventList_) out.append("BEGIN:VEVENT\r\n").append(e.lines).append("END:VEVENT\r\n");
    out += "END:VCALENDAR\r\n";
    return out;
}

std::vector<std::pair<std::string, std::string>> IcalWriter::objects() const {
    std::vector<std::pair<std::string, std::string>> out;
    out.reserve(eventList_.size());
    for (const Event& e : eventList_)
        out.emplace_back(e.uid, std::string("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:") + kProductId +
                                    "\r\nBEGIN:VEVENT\r\n" + e.lines + "END:VEVENT\r\nEND:VCALENDAR\r\n");
    return out;
}

int addYearlyDates(IcalWriter& writer, const BirthdayList& yearly, int firstDay, int lastDay) {
    int added = 0;
    for (int row = 1; row <= yearly.rowCount(); ++row) {
        if (!yearly.isComplete(row)) continue;
        const auto month = parseWholeNumber(yearly.cell(BirthdayList::colMonth, row));
        const auto day = parseWholeNumber(yearly.cell(BirthdayList::colDay, row));
        if (!month || !day) continue;
        if (writer.addYearly(yearly.cell(BirthdayList::colName, row), yearly.cell(BirthdayList::colEvent, row), *month,
                             *day, firstDay, lastDay))
            ++added;
    }
    return added;
}

IcalExport exportCalendar(CalDb& store, const BirthdayList& yearly, std::string_view calendarName, int first, int last,
                          int today, std::time_t stamp) {
    IcalWriter writer(calendarName, stamp);
    IcalExport result;
    const CalDb::Hold reading = store.holdForReading();
    const std::vector<int> days = storedDays(store, first, last);
    for (const int day : days)
        if (const auto text = store.readDay(day); text && writer.addDay(day, *text)) ++result.days;

    int yearlyFirst = first;
    if (first <= minDayNumber()) yearlyFirst = dayNumber(toYmd(days.empty() ? today : days.front()).year, 1, 1);
    result.yearly = addYearlyDates(writer, yearly, yearlyFirst, last);
    result.text = writer.text();
    return result;
}

}  // namespace orv
