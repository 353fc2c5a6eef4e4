// "CalUsers.DAT" of any bytes: the names read must be written and read back unchanged, and no name may
// lead the store to a file outside the data folder.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/io_error.h"
#include "store/calendar_list.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "calendar list: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CalendarList list;
    list.Names = CalendarList::parseUsersFile(bytes);
    list.DataFolder = "/data";
    check(CalendarList::parseUsersFile(CalendarList::formatUsersFile(list.Names)) == list.Names, "names round trip");
    for (int i = 0; i < list.size(); ++i) {
        check(list.indexOf(list.Names[static_cast<size_t>(i)]) <= i, "a name is not found at or before its place");
        try {
            const std::string file = list.CalendarFileName(i);
            check(file.rfind("/data/", 0) == 0 && file.find('/', 6) == std::string::npos, "a file outside the folder");
            check(file.size() >= 10 && file.substr(file.size() - 4) == ".DBX", "a file without its extension");
        } catch (const IoError&) {
            check(calendarNameProblem(list.Names[static_cast<size_t>(i)]).has_value(), "a usable name refused");
        }
    }
    return 0;
}
