#pragma once
// Texts a sync takes out of a calendar (a day deleted on another device, a server's text longer than a
// day holds) are first appended to the calendar's archive beside it, the file its purges fill, in the
// calendar's record format; a text longer than one record takes several records of its date.

#include <string>
#include <utility>
#include <vector>

namespace orv::sync {

// Appends (day, text) pairs to the archive of calendarFile and flushes it. Throws IoError; a failed
// append leaves the archive as it was.
void archiveDayTexts(const std::string& calendarFile, const std::vector<std::pair<int, std::string>>& texts);

}  // namespace orv::sync
