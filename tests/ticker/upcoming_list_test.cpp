#include "ticker/upcoming_list.h"

#include <gtest/gtest.h>

#include "common/day_number.h"
#include "events/birthday_list.h"
#include "support/temp_dir.h"
#include "ticker/second_list.h"

namespace orv {
namespace {

using Rows = std::vector<YearlyRow>;
using Texts = std::vector<std::string>;

int day(int y, int m, int d) { return dayNumber(y, m, d); }

TEST(NextDate, ThisYearOrNext) {
    struct Case {
        const char* month;
        const char* day;
        int today;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {"6", "15", day(2023, 6, 15), day(2023, 6, 15)},  // today
        {"6", "14", day(2023, 6, 15), day(2024, 6, 14)},  // yesterday: next year
        {"1", "2", day(2023, 12, 30), day(2024, 1, 2)},
        {" 3", "+7", day(2023, 1, 1), day(2023, 3, 7)},  // leading blank and sign, as whole numbers go
        {"2", "29", day(2024, 1, 1), day(2024, 2, 29)},
        {"2", "29", day(2024, 2, 29), day(2024, 2, 29)},
        {"2", "29", day(2024, 3, 1), std::nullopt},   // 2025 has none
        {"2", "29", day(2023, 2, 25), std::nullopt},  // 2023 has none
        {"13", "1", day(2023, 1, 1), std::nullopt},
        {"0", "1", day(2023, 1, 1), std::nullopt},
        {"4", "31", day(2023, 1, 1), std::nullopt},
        {"8a", "14", day(2023, 1, 1), std::nullopt},
        {"8", "", day(2023, 1, 1), std::nullopt},
        {"8", "14 ", day(2023, 1, 1), std::nullopt},  // nothing may follow the digits
        {"99999999999", "1", day(2023, 1, 1), std::nullopt},
        {"12", "25", day(9999, 12, 26), std::nullopt},  // no year after 9999
    };
    for (const Case& c : cases)
        EXPECT_EQ(nextDate(c.month, c.day, c.today), c.expected) << c.month << "/" << c.day << " from " << c.today;
}

TEST(BuildTicker, ListsTodayToSevenDaysAheadInDateOrder) {
    const int today = day(2023, 6, 10);  // a Saturday
    const Rows birthdays = {
        {"Eight", "Birthday", "6", "18"},
        {"Seven", "Birthday", "6", "17"},
        {"Today", "Birthday", "6", "10"},
        {"Yesterday", "Birthday", "6", "9"},
        {"", "Anniversary", "6", "12"},
        {"Broken", "Birthday", "6", "x"},
        {"", "", "", ""},
    };
    EXPECT_EQ(BuildTicker(birthdays, {}, today), (Texts{
                                                     "Today - Birthday on Sat, 10 Jun 2023",
                                                     "Anniversary on Mon, 12 Jun 2023",
                                                     "Seven - Birthday on Sat, 17 Jun 2023",
                                                 }));
}

TEST(BuildTicker, TheSecondListShowsNoNamesAndADateOnlyWithOne) {
    const int today = day(2023, 6, 10);
    const Rows second = {
        {"x", "Summer fair", "6", "11"},
        {"", "Fathers' Day", "6", "11"},
        {"", "Far away", "7", "1"},
    };
    EXPECT_EQ(BuildTicker({}, second, today), (Texts{"Fathers' Day", "Summer fair on Sun, 11 Jun 2023"}));
}

TEST(BuildTicker, SameDayItemsAreAlphabeticalIgnoringCaseAcrossBothLists) {
    const int today = day(2023, 6, 10);
    const Rows birthdays = {{"zed", "Birthday", "6", "11"}, {"Anna", "Birthday", "6", "11"}};
    const Rows second = {{"", "bank holiday", "6", "11"}, {"", "Concert", "6", "10"}};
    EXPECT_EQ(BuildTicker(birthdays, second, today), (Texts{
                                                         "Concert",
                                                         "Anna - Birthday on Sun, 11 Jun 2023",
                                                         "bank holiday",
                                                         "zed - Birthday on Sun, 11 Jun 2023",
                                                     }));
}

TEST(BuildTicker, TurnOfTheYearAndLeapDays) {
    const Rows rows = {{"New", "Birthday", "1", "2"}, {"Leap", "Birthday", "2", "29"}};
    EXPECT_EQ(BuildTicker(rows, {}, day(2023, 12, 30)), (Texts{"New - Birthday on Tue, 2 Jan 2024"}));
    EXPECT_EQ(BuildTicker(rows, {}, day(2024, 2, 23)), (Texts{"Leap - Birthday on Thu, 29 Feb 2024"}));
    EXPECT_EQ(BuildTicker(rows, {}, day(2024, 2, 29)), (Texts{"Leap - Birthday on Thu, 29 Feb 2024"}));
    EXPECT_EQ(BuildTicker(rows, {}, day(2024, 3, 1)), Texts{});
    EXPECT_EQ(BuildTicker(rows, {}, day(2023, 2, 23)), Texts{});
}

TEST(BuildTicker, UsesTheGivenNamesAndLookAhead) {
    DateNames names = englishDateNames();
    names.shortDays[0] = "So";
    names.shortMonths[5] = "Juni";
    const Rows rows = {{"A", "B", "6", "11"}, {"C", "D", "6", "13"}};
    EXPECT_EQ(BuildTicker(rows, {}, day(2023, 6, 10), names, 1), (Texts{"A - B on So, 11 Juni 2023"}));
}

TEST(SecondList, ReadsTheFileLikeTheEventsFile) {
    test::TempDir dir;
    EXPECT_TRUE(LoadSecondList(dir.file("VEvents.dat")).rows.empty());
    EXPECT_FALSE(LoadSecondList(dir.file("VEvents.dat")).failure);

    dir.write("VEvents.dat",
              "6,3\r\ncw 0,35\r\ncw 1,156\r\n2,1,Summer fair\r\n3,1,6\r\n4,1,11\r\n"
              "1,2,Someone, with a comma\r\n2,2,Party\tlate\r\n3,2,6\r\n4,2,12\r\n"
              "junk line\r\n9,9,outside\r\n2,3,No date\r\n");
    const SecondList list = LoadSecondList(dir.file("VEvents.dat"));
    EXPECT_FALSE(list.failure);
    const Texts texts = BuildTicker({}, list.rows, day(2023, 6, 10));
    EXPECT_EQ(texts, (Texts{"Summer fair", "Party on Mon, 12 Jun 2023"}));
}

TEST(SecondList, AbsurdSizesAndJunkKeepWhatCanBeRead) {
    test::TempDir dir;
    dir.write("VEvents.dat", "999999999,999999999\r\n2,1,Fair\r\n3,1,6\r\n4,1,11\r\n\x01\x02\xff\r\n");
    const SecondList big = LoadSecondList(dir.file("VEvents.dat"));
    EXPECT_TRUE(big.failure);
    EXPECT_EQ(BuildTicker({}, big.rows, day(2023, 6, 10)), (Texts{"Fair"}));

    dir.write("VEvents.dat", "");
    const SecondList empty = LoadSecondList(dir.file("VEvents.dat"));
    EXPECT_TRUE(empty.failure);
    EXPECT_EQ(BuildTicker({}, empty.rows, day(2023, 6, 10)), Texts{});

    dir.write("VEvents.dat", std::string("\0\0\0garbage", 10));
    EXPECT_EQ(BuildTicker({}, LoadSecondList(dir.file("VEvents.dat")).rows, day(2023, 6, 10)), Texts{});
}

TEST(SecondList, BirthdayListRowsComeOverWhole) {
    BirthdayList list;
    list.setCell(BirthdayList::colName, 1, "Ann");
    list.setCell(BirthdayList::colEvent, 1, "Birthday");
    list.setCell(BirthdayList::colMonth, 1, "6");
    list.setCell(BirthdayList::colDay, 1, "12");
    list.appendRow();
    const auto rows = yearlyRows(list);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(BuildTicker(rows, {}, day(2023, 6, 10)), (Texts{"Ann - Birthday on Mon, 12 Jun 2023"}));
}

}  // namespace
}  // namespace orv
