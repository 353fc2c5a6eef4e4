// Where the calendars live: "Path" of section "Calendar", a relative one inside the program folder, for
// the command-line tool as for the windows, wherever the process was started.

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "common/ini_file.h"
#include "program/program.h"
#include "program/settings_file.h"
#include "support/cli_fixture.h"

namespace orv {
namespace {

class DataFolder : public test::CliFixture {};

TEST_F(DataFolder, PathIsTakenInTheProgramFolderUnlessAbsolute) {
    struct Case {
        std::string path;
        std::string folder;  // resolved
    };
    const Case cases[] = {
        {"", dir.path() + "/Data"},
        {"RelData", dir.path() + "/RelData"},
        {"sub/RelData", dir.path() + "/sub/RelData"},
        {"./RelData", dir.path() + "/./RelData"},
        {dir.path() + "/Elsewhere", dir.path() + "/Elsewhere"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        IniFile ini;
        ini.loadFromText("[Calendar]\r\nPath=" + c.path + "\r\n");
        Program program(dir.path());
        readSettings(ini, program, "d mmmm yyyy");
        EXPECT_EQ(program.calendars.DataFolder, c.folder);
        // Written back, a relative one stays relative: the folder can be moved with its data.
        writeSettings(program, ini);
        EXPECT_EQ(ini.readString("Calendar", "Path", ""), c.path.empty() ? c.folder : c.path);
    }
}

TEST_F(DataFolder, TheToolStartedElsewhereWritesWhereTheWindowsRead) {
    dir.write("Orvella.INI", "[Calendar]\r\nPath=RelData\r\n");
    dir.write("CalUsers.DAT", "Ann\r\n");
    test::TempDir elsewhere;
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    const test::CliResult r = run({"set", "2026-01-05", "here"});
    std::filesystem::current_path(home);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(dir.exists("RelData/Ann.DBX"));
    EXPECT_FALSE(elsewhere.exists("RelData"));
}

}  // namespace
}  // namespace orv
