#include <gtest/gtest.h>

#include "common/ini_file.h"
#include "common/io_error.h"
#include "program/program.h"
#include "program/settings_file.h"
#include "support/temp_dir.h"

namespace orv {
namespace {


TEST(Settings, MissingFileGivesEveryDefault) {
    test::TempDir dir;
    Program s(dir.path());
    s.settings.ShowWeekends = false;  // whatever a previous run left must not survive
    s.settings.Background = 255;
    IniFile ini;
    EXPECT_FALSE(loadSettingsFile(s, ini, "dddd, d mmmm yyyy"));
    EXPECT_EQ(s.settings.Left, 300);
    EXPECT_EQ(s.settings.Top, 40);
    EXPECT_EQ(s.settings.Size, 1);
    EXPECT_EQ(s.calendars.CurrentCalendarIndex, 0);
    EXPECT_EQ(s.calendars.DataFolder, dir.path() + "/Data");
    EXPECT_EQ(s.settings.DefaultDateFormat, "dddd, d mmmm yyyy");
    EXPECT_EQ(s.settings.Background, -2147483633);
    EXPECT_EQ(s.settings.Foreground, -2147483633);
    EXPECT_EQ(s.settings.BackgrdMode, 3);
    EXPECT_TRUE(s.settings.ShowWeekends);
    EXPECT_EQ(s.settings.LastAcceptedDate, 21916);
    EXPECT_TRUE(s.settings.ShowUsage);
    EXPECT_EQ(s.settings.Tile, 0);
    EXPECT_FALSE(s.settings.RemindersEnabled);
    EXPECT_EQ(s.settings.RemindersKind, 0);
    EXPECT_EQ(s.settings.RemindersDate, 0.0);
    EXPECT_EQ(s.settings.RemindersTime, 0.0);
}

TEST(Settings, SavedFileHoldsEveryKeyInOrder) {
    test::TempDir dir;
    Program s(dir.path());
    IniFile ini;
    loadSettingsFile(s, ini, "dddd, d mmmm yyyy");
    saveSettingsFile(s);
    const std::string expected =
        "[System]\r\nLeft=300\r\nTop=40\r\nSize=1\r\nCurrent User=0\r\n\r\n"
        "[Calendar]\r\nPath=" + dir.path() + "/Data\r\nDefault Date Format=dddd, d mmmm yyyy\r\n"
        "Background=-2147483633\r\nForeground=-2147483633\r\nBackgrd mode=3\r\nShow Weekends=1\r\n"
        "Last Accepted Date=21916\r\nShow Usage=1\r\nTile=0\r\n\r\n"
        "[Reminders]\r\nEnabled=0\r\nKind=0\r\nDate=0\r\nTime=0\r\n";
    EXPECT_EQ(dir.read("Orvella.INI"), expected);
}

TEST(Settings, RoundTripOfChangedValues) {
    test::TempDir dir;
    Program s(dir.path());
    s.settings.Left = 12;
    s.settings.Top = -5;
    s.settings.Size = 0;
    s.calendars.DataFolder = dir.path() + "/Elsewhere";
    s.calendars.CurrentCalendarIndex = 2;
    s.settings.DefaultDateFormat = "d/m/yyyy";
    s.settings.BackgrdMode = 200;
    s.settings.ShowWeekends = false;
    s.settings.LastAcceptedDate = 46364;
    s.settings.ShowUsage = false;
    s.settings.Tile = 5;
    s.settings.RemindersEnabled = true;
    s.settings.RemindersKind = 9;
    s.settings.RemindersDate = 46364.5;
    s.settings.RemindersTime = 0.25;
    s.settings.Background = 255;  // written, but a new run starts from the button face again
    saveSettingsFile(s);

    Program r(dir.path());
    IniFile ini;
    EXPECT_TRUE(loadSettingsFile(r, ini, "unused"));
    EXPECT_EQ(r.settings.Left, 12);
    EXPECT_EQ(r.settings.Top, -5);
    EXPECT_EQ(r.settings.Size, 0);
    EXPECT_EQ(r.calendars.DataFolder, dir.path() + "/Elsewhere");
    EXPECT_EQ(r.calendars.CurrentCalendarIndex, 2);
    EXPECT_EQ(r.settings.DefaultDateFormat, "d/m/yyyy");
    EXPECT_EQ(r.settings.BackgrdMode, 200);
    EXPECT_FALSE(r.settings.ShowWeekends);
    EXPECT_EQ(r.settings.LastAcceptedDate, 46364);
    EXPECT_FALSE(r.settings.ShowUsage);
    EXPECT_EQ(r.settings.Tile, 5);
    EXPECT_TRUE(r.settings.RemindersEnabled);
    EXPECT_EQ(r.settings.RemindersKind, 9);
    EXPECT_EQ(r.settings.RemindersDate, 46364.5);
    EXPECT_EQ(r.settings.RemindersTime, 0.25);
    EXPECT_EQ(r.settings.Background, -2147483633);
}

TEST(Settings, UnusableValuesFallBackToDefaults) {
    test::TempDir dir;
    std::string text =
        "[System]\r\nLeft=99999999999\r\nTop=0x20\r\nSize=abc\r\nCurrent User=-1\r\n"
        "[Calendar]\r\nBackgrd mode=300\r\nShow Weekends=yes\r\nLast Accepted Date=1e5\r\nTile=\r\n"
        "[Reminders]\r\nEnabled=2\r\nDate=0,0\r\nTime=not a number\r\n";
    text += std::string(5000, '\xff');
    dir.write("Orvella.INI", text);
    Program s(dir.path());
    IniFile ini;
    loadSettingsFile(s, ini, "x");
    EXPECT_EQ(s.settings.Left, 300);
    EXPECT_EQ(s.settings.Top, 32);
    EXPECT_EQ(s.settings.Size, 1);
    EXPECT_EQ(s.calendars.CurrentCalendarIndex, -1);  // the calendar list corrects it
    EXPECT_EQ(s.settings.BackgrdMode, 300 % 256);               // kept in one byte
    EXPECT_TRUE(s.settings.ShowWeekends);
    EXPECT_EQ(s.settings.LastAcceptedDate, 21916);
    EXPECT_EQ(s.settings.Tile, 0);
    EXPECT_TRUE(s.settings.RemindersEnabled);
    EXPECT_EQ(s.settings.RemindersDate, 0.0);
    EXPECT_EQ(s.settings.RemindersTime, 0.0);
}

TEST(Settings, DataFolderIsCreatedOrRefusedWithItsName) {
    test::TempDir dir;
    Program s(dir.path());
    s.calendars.DataFolder = dir.path() + "/Data/Deeper";
    ensureDataFolder(s);
    EXPECT_TRUE(dir.exists("Data/Deeper"));

    dir.write("plainfile", "x");
    s.calendars.DataFolder = dir.path() + "/plainfile/Data";
    try {
        ensureDataFolder(s);
        FAIL() << "a folder under a plain file cannot exist";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.path() + "/plainfile/Data"), std::string::npos);
    }
}

}  // namespace
}  // namespace orv
