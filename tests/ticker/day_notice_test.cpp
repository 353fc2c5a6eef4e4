#include <gtest/gtest.h>

#include "common/day_number.h"
#include "common/ini_file.h"
#include "ticker/day_notice.h"
#include "ticker/notification_log.h"

namespace orv {
namespace {

TEST(DayNotice, YearlyDatesDueTodayThenTheFirstLinesOfTheText) {
    const int today = dayNumber(2026, 12, 8);
    const std::vector<YearlyRow> birthdays = {{"Ann", "Birthday", "12", "8"},
                                              {"", "Wedding day", "12", "8"},
                                              {"Bob", "Birthday", "12", "9"},
                                              {"Café", "Opening", "12", "08"},
                                              {"", "", "", ""}};
    const std::vector<YearlyRow> second = {{"x", "Feast", "12", "8"}, {"", "Later", "1", "8"}};
    struct Case {
        const char* name;
        std::optional<std::string> text;
        std::vector<std::string> lines;  // after the four yearly lines
    };
    const std::string longLine(120, 'x');
    const Case cases[] = {
        {"no text", std::nullopt, {}},
        {"lines", "Dentist 10am\r\n\r\n  Bring the card \r\n<Gym>\r\n", {"Dentist 10am", "Bring the card", "<Gym>"}},
        {"euro", "Pay € 5", {"Pay \xE2\x82\xAC 5"}},
        {"long line in another script", std::string(2, '.') + [] {
             std::string s;
             for (int i = 0; i < 120; ++i) s += "ż";
             return s;
         }(), {[] {
             std::string s = "..";
             for (int i = 0; i < 98; ++i) s += "ż";
             return s + "\xE2\x80\xA6";
         }()}},
        {"long line", longLine, {std::string(100, 'x') + "\xE2\x80\xA6"}},
        {"many lines", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7", {"1", "2", "3", "4", "5", "\xE2\x80\xA6"}},
        {"five lines exactly", "1\r\n2\r\n3\r\n4\r\n5\r\n\r\n", {"1", "2", "3", "4", "5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DayNotice n = composeDayNotice(today, birthdays, second, c.text);
        EXPECT_EQ(n.summary, "Tuesday 8 December 2026");
        std::vector<std::string> expected = {"Ann - Birthday", "Wedding day", "Caf\xC3\xA9 - Opening", "Feast"};
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        EXPECT_EQ(n.lines, expected);
    }
    // Nothing due and no text: nothing to tell.
    EXPECT_TRUE(composeDayNotice(dayNumber(2026, 12, 10), birthdays, second, std::nullopt).empty());
    EXPECT_TRUE(composeDayNotice(dayNumber(2026, 12, 10), birthdays, second, std::string("\r\n  \r\n")).empty());
    // 29 February only in leap years.
    const std::vector<YearlyRow> leap = {{"Leo", "Birthday", "2", "29"}};
    EXPECT_FALSE(composeDayNotice(dayNumber(2028, 2, 29), leap, {}, std::nullopt).empty());
    EXPECT_TRUE(composeDayNotice(dayNumber(2027, 2, 28), leap, {}, std::nullopt).empty());
}

TEST(NotificationLog, OnceADayPerCalendar) {
    IniFile ini;
    const int day = dayNumber(2026, 12, 8);
    EXPECT_TRUE(NotificationLog(ini).enabled());
    EXPECT_TRUE(NotificationLog(ini).due(day, "Ann"));

    NotificationLog::record(ini, day, "Ann");
    EXPECT_FALSE(NotificationLog(ini).due(day, "ANN"));  // the same calendar
    EXPECT_TRUE(NotificationLog(ini).due(day, "Annie"));
    NotificationLog::record(ini, day, "Annie");
    NotificationLog::record(ini, day, "ann");
    EXPECT_EQ(ini.readInteger("Notifications", "Last day", 0), day);
    EXPECT_EQ(ini.readString("Notifications", "Last calendars", ""), "Ann|Annie");
    EXPECT_FALSE(NotificationLog(ini).due(day, "Annie"));

    // A new day starts the list afresh.
    EXPECT_TRUE(NotificationLog(ini).due(day + 1, "Ann"));
    NotificationLog::record(ini, day + 1, "Annie");
    EXPECT_EQ(ini.readString("Notifications", "Last calendars", ""), "Annie");
    EXPECT_TRUE(NotificationLog(ini).due(day + 1, "Ann"));

    ini.writeInteger("Notifications", "Enabled", 0);
    EXPECT_FALSE(NotificationLog(ini).enabled());
    EXPECT_FALSE(NotificationLog(ini).due(day + 2, "Ann"));
}

}  // namespace
}  // namespace orv
