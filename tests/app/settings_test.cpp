#include <gtest/gtest.h>

#include "app/settings.h"
#include "common/ini_file.h"
#include "common/io_error.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

AppState freshState(const std::string& folder) {
    AppState s;
    s.ProgramFolder = folder;
    return s;
}

TEST(Settings, MissingFileGivesEveryDefault) {
    test::TempDir dir;
    AppState s = freshState(dir.path());
    s.ShowWeekends = false;  // whatever a previous run left must not survive
    s.Background = 255;
    IniFile ini;
    EXPECT_FALSE(loadSettingsFile(s, ini, "dddd, d mmmm yyyy"));
    EXPECT_EQ(s.Left, 300);
    EXPECT_EQ(s.Top, 40);
    EXPECT_EQ(s.Size, 1);
    EXPECT_EQ(s.calendars.CurrentCalendarIndex, 0);
    EXPECT_EQ(s.calendars.DataFolder, dir.path() + "/Data");
    EXPECT_EQ(s.DefaultDateFormat, "dddd, d mmmm yyyy");
    EXPECT_EQ(s.Background, -2147483633);
    EXPECT_EQ(s.Foreground, -2147483633);
    EXPECT_EQ(s.BackgrdMode, 3);
    EXPECT_TRUE(s.ShowWeekends);
    EXPECT_EQ(s.LastAcceptedDate, 21916);
    EXPECT_TRUE(s.ShowUsage);
    EXPECT_EQ(s.Tile, 0);
    EXPECT_FALSE(s.RemindersEnabled);
    EXPECT_EQ(s.RemindersKind, 0);
    EXPECT_EQ(s.RemindersDate, 0.0);
    EXPECT_EQ(s.RemindersTime, 0.0);
}

TEST(Settings, SavedFileHoldsEveryKeyInOrder) {
    test::TempDir dir;
    AppState s = freshState(dir.path());
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
    AppState s = freshState(dir.path());
    s.Left = 12;
    s.Top = -5;
    s.Size = 0;
    s.calendars.DataFolder = dir.path() + "/Elsewhere";
    s.calendars.CurrentCalendarIndex = 2;
    s.DefaultDateFormat = "d/m/yyyy";
    s.BackgrdMode = 200;
    s.ShowWeekends = false;
    s.LastAcceptedDate = 46364;
    s.ShowUsage = false;
    s.Tile = 5;
    s.RemindersEnabled = true;
    s.RemindersKind = 9;
    s.RemindersDate = 46364.5;
    s.RemindersTime = 0.25;
    s.Background = 255;  // written, but a new run starts from the button face again
    saveSettingsFile(s);

    AppState r = freshState(dir.path());
    IniFile ini;
    EXPECT_TRUE(loadSettingsFile(r, ini, "unused"));
    EXPECT_EQ(r.Left, 12);
    EXPECT_EQ(r.Top, -5);
    EXPECT_EQ(r.Size, 0);
    EXPECT_EQ(r.calendars.DataFolder, dir.path() + "/Elsewhere");
    EXPECT_EQ(r.calendars.CurrentCalendarIndex, 2);
    EXPECT_EQ(r.DefaultDateFormat, "d/m/yyyy");
    EXPECT_EQ(r.BackgrdMode, 200);
    EXPECT_FALSE(r.ShowWeekends);
    EXPECT_EQ(r.LastAcceptedDate, 46364);
    EXPECT_FALSE(r.ShowUsage);
    EXPECT_EQ(r.Tile, 5);
    EXPECT_TRUE(r.RemindersEnabled);
    EXPECT_EQ(r.RemindersKind, 9);
    EXPECT_EQ(r.RemindersDate, 46364.5);
    EXPECT_EQ(r.RemindersTime, 0.25);
    EXPECT_EQ(r.Background, -2147483633);
}

TEST(Settings, UnusableValuesFallBackToDefaults) {
    test::TempDir dir;
    std::string text =
        "[System]\r\nLeft=99999999999\r\nTop=0x20\r\nSize=abc\r\nCurrent User=-1\r\n"
        "[Calendar]\r\nBackgrd mode=300\r\nShow Weekends=yes\r\nLast Accepted Date=1e5\r\nTile=\r\n"
        "[Reminders]\r\nEnabled=2\r\nDate=0,0\r\nTime=not a number\r\n";
    text += std::string(5000, '\xff');
    dir.write("Orvella.INI", text);
    AppState s = freshState(dir.path());
    IniFile ini;
    loadSettingsFile(s, ini, "x");
    EXPECT_EQ(s.Left, 300);
    EXPECT_EQ(s.Top, 32);
    EXPECT_EQ(s.Size, 1);
    EXPECT_EQ(s.calendars.CurrentCalendarIndex, -1);  // the calendar list corrects it
    EXPECT_EQ(s.BackgrdMode, 300 % 256);               // kept in one byte
    EXPECT_TRUE(s.ShowWeekends);
    EXPECT_EQ(s.LastAcceptedDate, 21916);
    EXPECT_EQ(s.Tile, 0);
    EXPECT_TRUE(s.RemindersEnabled);
    EXPECT_EQ(s.RemindersDate, 0.0);
    EXPECT_EQ(s.RemindersTime, 0.0);
}

TEST(Settings, DataFolderIsCreatedOrRefusedWithItsName) {
    test::TempDir dir;
    AppState s = freshState(dir.path());
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
