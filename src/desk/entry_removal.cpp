#include "desk/entry_removal.h"

#include "common/day_number.h"
#include "store/cal_db.h"

namespace orv {

std::optional<std::string> entryMarkerOf(std::string_view selection) {
    if (selection.empty() || selection.front() != '<') return std::nullopt;
    const size_t close = selection.find('>');
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(selection.substr(0, close + 1));
}

std::optional<std::string> withoutEntry(std::string_view text, std::string_view marker) {
    if (marker.empty()) return std::nullopt;
    const size_t at = text.find(marker);
    if (at == std::string_view::npos) return std::nullopt;
    size_t end = at + marker.size();
    // Only a line break goes with the marker: whatever else follows it is the user's own text.
    if (text.substr(end, 2) == "\r\n") end += 2;
    else if (end < text.size() && (text[end] == '\r' || text[end] == '\n')) end += 1;
    std::string out(text.substr(0, at));
    out.append(text.substr(end));
    return out;
}

std::vector<int> removeEntryLines(CalDb& store, double start, std::string_view marker) {
    std::vector<int> changed;
    store.beginChanges();
    try {
        // Every record the keys stand for, as the calendar is now that its lock is held.
        const int records = store.recordCount();
        for (int r = 0; r < records; ++r) {
            const auto day = store.readRecord(r);
            if (!day) continue;  // already deleted
            // A record with a date no window can show is left alone.
            if (!isRepresentableDay(day->date) || day->date < start) continue;
            const auto text = withoutEntry(day->text, marker);
            if (!text) continue;
            // Written back into record r itself: should the file hold the day twice, looking the day up
            // again would overwrite its other record with this one's text.
            store.rewriteRecord(r, day->date, *text);
            changed.push_back(static_cast<int>(day->date));
        }
    } catch (...) {
        store.discardChanges();
        throw;
    }
    store.commitChanges();
    return changed;
}

}  // namespace orv
