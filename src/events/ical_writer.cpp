#include "events/ical_writer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <libical/ical.h>

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

// Made from their text: the library's date values lose years past 3000 (and 1 January of the year 1),
// which a calendar may well hold.
icalproperty* propertyFrom(const std::string& text) { return icalproperty_new_from_string(text.c_str()); }

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

void addCommon(icalcomponent* event, const std::string& uid, std::time_t stamp, int day, std::string_view summary) {
    icalcomponent_add_property(event, icalproperty_new_uid(uid.c_str()));
    icalcomponent_add_property(
        event, icalproperty_new_dtstamp(icaltime_from_timet_with_zone(stamp, 0, icaltimezone_get_utc_timezone())));
    icalcomponent_add_property(event, propertyFrom("DTSTART;VALUE=DATE:" + compactDate(day)));
    // The last representable day has no next day to end on; a date without an end lasts one day.
    if (day < maxDayNumber())
        icalcomponent_add_property(event, propertyFrom("DTEND;VALUE=DATE:" + compactDate(day + 1)));
    icalcomponent_add_property(event, icalproperty_new_summary(textValue(summary).c_str()));
    icalcomponent_add_property(event, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
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
    : calendar_(icalcomponent_new_vcalendar(), icalcomponent_free), uidName_(uidPart(calendarName)), stamp_(stamp) {
    icalcomponent* cal = calendar_.get();
    icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal, icalproperty_new_prodid(kProductId));
    icalcomponent_add_property(cal, icalproperty_new_calscale("GREGORIAN"));
    icalproperty* name = icalproperty_new_x(std::string(calendarName).c_str());
    icalproperty_set_x_name(name, "X-WR-CALNAME");
    icalcomponent_add_property(cal, name);
}

IcalWriter::~IcalWriter() = default;

std::string dayEventUid(std::string_view calendarName, int day) {
    return compactDate(day) + "-" + uidPart(calendarName) + "@orvella";
}

std::string daySummary(std::string_view text) { return textValue(summaryLine(text)); }

std::string dayDescription(std::string_view text) { return textValue(text); }

bool IcalWriter::addDay(int day, std::string_view text) {
    const std::string_view summary = summaryLine(text);
    if (summary.empty()) return false;
    icalcomponent* event = icalcomponent_new_vevent();
    addCommon(event, compactDate(day) + "-" + uidName_ + "@orvella", stamp_, day, summary);
    icalcomponent_add_property(event, icalproperty_new_description(textValue(text).c_str()));
    icalcomponent_add_component(calendar_.get(), event);
    ++events_;
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

    icalcomponent* component = icalcomponent_new_vevent();
    addCommon(component, uid + "@orvella", stamp_, *start, summary);
    std::string rule = "RRULE:FREQ=YEARLY";
    if (lastDay < maxDayNumber()) rule += ";UNTIL=" + compactDate(lastDay);
    // Said outright, so that no reader moves it to 28 February or 1 March in common years.
    if (month == 2 && day == 29) rule += ";BYMONTH=2;BYMONTHDAY=29";
    icalcomponent_add_property(component, propertyFrom(rule));
    icalcomponent_add_component(calendar_.get(), component);
    ++events_;
    return true;
}

std::string IcalWriter::text() const {
    char* raw = icalcomponent_as_ical_string_r(calendar_.get());
    std::string out = raw ? raw : "";
    icalmemory_free_buffer(raw);
    return out;
}

std::vector<std::pair<std::string, std::string>> IcalWriter::objects() const {
    std::vector<std::pair<std::string, std::string>> out;
    icalcomponent* cal = calendar_.get();
    for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
        const std::unique_ptr<icalcomponent, void (*)(icalcomponent*)> one(icalcomponent_new_vcalendar(),
                                                                           icalcomponent_free);
        icalcomponent_add_property(one.get(), icalproperty_new_version("2.0"));
        icalcomponent_add_property(one.get(), icalproperty_new_prodid(kProductId));
        icalcomponent_add_component(one.get(), icalcomponent_new_clone(e));
        char* raw = icalcomponent_as_ical_string_r(one.get());
        const char* uid = icalcomponent_get_uid(e);
        out.emplace_back(uid ? uid : "", raw ? raw : "");
        icalmemory_free_buffer(raw);
    }
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
