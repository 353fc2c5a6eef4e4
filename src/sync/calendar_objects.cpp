#include "sync/calendar_objects.h"

#include <memory>

#include <libical/ical.h>

#include "common/cp1252.h"
#include "common/day_number.h"
#include "common/stored_text.h"
#include "events/birthday_list.h"
#include "events/ical_reader.h"
#include "events/ical_writer.h"
#include "sync/sync_state.h"

namespace orv::sync {
namespace {

using Component = std::unique_ptr<icalcomponent, void (*)(icalcomponent*)>;

Component parsed(std::string_view ics) {
    icalerror_set_errors_are_fatal(0);
    const std::string text(ics);
    return Component(icalparser_parse_string(text.c_str()), icalcomponent_free);
}

// The events of a parsed object, whether it is a calendar or a lone event.
std::vector<icalcomponent*> eventsOf(icalcomponent* root) {
    std::vector<icalcomponent*> out;
    if (!root) return out;
    if (icalcomponent_isa(root) == ICAL_VEVENT_COMPONENT) return {root};
    for (icalcomponent* e = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT))
        out.push_back(e);
    return out;
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

std::string serialised(icalcomponent* c) {
    char* raw = icalcomponent_as_ical_string_r(c);
    std::string out = raw ? raw : "";
    icalmemory_free_buffer(raw);
    return out;
}

// The day whose own event the identifier names, when it is one of this calendar's.
std::optional<int> dayOfUid(std::string_view uid, std::string_view calendarName) {
    if (uid.size() < 9 || uid[8] != '-') return std::nullopt;
    int ymd[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    size_t at = 0;
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < widths[i]; ++k, ++at) {
            if (uid[at] < '0' || uid[at] > '9') return std::nullopt;
            ymd[i] = ymd[i] * 10 + (uid[at] - '0');
        }
    const auto day = tryDayNumber(ymd[0], ymd[1], ymd[2]);
    if (!day || dayEventUid(calendarName, *day) != uid) return std::nullopt;
    return day;
}

// A text whose first visible line is replaced by summary (an entry line keeps its marks): the summary was
// changed on another device and the description not.
std::string withSummary(const std::string& text, const std::string& summary) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = trimmed(std::string_view(text).substr(start, end - start));
        if (!line.empty() && !(line == "<>")) {
            const bool marked = line.size() >= 2 && line.front() == '<' && line.back() == '>';
            return text.substr(0, start) + (marked ? "<" + summary + ">" : summary) + text.substr(end);
        }
        start = end + 2;
    }
    return summary;
}

}  // namespace

std::string objectName(std::string_view uid) {
    std::string out;
    for (const char c : uid) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-') out += c;
        else if (c == '@') out += '.';
        else out += '_';
    }
    return out + ".ics";
}

ServerObject readServerObject(std::string_view ics, std::string_view calendarName, int first, int last) {
    ServerObject out;
    std::unique_ptr<IcalReader> reader;
    try {
        reader = std::make_unique<IcalReader>(ics);
    } catch (const IcalError& e) {
        out.notes.push_back(std::string("an event of the server cannot be read: ") + e.what());
        return out;
    }
    const Component root = parsed(ics);
    const std::vector<icalcomponent*> events = eventsOf(root.get());
    if (events.empty()) return out;  // a task, a journal entry: nothing for a day
    const char* rawUid = icalcomponent_get_uid(events.front());
    out.uid = rawUid ? rawUid : "";
    for (icalcomponent* e : events)
        if (icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY) ||
            icalcomponent_get_first_property(e, ICAL_RDATE_PROPERTY))
            out.recurring = true;
    if (events.size() > 1) out.recurring = true;

    if (out.uid.starts_with("yearly-") && out.uid.ends_with("@orvella")) {
        out.kind = ServerObject::Kind::Yearly;
        return out;
    }
    if (const auto day = dayOfUid(out.uid, calendarName); day && !out.recurring) {
        icalproperty* start = icalcomponent_get_first_property(events.front(), ICAL_DTSTART_PROPERTY);
        const icaltimetype t = start ? icalproperty_get_dtstart(start) : icaltime_null_time();
        // Moved to another day on another device: no longer this day's text, but an event on its new day.
        if (t.is_date && tryDayNumber(t.year, t.month, t.day) == day) {
            out.kind = ServerObject::Kind::Day;
            out.day = *day;
            const char* description = icalcomponent_get_description(events.front());
            const char* summary = icalcomponent_get_summary(events.front());
            std::string utf8 = description ? description : "";
            std::string text;
            for (const char c : utf8) {
                if (c == '\n') text += "\r\n";
                else if (c != '\r') text += c;
            }
            const std::string newSummary = trimmed(summary ? summary : "");
            if (!newSummary.empty() && newSummary != trimmed(daySummary(text))) text = withSummary(text, newSummary);
            // A server may hand on bytes that are no UTF-8: read as the program reads such bytes in its files.
            out.text = isValidUtf8(text) ? std::move(text) : decodeStoredText(text);
            return out;
        }
    }
    out.kind = ServerObject::Kind::Foreign;
    try {
        out.lines = reader->entries(first, last);
    } catch (const IcalError& e) {
        out.kind = ServerObject::Kind::Other;
        out.notes.push_back(std::string("an event of the server cannot be shown: ") + e.what());
        return out;
    }
    for (const std::string& note : reader->notes()) out.notes.push_back(note);
    return out;
}

std::string newDayObject(std::string_view calendarName, int day, std::string_view text, std::time_t stamp) {
    IcalWriter writer(calendarName, stamp);
    if (!writer.addDay(day, text)) return {};
    auto objects = writer.objects();
    return objects.empty() ? std::string() : std::move(objects.front().second);
}

std::string changedDayObject(std::string_view serverIcs, std::string_view text, std::time_t stamp) {
    const Component root = parsed(serverIcs);
    const std::vector<icalcomponent*> events = eventsOf(root.get());
    if (events.empty()) return {};
    icalcomponent* e = events.front();
    const std::string summary = daySummary(text);
    if (summary.empty()) return {};
    icalcomponent_set_summary(e, summary.c_str());
    icalcomponent_set_description(e, dayDescription(text).c_str());
    icalcomponent_set_dtstamp(e, icaltime_from_timet_with_zone(stamp, 0, icaltimezone_get_utc_timezone()));
    if (icalcomponent_get_first_property(e, ICAL_SEQUENCE_PROPERTY))
        icalcomponent_set_sequence(e, icalcomponent_get_sequence(e) + 1);
    return serialised(root.get());
}

std::vector<std::pair<std::string, std::string>> yearlyObjects(std::string_view calendarName,
                                                               const BirthdayList& yearly, int firstDay) {
    IcalWriter writer(calendarName, 0);
    addYearlyDates(writer, yearly, firstDay, maxDayNumber());
    return writer.objects();
}

std::string yearlyHash(std::string_view ics) {
    std::string kept;
    size_t start = 0;
    while (start < ics.size()) {
        size_t end = ics.find('\n', start);
        end = end == std::string_view::npos ? ics.size() : end + 1;
        const std::string_view line = ics.substr(start, end - start);
        if (!line.starts_with("DTSTAMP")) kept += line;
        start = end;
    }
    return textHash(kept);
}

}  // namespace orv::sync
