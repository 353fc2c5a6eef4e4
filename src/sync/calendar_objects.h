#pragma once
// The calendar objects of a sync and the days they stand for: the event of a day's own text (the
// identifier, summary and description the export gives it), read back to exactly that text; the events
// made elsewhere as the entry lines an import gives them; the yearly dates as the export writes them.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "events/entry_stamper.h"

namespace orv {
class BirthdayList;
}

namespace orv::sync {

struct ServerObject {
    enum class Kind { Day, Foreign, Yearly, Other } kind = Kind::Other;
    std::string uid;
    int day = 0;       // Day
    std::string text;  // Day: the day's text (UTF-8, CR LF lines)
    bool recurring = false;          // Foreign
    std::vector<StampItem> lines;    // Foreign: its entry lines within the span, in date order
    std::vector<std::string> notes;  // what the user should know (UTF-8)
};

// Reads one object of the collection. calendarName is the calendar's; the entry lines of a
// foreign event cover first..last. Never throws: an object that cannot be read is Other with a note.
ServerObject readServerObject(std::string_view ics, std::string_view calendarName, int first, int last);

// A new day event, as the export writes it.
std::string newDayObject(std::string_view calendarName, int day, std::string_view text, std::time_t stamp);
// The server's object with its summary and description set for text; everything else another device
// put there (alarms, categories) stays. Empty when the object holds no event to change.
std::string changedDayObject(std::string_view serverIcs, std::string_view text, std::time_t stamp);

// The yearly dates as the export writes them, each an object: identifier and text.
std::vector<std::pair<std::string, std::string>> yearlyObjects(std::string_view calendarName,
                                                               const BirthdayList& yearly, int firstDay);
// A hash of a yearly object that ignores its time stamp.
std::string yearlyHash(std::string_view ics);

// The address (one path segment) of an object made here: its identifier without the characters that
// servers and proxies treat differently, and ".ics".
std::string objectName(std::string_view uid);

}  // namespace orv::sync
