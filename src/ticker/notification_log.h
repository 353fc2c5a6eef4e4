#pragma once
// Which calendars have had their notice today, kept in "Orvella.INI", section "Notifications": "Enabled"
// (default 1), "Last day" (the day number of the last notice) and "Last calendars" (the calendars told on
// that day, separated by "|", which no calendar name holds). At most one notice a day per calendar.

#include <string>
#include <string_view>

namespace orv {

class IniFile;

class NotificationLog {
public:
    static constexpr const char* kSection = "Notifications";

    explicit NotificationLog(const IniFile& ini);

    bool enabled() const { return enabled_; }
    // True when the calendar (names compare ignoring case) has not been told on day.
    bool due(int day, std::string_view calendar) const;
    // Notes that the calendar was told on day, in ini.
    static void record(IniFile& ini, int day, std::string_view calendar);

private:
    bool enabled_ = true;
    int lastDay_ = 0;
    std::string lastCalendars_;
};

}  // namespace orv
