#include "desk/entry_removal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "cli/cli.h"
#include "common/day_number.h"
#include "store/cal_db.h"
#include "store/calendar_list.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

using test::TempDir;

TEST(EntryMarker, FromSelection) {
    struct Case {
        std::string selection;
        std::optional<std::string> marker;
    };
    const Case cases[] = {
        {"", std::nullopt},     {"Gym>", std::nullopt},
        {"<Gym", std::nullopt}, {" <Gym>", std::nullopt},
        {"<Gym>", "<Gym>"},     {"<Gym>\r\nDent", "<Gym>"},  // part of the next line selected too
        {"<a>b>", "<a>"},       {"<>", "<>"},
    };
    for (const auto& c : cases) EXPECT_EQ(entryMarkerOf(c.selection), c.marker) << c.selection;
}

TEST(EntryMarker, RemovalFromOneText) {
    struct Case {
        std::string text;
        std::optional<std::string> result;
    };
    const Case cases[] = {
        {"<Gym>\r\nDentist", "Dentist"},
        {"Dentist\r\n<Gym>\r\n", "Dentist\r\n"},
        {"Dentist\r\n<Gym>", "Dentist\r\n"},  // at the end: nothing more to take
        {"<Gym>\r\n<Gym>\r\n", "<Gym>\r\n"},  // the first occurrence only
        {"<Gym>\nx", "x"},                    // a lone line feed is the line break
        {"see <Gym> later", "see  later"},    // text after the marker is the user's own
        {"<Gym>", ""},
        {"<Gymnastics>\r\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(withoutEntry(c.text, "<Gym>"), c.result) << c.text;
}

class EntryRemovalTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.Names = {"Test"};
        list.DataFolder = dir.path();
        store.setCalendars(&list);
        store.OpenCurrentCalendar();
    }

    void put(int day, const std::string& text) {
        store.CurrentRecord.clear();
        store.CurrentRecord.Date = day;
        store.CurrentRecord.setText(text);
        store.AppendDay();
    }
    std::optional<std::string> textOf(int day) {
        if (!store.FetchDay(day)) return std::nullopt;
        return store.CurrentRecord.text();
    }
    std::vector<int> remove(int start, const std::string& marker) {
        store.FlushCurrentCalendar();
        store.OpenCurrentCalendar();
        auto changed = removeEntryLines(store, start, marker);
        store.FlushCurrentCalendar();
        store.OpenCurrentCalendar();
        return changed;
    }

    TempDir dir;
    CalendarList list;
    CalDb store;
    const int d1 = dayNumber(2026, 3, 2);
};

TEST_F(EntryRemovalTest, FromTheStartDayOnOnly) {
    put(d1 - 7, "<Gym>\r\n");             // before the start: untouched
    put(d1, "Doctor 10am\r\n<Gym>\r\n");  // the start day itself
    put(d1 + 7, "<Gym>\r\n");             // emptied: deleted
    put(d1 + 14, "<Gym>\r\nCall Ann\r\n<Gym>\r\n");
    put(d1 + 21, "Swim\r\n");  // without the marker
    const std::string before = dir.read("Test.DBX");

    EXPECT_EQ(remove(d1, "<Gym>"), (std::vector<int>{d1, d1 + 7, d1 + 14}));

    EXPECT_EQ(textOf(d1 - 7), "<Gym>\r\n");
    EXPECT_EQ(textOf(d1), "Doctor 10am\r\n");
    EXPECT_EQ(textOf(d1 + 7), std::nullopt);
    EXPECT_EQ(textOf(d1 + 14), "Call Ann\r\n<Gym>\r\n");
    EXPECT_EQ(textOf(d1 + 21), "Swim\r\n");
    // The emptied day is gone from the file; the others keep their order.
    const std::string after = dir.read("Test.DBX");
    ASSERT_EQ(after.size(), 4u * kRecordSize);
    EXPECT_EQ(after.substr(0, kRecordSize), before.substr(0, kRecordSize));
    EXPECT_EQ(after.substr(3 * kRecordSize), before.substr(4 * kRecordSize));
}

TEST_F(EntryRemovalTest, AllDaysEmptiedDeletesTheFile) {
    put(d1, "<Gym>\r\n");
    put(d1 + 1, "<Gym>");
    EXPECT_EQ(remove(d1, "<Gym>").size(), 2u);
    EXPECT_FALSE(dir.exists("Test.DBX"));
}

TEST_F(EntryRemovalTest, NothingToRemoveLeavesTheFileAlone) {
    put(d1, "Doctor\r\n");
    const std::string before = dir.read("Test.DBX");
    EXPECT_TRUE(remove(d1, "<Gym>").empty());
    EXPECT_EQ(dir.read("Test.DBX"), before);
}

TEST_F(EntryRemovalTest, ADayStoredTwiceKeepsEachRecordsOwnText) {
    put(d1, "A\r\n<Gym>\r\n");
    put(d1 + 1, "x");
    // A second record of the same day, as an old file may hold.
    ReminderRecord twin;
    twin.Date = d1;
    twin.setText("B\r\n<Gym>\r\n");
    const auto bytes = twin.toBytes();
    dir.write("Test.DBX", dir.read("Test.DBX") + std::string(bytes.data(), bytes.size()));
    store.OpenCurrentCalendar();

    EXPECT_EQ(remove(d1, "<Gym>").size(), 2u);
    const std::string file = dir.read("Test.DBX");
    ASSERT_EQ(file.size(), 3u * kRecordSize);
    EXPECT_EQ(ReminderRecord::fromBytes(file.data()).text(), "A\r\n");
    EXPECT_EQ(ReminderRecord::fromBytes(file.data() + 2 * kRecordSize).text(), "B\r\n");
}

TEST_F(EntryRemovalTest, DeletedDaysWaitingForTheFlushAreNotRevived) {
    put(d1, "<Gym>\r\nKeep");
    put(d1 + 1, "<Gym>\r\n");
    ASSERT_TRUE(store.FindDay(d1));
    store.DeleteCurrentDay();
    const auto changed = removeEntryLines(store, d1, "<Gym>");
    EXPECT_EQ(changed, std::vector<int>{d1 + 1});
    store.FlushCurrentCalendar();
    store.OpenCurrentCalendar();
    EXPECT_FALSE(store.FindDay(d1));
    EXPECT_FALSE(store.FindDay(d1 + 1));
}

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun cli(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", dir.path()});
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(UnrepeatCommand, RemovesFromTheDateOnAndPrintsTheChangedDays) {
    TempDir dir;
    ASSERT_EQ(cli(dir, {"set", "2026-03-01", "<Gym>\\nA"}).status, 0);
    ASSERT_EQ(cli(dir, {"set", "2026-03-09", "B\\n<Gym>\\n"}).status, 0);
    ASSERT_EQ(cli(dir, {"set", "2026-03-02", "<Gym>\\n"}).status, 0);
    ASSERT_EQ(cli(dir, {"set", "2026-03-05", "<Gym class>\\n"}).status, 0);

    const CliRun run = cli(dir, {"unrepeat", "Gym", "--from", "2026-03-02"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2026-03-02\n2026-03-09\n");
    EXPECT_EQ(cli(dir, {"show", "2026-03-01"}).out, "<Gym>\nA\n");
    EXPECT_EQ(cli(dir, {"show", "2026-03-02"}).out, "");
    EXPECT_EQ(cli(dir, {"show", "2026-03-05"}).out, "<Gym class>\n");
    EXPECT_EQ(cli(dir, {"show", "2026-03-09"}).out, "B\n");
    // Flushed: the emptied day no longer has a record.
    EXPECT_EQ(dir.read("Data/User1.DBX").size(), 3u * kRecordSize);
}

TEST(UnrepeatCommand, BadArguments) {
    TempDir dir;
    EXPECT_EQ(cli(dir, {"unrepeat", "Gym"}).status, 1);
    EXPECT_EQ(cli(dir, {"unrepeat", "Gym", "--to", "2026-03-02"}).status, 1);
    EXPECT_EQ(cli(dir, {"unrepeat", "Gym", "--from", "2026-02-30"}).status, 2);
    EXPECT_EQ(cli(dir, {"unrepeat", "\xCE", "--from", "2026-02-03"}).status, 2);  // not UTF-8
}

}  // namespace
}  // namespace orv
