// Where the calendars live: "Path" of section "Calendar", a relative one inside the program folder, for
// the command-line tool as for the windows, wherever the process was started.

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "common/ini_file.h"
#include "common/io_error.h"
#include "program/program.h"
#include "program/settings_file.h"
#include "support/cli_fixture.h"

namespace orv {
namespace {

class DataFolder : public test::CliFixture {};

TEST_F(DataFolder, PathIsTakenInTheProgramFolderUnlessAbsolute) {
    struct Case {
        std::string path;
        std::string folder;  // resolved; empty: refused
        std::string stored;  // written back
    };
    const Case cases[] = {
        {"", dir.path() + "/Data", "Data"},
        {"RelData", dir.path() + "/RelData", "RelData"},
        {"sub/RelData", dir.path() + "/sub/RelData", "sub/RelData"},
        {"./RelData", dir.path() + "/./RelData", "./RelData"},
        {"sub/../RelData", dir.path() + "/sub/../RelData", "sub/../RelData"},
        {dir.path() + "/Elsewhere", dir.path() + "/Elsewhere", "Elsewhere"},
        {"/elsewhere/Data", "/elsewhere/Data", "/elsewhere/Data"},
        {"../Data", "", ""},
        {"sub/../../../tmp/x", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        IniFile ini;
        ini.loadFromText("[Calendar]\r\nPath=" + c.path + "\r\n");
        Program program(dir.path());
        if (c.folder.empty()) {
            EXPECT_THROW(readSettings(ini, program, "d mmmm yyyy"), IoError);
            continue;
        }
        readSettings(ini, program, "d mmmm yyyy");
        EXPECT_EQ(program.calendars.DataFolder, c.folder);
        // Written back, a folder inside the program folder is relative (the default "Data" too): the folder
        // can be moved with its data.
        writeSettings(program, ini);
        EXPECT_EQ(ini.readString("Calendar", "Path", ""), c.stored);
    }
}

// Commands that only read never make a data folder: a missing one is named, exit 2. One that writes makes it.
TEST_F(DataFolder, WhatOnlyReadsNamesAMissingDataFolder) {
    const std::string gone = dir.path() + "/stick/orvella/Data";
    dir.write("Orvella.INI", "[Calendar]\r\nPath=" + gone + "\r\n");
    dir.write("CalUsers.DAT", "Ann\r\n");
    dir.write("disk/DiskInf.0", "");
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"show", "today"},
                                               {"calendars"},
                                               {"search", "x"},
                                               {"export", dir.file("out.ics")},
                                               {"repeat", "x", "--from", "today", "--days", "1", "--dry-run"},
                                               {"backup", dir.file("disk")}}) {
        SCOPED_TRACE(args[0]);
        const test::CliResult r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(gone), std::string::npos) << r.err;
        EXPECT_FALSE(dir.exists("stick"));
    }
    EXPECT_EQ(run({"set", "today", "x"}).status, 0);
    EXPECT_TRUE(dir.exists("stick/orvella/Data/Ann.DBX"));
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
