#pragma once
// Reading an iCalendar (RFC 5545) file as entry lines: every event, with its repetitions and their
// exceptions, becomes "<" + summary + ">" on each day it falls on, "<HH:MM summary>" on the first day
// of a timed one, in the local time zone. The file is checked whole before anything is taken from it.

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "events/entry_stamper.h"

struct icalcomponent_impl;

namespace orv {

// Not an iCalendar file, or a damaged one; the message (UTF-8) says where.
class IcalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class IcalReader {
public:
    // Throws IcalError.
    explicit IcalReader(std::string_view fileText);
    ~IcalReader();
    IcalReader(const IcalReader&) = delete;
    IcalReader& operator=(const IcalReader&) = delete;

    // The entry lines (UTF-8, CR LF included) on the days first..last, in date order; within a
    // day all-day events first, then timed ones by time, each group in file order. With wholeDays, a
    // day's event of an Orvella export gives the day's whole text instead (its lines as they were).
    // Throws IcalError for repetitions that take too many steps to be expanded.
    std::vector<StampItem> entries(int first, int last, bool wholeDays = false);

    // What the user should know (UTF-8): unknown time zones, events without a summary, lines left out.
    const std::vector<std::string>& notes() const { return notes_; }

    int eventCount() const { return static_cast<int>(events_.size()); }

    struct Event;
    struct Moment;

private:
    void readEvent(icalcomponent_impl* calendar, icalcomponent_impl* component, size_t order);
    void walkZones(int untilYear);

    std::unique_ptr<icalcomponent_impl, void (*)(icalcomponent_impl*)> root_;
    std::vector<icalcomponent_impl*> calendars_;
    long long ruleSteps_ = 0;  // of the file's budget, zones and events together
    int zonesWalkedTo_ = 0;
    std::vector<std::unique_ptr<Event>> events_;
    std::vector<std::string> notes_;
};

}  // namespace orv
