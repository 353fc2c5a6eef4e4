// Keys read ahead while the windows are built stand in for the start's own load only when they are of the
// calendar it opens, unchanged since: whatever happens in between, the start sees what the file holds.

#include "program/calendar_read_ahead.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>

#include "common/ini_file.h"
#include "common/sys_file.h"
#include "program/program.h"
#include "program/settings_file.h"
#include "support/store_days.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

struct Loaded {
    std::vector<std::string> keys;
    double lastDate = 0;
    std::string lastText;
    friend bool operator==(const Loaded&, const Loaded&) = default;
};

// Opens the current calendar of folder as a start does, with or without keys read ahead.
Loaded startLoad(const std::string& folder, std::optional<std::optional<CalendarKeys>> ahead) {
    Program program(folder);
    IniFile ini;
    loadSettingsFile(program, ini, {});
    program.calendars.loadAtStartup(program.usersFile(), program.calendars.CurrentCalendarIndex);
    if (ahead) {
        std::promise<std::optional<CalendarKeys>> ready;
        ready.set_value(std::move(*ahead));
        program.store.offerKeysReadAhead(ready.get_future());
    }
    program.store.OpenCurrentCalendar();
    return {program.store.keyList.keys(), program.store.CurrentRecord.Date, program.store.CurrentRecord.text()};
}

void setModified(const std::string& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(CalendarReadAhead, TheLoadSeesTheFileAsItIsNow) {
    struct Case {
        const char* what;
        std::function<void(const test::TempDir&)> between;  // after the read-ahead, before the load
    };
    const Case cases[] = {
        {"nothing changed", [](const test::TempDir&) {}},
        {"a day rewritten in place",
         [](const test::TempDir& dir) {
             dir.write("Data/Ann.DBX", test::record(46000, "one") + test::record(46009, "moved"));
             setModified(dir.file("Data/Ann.DBX"), 1'000'000'000);
         }},
        {"a day appended",
         [](const test::TempDir& dir) {
             dir.write("Data/Ann.DBX",
                       test::record(46000, "one") + test::record(46001, "two") + test::record(46002, "three"));
         }},
        {"the file replaced",
         [](const test::TempDir& dir) {
             dir.write("Data/Other.tmp", test::record(47000, "new"));
             ASSERT_EQ(std::rename(dir.file("Data/Other.tmp").c_str(), dir.file("Data/Ann.DBX").c_str()), 0);
         }},
        {"the file deleted", [](const test::TempDir& dir) { std::remove(dir.file("Data/Ann.DBX").c_str()); }},
        {"another calendar chosen",
         [](const test::TempDir& dir) { dir.write("Orvella.INI", "[System]\r\nCurrent User=1\r\n"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        dir.write("Orvella.INI", "[System]\r\nCurrent User=0\r\n");
        dir.write("CalUsers.DAT", "Ann\r\nBob\r\n");
        ::mkdir(dir.file("Data").c_str(), 0700);
        dir.write("Data/Ann.DBX", test::record(46000, "one") + test::record(46001, "two"));
        dir.write("Data/Bob.DBX", test::record(45000, "bob"));
        setModified(dir.file("Data/Ann.DBX"), 1'500'000'000);

        auto ahead = readCurrentCalendarKeys(dir.path());
        ASSERT_TRUE(ahead.has_value());
        EXPECT_EQ(ahead->keys.keys(), (std::vector<std::string>{"46000", "46001"}));
        c.between(dir);
        EXPECT_EQ(startLoad(dir.path(), std::move(ahead)), startLoad(dir.path(), std::nullopt));
    }
}

TEST(CalendarReadAhead, UnchangedKeysSpareTheLoadItsRead) {
    test::TempDir dir;
    dir.write("CalUsers.DAT", "Ann\r\n");
    ::mkdir(dir.file("Data").c_str(), 0700);
    dir.write("Data/Ann.DBX", test::record(46000, "one") + test::record(46003, "four"));
    // The real thread, as the start runs it.
    auto ahead = readCurrentCalendarKeysAhead(dir.path()).get();
    setFileCallHook([&](FileCall call, const std::string& path) {
        return call == FileCall::Read && path == dir.file("Data/Ann.DBX") ? EIO : 0;
    });
    EXPECT_THROW(startLoad(dir.path(), std::nullopt), std::exception);
    Loaded loaded;
    EXPECT_NO_THROW(loaded = startLoad(dir.path(), std::move(ahead)));
    setFileCallHook(nullptr);
    EXPECT_EQ(loaded, (Loaded{{"46000", "46003"}, 46003, "four"}));
}

}  // namespace
}  // namespace orv
