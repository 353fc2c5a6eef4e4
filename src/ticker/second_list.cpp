#include "ticker/second_list.h"

#include "common/file_util.h"
#include "events/birthday_list.h"

namespace orv {

SecondList LoadSecondList(const std::string& path) {
    SecondList list;
    if (!fileExists(path)) return list;
    // Read exactly as the birthday list reads "Events.dat"; its blank last row has no date and never shows.
    BirthdayList rows;
    list.failure = rows.LoadEventsFile(path);
    list.rows = yearlyRows(rows);
    return list;
}

}  // namespace orv
