#include "common/date_format.h"

#include <cstdio>

#include "common/day_number.h"

namespace orv {

const DateNames& englishDateNames() {
    static const DateNames names{{"January", "February", "March", "April", "May", "June", "July", "August", "September",
                                  "October", "November", "December"},
                                 {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
                                 {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
                                 {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}};
    return names;
}

const std::string& monthName(int month) {
    static const std::string empty;
    if (month < 1 || month > 12) return empty;
    return englishDateNames().longMonths[month - 1];
}

namespace {

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

}  // namespace

std::string formatDate(std::string_view pattern, int day, const DateNames& names) {
    const Ymd ymd = toYmd(day);
    const int wd = weekday0(day);
    std::string out;
    size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '"' || c == '\'') {
            const size_t end = pattern.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? pattern.size() : end;
            out.append(pattern.substr(i + 1, stop - i - 1));
            i = stop == pattern.size() ? stop : stop + 1;
            continue;
        }
        const char lower = static_cast<char>(c | 0x20);
        if (lower == 'd' || lower == 'm' || lower == 'y') {
            size_t run = 1;
            while (i + run < pattern.size() && (pattern[i + run] | 0x20) == lower) ++run;
            i += run;
            if (lower == 'd') {
                if (run == 1) out += std::to_string(ymd.day);
                else if (run == 2) out += twoDigits(ymd.day);
                else if (run == 3) out += names.shortDays[wd];
                else out += names.longDays[wd];
            } else if (lower == 'm') {
                if (run == 1) out += std::to_string(ymd.month);
                else if (run == 2) out += twoDigits(ymd.month);
                else if (run == 3) out += names.shortMonths[ymd.month - 1];
                else out += names.longMonths[ymd.month - 1];
            } else {
                if (run <= 2) out += twoDigits(ymd.year % 100);
                else {
                    char buf[16];
                    std::snprintf(buf, sizeof buf, "%04d", ymd.year);
                    out += buf;
                }
            }
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

std::string isoDate(int day) {
    const Ymd ymd = toYmd(day);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", ymd.year, ymd.month, ymd.day);
    return buf;
}

}  // namespace orv
