#include "events/entry_stamper.h"

#include <algorithm>
#include <unordered_map>

#include "common/day_number.h"
#include "common/stored_text.h"
#include "events/birthday_list.h"
#include "store/cal_db.h"

namespace orv {
namespace {

// What the editors keep: 1000 characters, and 1019 bytes for a text stored as UTF-8.
bool fitsADay(std::string_view text) {
    return editorLength(text) <= static_cast<size_t>(kMaxDayTextLength) &&
           encodeStoredText(text).size() <= static_cast<size_t>(kMaxStoredChars);
}

struct Decision {
    AppendOutcome outcome = AppendOutcome::Added;
    std::string text;  // the day's new text when Added
};

// found: the day has a record whose text is current.
Decision decide(bool found, std::string_view current, std::string_view line, bool skipIfPresent) {
    Decision d;
    if (!found) {
        d.text = std::string(line);
    } else {
        if (skipIfPresent && current.find(line) != std::string_view::npos) {
            d.outcome = AppendOutcome::AlreadyPresent;
            return d;
        }
        d.text = textWithEntryLine(current, line);
    }
    // Nothing is ever cut: a day that would grow too long does not get the line at all.
    if (!fitsADay(d.text)) {
        d.outcome = AppendOutcome::TooLong;
        d.text.clear();
    }
    return d;
}

template <class DateAt, class LineAt>
StampResult stampHeld(CalDb& store, size_t count, DateAt dateAt, LineAt lineAt, bool skipIfPresent, bool dryRun) {
    StampResult result;

    // Count the days that would get a new record before writing anything.
    std::vector<int> newDays;
    for (size_t i = 0; i < count; ++i) {
        if (!fitsADay(lineAt(i))) continue;  // skipped on every day
        if (!store.FindDay(dateAt(i))) newDays.push_back(dateAt(i));
    }
    std::sort(newDays.begin(), newDays.end());
    newDays.erase(std::unique(newDays.begin(), newDays.end()), newDays.end());
    const int live = liveDayCount(store);
    result.newDaysNeeded = static_cast<int>(newDays.size());
    result.roomLeft = std::max(0, stampingCapacity() - live);
    if (result.newDaysNeeded > result.roomLeft) {
        result.refused = true;
        return result;
    }

    // A dry run keeps the texts it would have written, so that a later item of the same day sees them.
    std::unordered_map<int, std::string> simulated;
    const auto stampOne = [&](size_t i) {
        const int date = dateAt(i);
        const std::string_view line = lineAt(i);
        if (!dryRun) return AppendEntryLine(store, date, line, skipIfPresent);
        Decision d;
        if (const auto it = simulated.find(date); it != simulated.end()) {
            d = decide(true, it->second, line, skipIfPresent);
        } else {
            const auto stored = store.readDay(date);
            d = decide(stored.has_value(), stored.value_or(std::string()), line, skipIfPresent);
        }
        if (d.outcome == AppendOutcome::Added) simulated[date] = std::move(d.text);
        return d.outcome;
    };
    for (size_t i = 0; i < count; ++i) {
        switch (stampOne(i)) {
            case AppendOutcome::Added: result.added.push_back(i); break;
            case AppendOutcome::AlreadyPresent: result.alreadyPresent.push_back(i); break;
            case AppendOutcome::TooLong: result.tooLong.push_back(i); break;
        }
    }
    return result;
}

// One operation of the store from the count of new days to the last line, so that the calendar counted is
// the calendar stamped whatever other programs do meanwhile.
template <class DateAt, class LineAt>
StampResult stamp(CalDb& store, size_t count, DateAt dateAt, LineAt lineAt, bool skipIfPresent, bool dryRun) {
    if (dryRun) {
        const CalDb::Hold reading = store.holdForReading();
        return stampHeld(store, count, dateAt, lineAt, skipIfPresent, true);
    }
    store.beginChanges();
    StampResult result;
    try {
        result = stampHeld(store, count, dateAt, lineAt, skipIfPresent, false);
    } catch (...) {
        store.discardChanges();
        throw;
    }
    if (result.refused) store.discardChanges();
    else store.commitChanges();
    return result;
}

}  // namespace

std::string textWithEntryLine(std::string_view text, std::string_view line) {
    std::string out(text);
    if (text.empty()) {
        out.append(line).append("\r\n");
    } else if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") {
        out.append(line).append("\r\n");
    } else {
        out.append("\r\n").append(line);
    }
    return out;
}

AppendOutcome AppendEntryLine(CalDb& store, int date, std::string_view line, bool skipIfPresent) {
    const auto stored = store.readDay(date);
    const Decision d = decide(stored.has_value(), stored.value_or(std::string()), line, skipIfPresent);
    if (d.outcome != AppendOutcome::Added) return d.outcome;
    store.writeDay(date, d.text);
    return AppendOutcome::Added;
}

int stampingCapacity() { return kPurgeThreshold - 1; }

int liveDayCount(const CalDb& store) {
    int live = 0;
    for (const auto& key : store.keyList.keys())
        if (!key.empty()) ++live;
    return live;
}

StampResult stampRepetition(CalDb& store, const std::vector<int>& dates, std::string_view line, bool dryRun) {
    return stamp(
        store, dates.size(), [&](size_t i) { return dates[i]; }, [&](size_t) { return line; }, false, dryRun);
}

std::vector<StampItem> birthdayItems(const BirthdayList& list, int year) {
    std::vector<StampItem> items;
    if (list.rowCount() == 1 && list.cell(BirthdayList::colMonth, 1).empty()) return items;
    for (int r = 1; r <= list.rowCount(); ++r) {
        const auto month = parseWholeNumber(list.cell(BirthdayList::colMonth, r));
        const auto day = parseWholeNumber(list.cell(BirthdayList::colDay, r));
        if (!month || !day) continue;
        const auto date = tryDayNumber(year, *month, *day);
        if (!date) continue;  // a Month of 13, 29 February in a common year: skipped without a word
        items.push_back({*date, list.entryLine(r)});
    }
    return items;
}

StampResult stampItems(CalDb& store, const std::vector<StampItem>& items, bool dryRun) {
    return stamp(
        store, items.size(), [&](size_t i) { return items[i].date; },
        [&](size_t i) { return std::string_view(items[i].line); }, true, dryRun);
}

std::string capacityMessage(const StampResult& result) {
    return "Nothing has been added: these entries need " + std::to_string(result.newDaysNeeded) +
           (result.newDaysNeeded == 1 ? " new day" : " new days") + " in the calendar, but it can take only " +
           std::to_string(result.roomLeft) + " more. A calendar holds at most " + std::to_string(stampingCapacity()) +
           " days; beyond that its oldest days would be removed.";
}

std::string tooLongMessage(const std::vector<int>& dates, const DateNames& names) {
    constexpr size_t kListed = 20;
    std::string out = "The entry was not added to the following " + std::string(dates.size() == 1 ? "day" : "days") +
                      ", because the day's reminders would become longer than " + std::to_string(kMaxDayTextLength) +
                      " characters:";
    for (size_t i = 0; i < dates.size() && i < kListed; ++i)
        out += "\r" + formatDate("dddd, d mmmm yyyy", dates[i], names);
    if (dates.size() > kListed) out += "\rand " + std::to_string(dates.size() - kListed) + " more.";
    return out;
}

}  // namespace orv
