#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "common/grid_text.h"
#include "events/birthday_list.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

using B = BirthdayList;

struct RowText {
    const char* name;
    const char* event;
    const char* month;
    const char* day;
    const char* card = "";
    const char* gift = "";
};

BirthdayList listOf(std::initializer_list<RowText> rows) {
    BirthdayList list;
    int r = 0;
    for (const RowText& row : rows) {
        if (++r > 1) list.appendRow();
        list.setCell(B::colName, r, row.name);
        list.setCell(B::colEvent, r, row.event);
        list.setCell(B::colMonth, r, row.month);
        list.setCell(B::colDay, r, row.day);
        list.setCell(B::colCard, r, row.card);
        list.setCell(B::colGift, r, row.gift);
    }
    return list;
}

std::vector<std::string> column(const BirthdayList& list, int c) {
    std::vector<std::string> out;
    for (int r = 1; r <= list.rowCount(); ++r) out.push_back(list.cell(c, r));
    return out;
}

TEST(WholeNumber, Conversion) {
    EXPECT_EQ(parseWholeNumber("8"), 8);
    EXPECT_EQ(parseWholeNumber("  14"), 14);
    EXPECT_EQ(parseWholeNumber("-3"), -3);
    EXPECT_EQ(parseWholeNumber("+7"), 7);
    EXPECT_EQ(parseWholeNumber("2147483647"), 2147483647);
    EXPECT_EQ(parseWholeNumber("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", " ", "8a", "a8", "8 ", "1.5", "+", "-", "2147483648", "99999999999999999999"})
        EXPECT_EQ(parseWholeNumber(bad), std::nullopt) << bad;
}

TEST(BirthdayList, StartsWithOneBlankRowAndNumbersRows) {
    BirthdayList list;
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.cell(B::colNo, 1), "1");
    EXPECT_FALSE(list.hasCompleteRow());
    list.appendRow();
    EXPECT_EQ(list.cell(B::colNo, 2), "2");
    EXPECT_EQ(list.width(0), 35);
    EXPECT_EQ(list.width(6), 40);
}

TEST(BirthdayList, CheckBoxesFollowTheCellText) {
    BirthdayList list = listOf({{"Ann", "Birthday", "8", "14", "", "x"}});
    EXPECT_FALSE(list.isChecked(B::colCard, 1));
    list.toggleCheck(B::colCard, 1);
    EXPECT_EQ(list.cell(B::colCard, 1), "Y");
    list.toggleCheck(B::colCard, 1);
    EXPECT_EQ(list.cell(B::colCard, 1), "N");
    list.toggleCheck(B::colGift, 1);  // any text other than "Y" becomes "Y"
    EXPECT_EQ(list.cell(B::colGift, 1), "Y");
    list.toggleCheck(B::colName, 1);  // not a check box
    EXPECT_EQ(list.cell(B::colName, 1), "Ann");
    list.clearAllChecks();
    EXPECT_EQ(list.cell(B::colCard, 1), "N");
    EXPECT_EQ(list.cell(B::colGift, 1), "N");
}

TEST(BirthdayList, CellsStaySingleLine) {
    BirthdayList list;
    list.setCell(B::colName, 1, "a\r\nb\tc\bd");
    EXPECT_EQ(list.cell(B::colName, 1), "a  b c d");
}

TEST(BirthdayList, PurgeRules) {
    // Only row without a month: cleared, not removed.
    BirthdayList only = listOf({{"Ann", "Birthday", "", "14", "Y", "Y"}});
    only.purgeIncomplete();
    ASSERT_EQ(only.rowCount(), 1);
    for (int c = B::colName; c <= B::colGift; ++c) EXPECT_EQ(only.cell(c, 1), "");

    // First row incomplete, second complete: the second becomes row 1.
    BirthdayList two = listOf({{"Ann", "Birthday", "8", ""}, {"Bob", "Wedding", "6", "1"}});
    two.purgeIncomplete();
    ASSERT_EQ(two.rowCount(), 1);
    EXPECT_EQ(two.cell(B::colName, 1), "Bob");

    // Several incomplete around complete ones.
    BirthdayList mixed = listOf({{"a", "", "", ""}, {"b", "", "1", "1"}, {"c", "", "2", ""}, {"d", "", "3", "3"}});
    mixed.purgeIncomplete();
    EXPECT_EQ(column(mixed, B::colName), (std::vector<std::string>{"b", "d"}));
}

TEST(BirthdayList, RemoveAndInsertRows) {
    BirthdayList list = listOf({{"a", "", "1", "1"}, {"b", "", "2", "2"}});
    list.insertRow(2);
    EXPECT_EQ(column(list, B::colName), (std::vector<std::string>{"a", "", "b"}));
    list.removeRow(1);
    EXPECT_EQ(column(list, B::colName), (std::vector<std::string>{"", "b"}));
    list.removeRow(2);
    list.removeRow(1);  // the last row is cleared instead
    EXPECT_EQ(list.rowCount(), 1);
    list.insertRow(99);
    EXPECT_EQ(list.rowCount(), 2);
}

TEST(BirthdayList, SortingByEachColumnWithTiesAndDirection) {
    const auto make = [] {
        return listOf({{"bob", "Birthday", "10", "2"},
                       {"Zed", "Wedding", "2", "10"},
                       {"ann", "Birthday", "2", "3"},
                       {"Bob", "Anniversary", "2", "3"}});
    };
    BirthdayList list = make();
    EXPECT_FALSE(list.canSort(0));
    EXPECT_FALSE(list.canSort(5));
    ASSERT_TRUE(list.sortBy(B::colName));  // character codes: capitals first
    EXPECT_EQ(column(list, B::colName), (std::vector<std::string>{"Bob", "Zed", "ann", "bob"}));
    ASSERT_TRUE(list.sortBy(B::colName));  // same column again: reversed
    EXPECT_FALSE(list.sortAscending());
    EXPECT_EQ(column(list, B::colName), (std::vector<std::string>{"bob", "ann", "Zed", "Bob"}));

    list = make();
    ASSERT_TRUE(list.sortBy(B::colMonth));  // numbers, not text: 2 before 10; ties by Day, then Card ...
    EXPECT_EQ(column(list, B::colName), (std::vector<std::string>{"ann", "Bob", "Zed", "bob"}));
    ASSERT_TRUE(list.sortBy(B::colEvent));  // another column: ascending again; ties by Month, Day
    EXPECT_TRUE(list.sortAscending());
    EXPECT_EQ(column(list, B::colName), (std::vector<std::string>{"Bob", "ann", "bob", "Zed"}));

    list = make();
    ASSERT_TRUE(list.sortBy(B::colDay));
    EXPECT_EQ(column(list, B::colDay), (std::vector<std::string>{"2", "3", "3", "10"}));
    ASSERT_TRUE(list.sortBy(B::colDay));
    EXPECT_EQ(column(list, B::colDay), (std::vector<std::string>{"10", "3", "3", "2"}));
}

TEST(BirthdayList, SortingTiesUseColumnsToTheRightThroughTheCheckBoxes) {
    BirthdayList list =
        listOf({{"x", "e", "1", "1", "Y", ""}, {"x", "e", "1", "1", "N", ""}, {"x", "e", "1", "1", "", "Y"}});
    ASSERT_TRUE(list.sortBy(B::colName));
    EXPECT_EQ(column(list, B::colCard), (std::vector<std::string>{"", "N", "Y"}));
}

TEST(BirthdayList, SortingPurgesFirstAndNeedsTwoRows) {
    BirthdayList list = listOf({{"b", "", "2", "2"}, {"a", "", "", ""}});
    ASSERT_TRUE(list.sortBy(B::colName));
    EXPECT_EQ(column(list, B::colName), (std::vector<std::string>{"b"}));
    EXPECT_FALSE(list.sortBy(B::colName));  // one row left
}

TEST(BirthdayList, NonNumbersSortAfterNumbers) {
    BirthdayList list = listOf({{"a", "", "x", "1"}, {"b", "", "12", "1"}, {"c", "", "3", "1"}});
    ASSERT_TRUE(list.sortBy(B::colMonth));
    EXPECT_EQ(column(list, B::colMonth), (std::vector<std::string>{"3", "12", "x"}));
}

TEST(BirthdayList, EntryLine) {
    BirthdayList list = listOf({{"Ann", "Birthday", "8", "14"}, {"", "Party", "1", "1"}});
    EXPECT_EQ(list.entryLine(1), "<Ann Birthday>\r\n");
    EXPECT_EQ(list.entryLine(2), "< Party>\r\n");
}

TEST(BirthdayList, WidthsAreBounded) {
    BirthdayList list;
    list.setWidth(1, 200);
    list.setWidth(2, 0);
    list.setWidth(3, 5000);
    list.setWidth(7, 10);
    EXPECT_EQ(list.width(1), 200);
    EXPECT_EQ(list.width(2), 153);
    EXPECT_EQ(list.width(3), 42);
}

class EventsFile : public testing::Test {
protected:
    test::TempDir dir;
    std::string path = dir.file("Events.dat");
};

TEST_F(EventsFile, RoundTripKeepsCellsWidthsAndChecksAndNeverWritesTheBlankRow) {
    BirthdayList list =
        listOf({{"Smith, John", "Birthday", "8", "14", "Y", "N"}, {"Ann", "Wedding, 10 years", "12", "31", "", "Y"}});
    list.setWidth(1, 201);
    list.setWidth(6, 45);
    list.appendRow();  // the blank row a user leaves at the end
    list.SaveEventsFile(path);
    EXPECT_EQ(dir.read("Events.dat"),
              "6,2\r\ncw 0,35\r\ncw 1,201\r\ncw 2,153\r\ncw 3,42\r\ncw 4,34\r\ncw 5,32\r\ncw 6,45\r\n"
              "1,1,Smith, John\r\n2,1,Birthday\r\n3,1,8\r\n4,1,14\r\n5,1,Y\r\n6,1,N\r\n"
              "1,2,Ann\r\n2,2,Wedding, 10 years\r\n3,2,12\r\n4,2,31\r\n6,2,Y\r\n");

    BirthdayList back;
    EXPECT_EQ(back.LoadEventsFile(path), std::nullopt);
    ASSERT_EQ(back.rowCount(), 3);  // plus the blank row added after loading
    for (int r = 1; r <= 2; ++r)
        for (int c = B::colName; c <= B::colGift; ++c) EXPECT_EQ(back.cell(c, r), list.cell(c, r)) << c << "," << r;
    EXPECT_TRUE(back.isChecked(B::colCard, 1));
    EXPECT_TRUE(back.isChecked(B::colGift, 2));
    EXPECT_FALSE(back.isComplete(3));
    for (int c = 0; c < B::kColumnCount; ++c) EXPECT_EQ(back.width(c), list.width(c));

    // Saving what was loaded gives the same file again.
    const std::string first = dir.read("Events.dat");
    back.SaveEventsFile(path);
    EXPECT_EQ(dir.read("Events.dat"), first);
}

TEST_F(EventsFile, OnlyRowWithoutMonthDeletesTheFile) {
    dir.write("Events.dat", "old");
    BirthdayList list = listOf({{"Ann", "Birthday", "", "14"}});
    list.SaveEventsFile(path);
    EXPECT_FALSE(dir.exists("Events.dat"));
    list.SaveEventsFile(path);  // a missing file is no error
    BirthdayList next;
    EXPECT_EQ(next.LoadEventsFile(path), std::nullopt);
    EXPECT_EQ(next.rowCount(), 1);
    EXPECT_FALSE(next.hasCompleteRow());
}

TEST_F(EventsFile, FirstRowIncompleteSecondComplete) {
    BirthdayList list = listOf({{"Ann", "Birthday", "8", ""}, {"Bob", "Birthday", "3", "2"}});
    list.SaveEventsFile(path);
    const std::string bytes = dir.read("Events.dat");
    EXPECT_EQ(bytes.substr(0, 5), "6,1\r\n");
    EXPECT_NE(bytes.find("1,1,Bob\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("Ann"), std::string::npos);
}

TEST_F(EventsFile, ReadTextEndsAtTheFirstLineBreak) {
    dir.write("Events.dat", "6,1\r\n1,1,first\tsecond\r\n2,1,a\bb\r\n3,1,1\r\n4,1,2\r\n");
    BirthdayList list;
    EXPECT_EQ(list.LoadEventsFile(path), std::nullopt);
    EXPECT_EQ(list.cell(B::colName, 1), "first");
    EXPECT_EQ(list.cell(B::colEvent, 1), "a");
}

TEST_F(EventsFile, MissingFileIsAnEmptyListWithoutMessage) {
    BirthdayList list = listOf({{"x", "", "1", "1"}});
    EXPECT_EQ(list.LoadEventsFile(path), std::nullopt);
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_FALSE(list.hasCompleteRow());
}

TEST_F(EventsFile, CorruptFilesAreReportedAndKeepWhatWasRead) {
    struct Case {
        const char* bytes;
        int rows;  // data rows after loading, blank row included
    };
    for (const Case& c : {Case{"", 1}, Case{"garbage\r\n1,1,Ann\r\n", 1},
                          Case{"6,900000000\r\n1,1,Ann\r\n3,1,8\r\n4,1,14\r\n", 2}, Case{"999,1\r\n1,1,Ann\r\n", 2}}) {
        dir.write("Events.dat", c.bytes);
        BirthdayList list;
        EXPECT_EQ(list.LoadEventsFile(path), "File contains no data or corrupt file " + path) << c.bytes;
        EXPECT_EQ(list.rowCount(), c.rows) << c.bytes;
    }
    BirthdayList list;
    dir.write("Events.dat", "6,900000000\r\n1,1,Ann\r\n3,1,8\r\n4,1,14\r\n");
    list.LoadEventsFile(path);
    EXPECT_EQ(list.cell(B::colName, 1), "Ann");
    EXPECT_TRUE(list.isComplete(1));
}

TEST_F(EventsFile, UnreadableFileGivesNotFound) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads everything";
    dir.write("Events.dat", "6,1\r\n");
    ::chmod(path.c_str(), 0);
    BirthdayList list;
    EXPECT_EQ(list.LoadEventsFile(path), "File " + path + " not found");
    EXPECT_EQ(list.rowCount(), 1);
}

TEST_F(EventsFile, DeclaredRowsWithoutCellsBecomeBlankRows) {
    dir.write("Events.dat", "6,3\r\n1,1,a\r\n3,1,1\r\n4,1,1\r\n");
    BirthdayList list;
    EXPECT_EQ(list.LoadEventsFile(path), std::nullopt);
    EXPECT_EQ(list.rowCount(), 4);
    list.SaveEventsFile(path);
    EXPECT_EQ(dir.read("Events.dat").substr(0, 5), "6,1\r\n");
}

TEST_F(EventsFile, WriteFailureIsRaised) {
    BirthdayList list = listOf({{"a", "", "1", "1"}});
    EXPECT_ANY_THROW(list.SaveEventsFile(dir.file("no/such/folder/Events.dat")));
}

}  // namespace
}  // namespace orv
