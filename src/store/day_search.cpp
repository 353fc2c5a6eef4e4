#include "store/day_search.h"

#include <algorithm>
#include <cstdlib>

#include "common/day_number.h"
#include "common/text_fold.h"
#include "store/cal_db.h"

namespace orv {

std::vector<int> storedDays(const CalDb& store, int first, int last) {
    std::vector<int> days;
    for (const std::string& key : store.keyList.keys()) {
        if (key.empty()) continue;
        char* end = nullptr;
        const double value = std::strtod(key.c_str(), &end);
        // A record with a fractional or impossible date is no day of the calendar.
        if (*end != '\0' || !isRepresentableDay(value)) continue;
        const int day = static_cast<int>(value);
        if (day >= first && day <= last) days.push_back(day);
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

std::vector<DayMatch> searchDays(CalDb& store, std::string_view needle, int first, int last) {
    std::vector<DayMatch> matches;
    const std::string folded = foldForSearch(needle);
    const CalDb::Hold reading = store.holdForReading();
    for (const int day : storedDays(store, first, last)) {
        const auto stored = store.readDay(day);
        if (!stored) continue;
        const std::string& text = *stored;
        DayMatch match{day, {}};
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find("\r\n", start);
            if (end == std::string::npos) end = text.size();
            const std::string_view line(text.data() + start, end - start);
            if (containsFolded(line, folded)) match.lines.emplace_back(line);
            start = end + 2;
        }
        if (!match.lines.empty()) matches.push_back(std::move(match));
    }
    return matches;
}

}  // namespace orv
