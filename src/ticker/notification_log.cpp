#include "ticker/notification_log.h"

#include "common/ini_file.h"
#include "store/calendar_list.h"

namespace orv {
namespace {

constexpr const char* kEnabled = "Enabled";
constexpr const char* kLastDay = "Last day";
constexpr const char* kLastCalendars = "Last calendars";

bool listed(std::string_view list, std::string_view name) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find('|', start);
        if (end == std::string_view::npos) end = list.size();
        if (sameCalendarName(list.substr(start, end - start), name)) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

NotificationLog::NotificationLog(const IniFile& ini)
    : enabled_(ini.readBool(kSection, kEnabled, true)),
      lastDay_(ini.readInteger(kSection, kLastDay, 0)),
      lastCalendars_(ini.readString(kSection, kLastCalendars, "")) {}

bool NotificationLog::due(int day, std::string_view calendar) const {
    return enabled_ && (day != lastDay_ || !listed(lastCalendars_, calendar));
}

void NotificationLog::record(IniFile& ini, int day, std::string_view calendar) {
    const NotificationLog log(ini);
    std::string calendars(calendar);
    if (log.lastDay_ == day && !listed(log.lastCalendars_, calendar) && !log.lastCalendars_.empty())
        calendars = log.lastCalendars_ + "|" + calendars;
    else if (log.lastDay_ == day && listed(log.lastCalendars_, calendar)) calendars = log.lastCalendars_;
    ini.writeInteger(kSection, kLastDay, day);
    ini.writeString(kSection, kLastCalendars, calendars);
}

}  // namespace orv
