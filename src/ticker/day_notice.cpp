#include "ticker/day_notice.h"

#include "common/cp1252.h"

namespace orv {
namespace {

const std::string kEllipsis = "\xE2\x80\xA6";  // … in UTF-8

std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

DayNotice composeDayNotice(int today, const std::vector<YearlyRow>& birthdays, const std::vector<YearlyRow>& second,
                           const std::optional<std::string>& todayText, const DateNames& names) {
    DayNotice notice;
    notice.summary = cp1252ToUtf8(formatDate("dddd d mmmm yyyy", today, names));
    const auto due = [&](const YearlyRow& row, bool fromSecondList) {
        if (nextDate(row.month, row.day, today) != today) return;
        const std::string text = fromSecondList || row.name.empty() ? row.event : row.name + " - " + row.event;
        if (!trimmed(text).empty()) notice.lines.push_back(cp1252ToUtf8(text));
    };
    for (const YearlyRow& row : birthdays) due(row, false);
    for (const YearlyRow& row : second) due(row, true);

    if (!todayText) return notice;
    const std::string& text = *todayText;
    size_t shown = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 2;
        if (line.empty()) continue;
        if (shown == kNoticeTextLines) {
            notice.lines.push_back(kEllipsis);
            break;
        }
        notice.lines.push_back(line.size() > kNoticeLineLength
                                   ? cp1252ToUtf8(trimmed(line.substr(0, kNoticeLineLength))) + kEllipsis
                                   : cp1252ToUtf8(line));
        ++shown;
    }
    return notice;
}

}  // namespace orv
