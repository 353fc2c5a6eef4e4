// A full calendar gives up its oldest days to an archive beside it, says so, and loses nothing; commands
// that only read leave it alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/io_error.h"
#include "store/cal_db.h"
#include "support/cli_fixture.h"
#include "support/folder_state.h"
#include "support/store_days.h"

namespace orv {
namespace {

using test::record;

// Days first .. first + count - 1 in a shuffled order, each with a text naming it.
std::vector<int> shuffledDays(int first, int count) {
    std::vector<int> days(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) days[static_cast<size_t>(i)] = first + i;
    std::shuffle(days.begin(), days.end(), std::mt19937(7));
    return days;
}

std::string fileOf(const std::vector<int>& days) {
    std::string out;
    out.reserve(days.size() * kRecordSize);
    for (const int d : days) out += record(d, "d" + std::to_string(d));
    return out;
}

class Purge : public test::CliFixture {
protected:
    std::string calendar() const { return dir.file("Data/User1.DBX"); }
    std::string archive() const { return dir.file("Data/User1.purged"); }
};

TEST_F(Purge, LoadingMovesTheOldestDaysToTheArchiveAndSaysHowMany) {
    struct Case {
        int records;
        int moved;
    };
    for (const Case c : {Case{9999, 0}, Case{10000, 500}, Case{10600, 1000}, Case{30000, 20500}}) {
        SCOPED_TRACE(c.records);
        const int first = 40000;
        const std::vector<int> days = shuffledDays(first, c.records);
        dir.write("Data/User1.DBX", fileOf(days));
        ::unlink(archive().c_str());

        CalDb db;
        std::vector<std::pair<int, std::string>> told;
        db.onPurged = [&](int n, const std::string& where) { told.emplace_back(n, where); };
        db.LoadStore(calendar());

        EXPECT_EQ(db.LoadedCount, c.records - c.moved);
        std::vector<int> kept, moved;
        for (const int d : days) (d < first + c.moved ? moved : kept).push_back(d);
        EXPECT_EQ(dir.read("Data/User1.DBX"), fileOf(kept));
        EXPECT_EQ(dir.read("Data/User1.purged"), fileOf(moved));  // in their old order
        if (c.moved == 0) {
            EXPECT_TRUE(told.empty());
            EXPECT_FALSE(dir.exists("Data/User1.purged"));
        } else {
            EXPECT_EQ(told, (std::vector<std::pair<int, std::string>>{{c.moved, archive()}}));
        }
    }
}

TEST_F(Purge, RecordsWithoutTextAreNoDaysAndAnArchiveGrowsWhole) {
    std::string bytes = record(30000, "");  // the oldest, without text: no day, dropped with the purge
    for (int i = 0; i < kPurgeThreshold - 1; ++i) bytes += record(40000 + i, "x");
    dir.write("Data/User1.DBX", bytes);
    const std::string earlier = record(20000, "moved before");
    dir.write("Data/User1.purged", earlier.substr(0, 700));  // cut short, as by a copy

    CalDb db;
    int told = 0;
    db.onPurged = [&](int n, const std::string&) { told = n; };
    db.LoadStore(calendar());
    EXPECT_EQ(told, 500);
    EXPECT_EQ(db.LoadedCount, 9499);
    const std::string kept = dir.read("Data/User1.purged");
    ASSERT_EQ(kept.size(), 501u * kRecordSize);
    EXPECT_EQ(kept.substr(0, kRecordSize), earlier.substr(0, 700) + std::string(kRecordSize - 700, '\0'));
    EXPECT_EQ(kept.substr(kRecordSize, kRecordSize), record(40000, "x"));
}

TEST_F(Purge, ReadingNeverMovesAnything) {
    const std::string full = fileOf(shuffledDays(40000, kPurgeThreshold + 20));
    dir.write("Data/User1.DBX", full);
    dir.write("CalUsers.DAT", "User1\r\n");
    const test::FolderSnapshot before = test::snapshotOf(dir.path());

    CalDb db;
    db.readOnly = true;
    db.LoadStore(calendar());
    EXPECT_EQ(db.LoadedCount, kPurgeThreshold + 20);
    EXPECT_TRUE(db.FetchDay(40000));
    EXPECT_THROW(db.StoreDay(), std::logic_error);

    test::TempDir elsewhere;
    elsewhere.write("in.ics",
                    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:"
                    "20260101\r\nSUMMARY:Swim\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show", "1999-01-01", "2000-12-31"},
          {"calendars"},
          {"search", "d4"},
          {"search", "d4", "--all"},
          {"upcoming"},
          {"export", elsewhere.file("out.ics")},
          {"import", elsewhere.file("in.ics"), "--from", "2026-01-01", "--to", "2026-12-31", "--dry-run"},
          {"repeat", "x", "--from", "2026-01-01", "--days", "300", "--dry-run"},
          {"birthdays", "2026", "--dry-run"}}) {
        SCOPED_TRACE(args[0]);
        const test::CliResult r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err.find("moved"), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::snapshotOf(dir.path()), before);
    EXPECT_EQ(run({"calendars"}).out, "* User1\n");  // the archive is no calendar
}

TEST_F(Purge, AWritingCommandMovesTheDaysAndSaysWhere) {
    dir.write("Data/User1.DBX", fileOf(shuffledDays(40000, kPurgeThreshold)));
    const test::CliResult r = run({"set", "2040-01-01", "new"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "orvella-cli: " + purgeMessage(500, archive()) + "\n");
    EXPECT_NE(r.err.find("500 oldest days"), std::string::npos);
    EXPECT_EQ(dir.read("Data/User1.purged").size(), 500u * kRecordSize);
    EXPECT_EQ(dir.read("Data/User1.DBX").size(), 9501u * kRecordSize);
    EXPECT_EQ(run({"calendars"}).out, "* User1\n");
}

}  // namespace
}  // namespace orv
