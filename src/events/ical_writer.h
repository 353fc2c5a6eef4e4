#pragma once
// An iCalendar (RFC 5545) file of one calendar: an all-day event for every day with text and a yearly
// event for every yearly date, for phone, mail and shared calendars. Texts (UTF-8) go out as they
// are. The few kinds of lines it writes are written here directly, escaped and folded as the standard
// says: building the library's tree of a full calendar only to print it costs three times as long.

#include <ctime>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv {

class BirthdayList;
class CalDb;

class IcalWriter {
public:
    // calendarName is part of every day's identifier, so that a day of a calendar keeps
    // its identifier from one export to the next; stamp is the moment of the export.
    IcalWriter(std::string_view calendarName, std::time_t stamp);
    ~IcalWriter();
    IcalWriter(const IcalWriter&) = delete;
    IcalWriter& operator=(const IcalWriter&) = delete;

    // One day's whole text: the summary is its first line that is not blank (an entry line without its
    // marks, so that importing the file gives the same entry line back), the description the whole
    // text. A text without a visible character gives no event; false then.
    bool addDay(int day, std::string_view text);

    // A yearly date from its first occurrence on or after firstDay up to lastDay, summary name + " " +
    // event, as the birthday stamping writes it. A 29 February repeats in leap years only. False (no
    // event) when the date never falls within the span (a month of 13, 30 February).
    bool addYearly(std::string_view name, std::string_view event, int month, int day, int firstDay, int lastDay);

    int eventCount() const { return events_; }
    std::string text() const;  // the whole file, lines ended by CR LF
    // Each event on its own, as a calendar object for a CalDAV server: its identifier and its text.
    std::vector<std::pair<std::string, std::string>> objects() const;

private:
    struct Event {
        std::string uid;
        std::string lines;  // the event's content lines between BEGIN and END, folded, each ended by CR LF
    };
    void addEvent(const std::string& uid, int day, std::string_view summary, std::string_view extraLines);

    std::string header_;  // the calendar's own lines after BEGIN:VCALENDAR
    std::string uidName_;
    std::string stamp_;   // DTSTAMP's line
    std::vector<Event> eventList_;
    int events_ = 0;
    std::map<std::string, int> yearlyUids_;  // identical rows get numbered identifiers
};

// The identifier of a day's event, the same in every export of the calendar.
std::string dayEventUid(std::string_view calendarName, int day);
// What an exported day event holds for a day's text (UTF-8): its summary (empty for a text without a
// visible character) and its description.
std::string daySummary(std::string_view text);
std::string dayDescription(std::string_view text);

// Every complete row of the yearly list as a yearly event from firstDay on (see exportCalendar); returns
// how many were added.
int addYearlyDates(IcalWriter& writer, const BirthdayList& yearly, int firstDay, int lastDay);

struct IcalExport {
    std::string text;
    int days = 0;
    int yearly = 0;
};

// The days of the open calendar within first..last and every complete row of the yearly list. The
// yearly dates repeat from first; when first is the earliest possible day, from 1 January of the year of
// the calendar's first exported day (or of today's year for a calendar without days).
IcalExport exportCalendar(CalDb& store, const BirthdayList& yearly, std::string_view calendarName, int first, int last,
                          int today, std::time_t stamp);

}  // namespace orv
