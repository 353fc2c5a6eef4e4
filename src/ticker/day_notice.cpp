#include "ticker/day_notice.h"


namespace orv {
namespace {

const std::string kEllipsis = "\xE2\x80\xA6";  // … in UTF-8

std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The first n characters of a UTF-8 line.
std::string firstChars(const std::string& s, size_t n) {
    size_t i = 0;
    for (size_t chars = 0; i < s.size() && chars < n; ++chars)
        do {
            ++i;
        } while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80);
    return s.substr(0, i);
}

size_t charCount(const std::string& s) {
    size_t n = 0;
    for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

}  // namespace

DayNotice composeDayNotice(int today, const std::vector<YearlyRow>& birthdays, const std::vector<YearlyRow>& second,
                           const std::optional<std::string>& todayText, const DateNames& names) {
    DayNotice notice;
    notice.summary = formatDate("dddd d mmmm yyyy", today, names);
    const auto due = [&](const YearlyRow& row, bool fromSecondList) {
        if (nextDate(row.month, row.day, today) != today) return;
        const std::string text = fromSecondList || row.name.empty() ? row.event : row.name + " - " + row.event;
        if (!trimmed(text).empty()) notice.lines.push_back(text);
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
        notice.lines.push_back(charCount(line) > kNoticeLineLength
                                   ? trimmed(firstChars(line, kNoticeLineLength)) + kEllipsis
                                   : line);
        ++shown;
    }
    return notice;
}

}  // namespace orv
