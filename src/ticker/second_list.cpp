#include "ticker/second_list.h"

#include "common/io_error.h"
#include "common/sys_file.h"
#include "events/birthday_list.h"

namespace orv {

SecondList LoadSecondList(const std::string& path) {
    SecondList list;
    try {
        if (!statPath(path)) return list;
    } catch (const IoError& e) {
        list.failure = e.what();
        return list;
    }
    // Read exactly as the birthday list reads "Events.dat" (anything but a plain file is a failure); its blank
    // last row has no date and never shows.
    BirthdayList rows;
    list.failure = rows.LoadEventsFile(path);
    list.rows = yearlyRows(rows);
    return list;
}

}  // namespace orv
