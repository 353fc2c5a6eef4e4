#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>

#include "common/ini_file.h"
#include "common/io_error.h"
#include "program/program.h"
#include "program/settings_file.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

// The process in a German locale (decimal comma) for the life of the object, made with glibc's localedef
// into folder; afterwards the locale the process had.
class GermanLocale {
public:
    explicit GermanLocale(const std::string& folder) : before_(std::setlocale(LC_ALL, nullptr)) {
        const std::string make = "localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(make.c_str()) == -1) return;
        if (const char* old = std::getenv("LOCPATH")) oldPath_ = old;
        ::setenv("LOCPATH", folder.c_str(), 1);
        std::setlocale(LC_ALL, "de_DE.UTF-8");
    }
    ~GermanLocale() {
        std::setlocale(LC_ALL, before_.c_str());
        if (oldPath_) ::setenv("LOCPATH", oldPath_->c_str(), 1);
        else ::unsetenv("LOCPATH");
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

private:
    std::string before_;
    std::optional<std::string> oldPath_;
};

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
        "[Calendar]\r\nPath=Data\r\nDefault Date Format=dddd, d mmmm yyyy\r\n"
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
    EXPECT_EQ(s.settings.BackgrdMode, 300 % 256);     // kept in one byte
    EXPECT_TRUE(s.settings.ShowWeekends);
    EXPECT_EQ(s.settings.LastAcceptedDate, 21916);
    EXPECT_EQ(s.settings.Tile, 0);
    EXPECT_TRUE(s.settings.RemindersEnabled);
    EXPECT_EQ(s.settings.RemindersDate, 0.0);
    EXPECT_EQ(s.settings.RemindersTime, 0.0);
}

TEST(Settings, RealsUnderADecimalComma) {
    test::TempDir dir;
    const GermanLocale german(dir.path());
    ASSERT_STREQ(std::localeconv()->decimal_point, ",") << "the de_DE locale could not be made (package locales)";
    struct Case {
        std::string stored;
        double read;
        std::string written;
    };
    const Case cases[] = {
        {"0.5", 0.5, "0,5"},         {"0,5", 0.5, "0,5"},   {"0.0", 0.0, "0"}, {"46364,25", 46364.25, "46364,25"},
        {" -1.5e2", -150.0, "-150"}, {"1.000,5", 0.0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        dir.write("Orvella.INI", "[Reminders]\r\nDate=" + c.stored + "\r\nTime=" + c.stored + "\r\n");
        Program s(dir.path());
        IniFile ini;
        loadSettingsFile(s, ini, "x");
        EXPECT_EQ(s.settings.RemindersDate, c.read);
        EXPECT_EQ(s.settings.RemindersTime, c.read);
        saveSettingsFile(s);
        const std::string text = dir.read("Orvella.INI");
        EXPECT_NE(text.find("\r\nDate=" + c.written + "\r\nTime=" + c.written + "\r\n"), std::string::npos) << text;
    }
}

TEST(Settings, SizeIsWrittenAsTheSizeGroupHoldsIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"Size=7\r\n", "Size=1"},   {"Size=1\r\n", "Size=1"}, {"Size=0\r\n", "Size=0"},
        {"Size=-3\r\n", "Size=-1"}, {"Size=x\r\n", "Size=1"}, {"", "Size=1"},
    };
    for (const auto& [stored, written] : cases) {
        SCOPED_TRACE(stored);
        test::TempDir dir;
        dir.write("Orvella.INI", "[System]\r\n" + stored);
        Program s(dir.path());
        IniFile ini;
        loadSettingsFile(s, ini, "x");
        saveSettingsFile(s);
        EXPECT_NE(dir.read("Orvella.INI").find("\r\n" + written + "\r\n"), std::string::npos);
    }
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
