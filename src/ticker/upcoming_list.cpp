#include "ticker/upcoming_list.h"

#include <algorithm>

#include "common/day_number.h"
#include "common/file_util.h"
#include "events/birthday_list.h"

namespace orv {
namespace {

constexpr const char* kDatePattern = "ddd, d mmm yyyy";

struct Item {
    int date;
    std::string text;
    std::string folded;  // the text in lower case, for the order within a day
};

}  // namespace

std::vector<YearlyRow> yearlyRows(const BirthdayList& list) {
    std::vector<YearlyRow> rows;
    for (int r = 1; r <= list.rowCount(); ++r)
        rows.push_back({list.cell(BirthdayList::colName, r), list.cell(BirthdayList::colEvent, r),
                        list.cell(BirthdayList::colMonth, r), list.cell(BirthdayList::colDay, r)});
    return rows;
}

std::optional<int> nextDate(const std::string& month, const std::string& day, int today) {
    const auto m = parseWholeNumber(month);
    const auto d = parseWholeNumber(day);
    if (!m || !d) return std::nullopt;
    const int year = toYmd(today).year;
    // A date this year lacks (29 February) has none: next year's would be months away anyway.
    if (!isValidDate(year, *m, *d)) return std::nullopt;
    const int thisYear = dayNumber(year, *m, *d);
    if (thisYear >= today) return thisYear;
    if (!isValidDate(year + 1, *m, *d)) return std::nullopt;
    return dayNumber(year + 1, *m, *d);
}

std::vector<std::string> BuildTicker(const std::vector<YearlyRow>& birthdays, const std::vector<YearlyRow>& second,
                                     int today, const DateNames& names, int lookAheadDays) {
    std::vector<Item> items;
    const auto add = [&](const YearlyRow& row, bool fromSecondList) {
        const auto date = nextDate(row.month, row.day, today);
        if (!date || *date - today > lookAheadDays) return;
        const std::string when = formatDate(kDatePattern, *date, names);
        std::string text;
        if (fromSecondList) text = row.name.empty() ? row.event : row.event + " on " + when;
        else text = row.name.empty() ? row.event + " on " + when : row.name + " - " + row.event + " on " + when;
        std::string folded = toLowerAscii(text);
        items.push_back({*date, std::move(text), std::move(folded)});
    };
    for (const YearlyRow& row : birthdays) add(row, false);
    for (const YearlyRow& row : second) add(row, true);
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        if (a.date != b.date) return a.date < b.date;
        if (a.folded != b.folded) return a.folded < b.folded;
        return a.text < b.text;
    });
    std::vector<std::string> texts;
    texts.reserve(items.size());
    for (Item& item : items) texts.push_back(std::move(item.text));
    return texts;
}

}  // namespace orv
