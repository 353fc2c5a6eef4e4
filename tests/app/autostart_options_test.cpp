#include "app/autostart_options.h"

#include <gtest/gtest.h>

#include "common/ini_file.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

TEST(AutostartOptions, ReadingRules) {
    struct Case {
        const char* text;
        AutostartOptions before;
        bool autoChecked;
        int display;
    };
    const Case cases[] = {
        {"", {true, 1}, true, 1},  // nothing stored: the controls keep their state
        {"[Autostart]\r\ncbAuto_Checked=False\r\nrgDisplay_ItemIndex=1\r\n", {true, 0}, false, 1},
        {"[autostart]\r\ncbauto_checked=tRUE\r\n", {false, 1}, true, 1},
        {"[Autostart]\r\ncbAuto_Checked=1\r\n", {false, 0}, false, 0},  // neither True nor False: unchanged
        {"[Autostart]\r\ncbAuto_Checked=\r\n", {true, 0}, true, 0},
        {"[Autostart]\r\nrgDisplay_ItemIndex=Monday\r\n", {true, 1}, true, 0},  // not a whole number: item 0
        {"[Autostart]\r\nrgDisplay_ItemIndex=\r\n", {true, 1}, true, 0},
        {"[Autostart]\r\nrgDisplay_ItemIndex=0x1\r\n", {true, 0}, true, 1},
        {"[Autostart]\r\nrgDisplay_ItemIndex=5\r\n", {true, 0}, true, 1},  // beyond the items: the nearer
        {"[Autostart]\r\nrgDisplay_ItemIndex=-1\r\n", {true, 1}, true, 0},
        {"[System]\r\ncbAuto_Checked=False\r\n", {true, 0}, true, 0},  // other sections do not count
    };
    for (const Case& c : cases) {
        IniFile ini;
        ini.loadFromText(c.text);
        AutostartOptions o = c.before;
        o.read(ini);
        EXPECT_EQ(o.cbAutoChecked, c.autoChecked) << c.text;
        EXPECT_EQ(o.rgDisplayItemIndex, c.display) << c.text;
    }
}

TEST(AutostartOptions, SavesBothKeysAndKeepsTheRestOfTheFile) {
    test::TempDir dir;
    const std::string file = dir.file("Orvella.INI");
    dir.write("Orvella.INI", "[System]\r\nLeft=12\r\n[Autostart]\r\nShowCmd=1\r\n");
    AutostartOptions o;
    o.cbAutoChecked = false;
    o.rgDisplayItemIndex = 1;
    o.save(file);

    IniFile ini;
    ASSERT_TRUE(ini.load(file));
    EXPECT_EQ(ini.value("Autostart", "cbAuto_Checked"), "False");
    EXPECT_EQ(ini.value("Autostart", "rgDisplay_ItemIndex"), "1");
    EXPECT_EQ(ini.value("Autostart", "ShowCmd"), "1");
    EXPECT_EQ(ini.value("System", "Left"), "12");

    AutostartOptions back;
    back.load(file);
    EXPECT_FALSE(back.cbAutoChecked);
    EXPECT_EQ(back.rgDisplayItemIndex, 1);

    o.cbAutoChecked = true;
    o.save(dir.file("new.INI"));  // a first start has no settings file yet
    AutostartOptions fresh{false, 0};
    fresh.load(dir.file("new.INI"));
    EXPECT_TRUE(fresh.cbAutoChecked);
}

}  // namespace
}  // namespace orv
