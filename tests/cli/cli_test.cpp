#include <gtest/gtest.h>

#include <filesystem>

#include "common/clock.h"
#include "common/day_number.h"
#include "support/cli_fixture.h"

namespace orv {
namespace {

class CliTest : public test::CliFixture {};

TEST_F(CliTest, SetShowAndClearOneDay) {
    EXPECT_EQ(run({"set", "2026-12-08", "Dentist 10am\\nBring the card"}).status, 0);
    const test::CliResult shown = run({"show", "2026-12-08"});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, "Dentist 10am\nBring the card\n");
    // Stored as one 1028-byte record with CR LF between the lines.
    const std::string file = dir.read("Data/User1.DBX");
    ASSERT_EQ(file.size(), 1028u);
    EXPECT_EQ(file.substr(8, 29), std::string("Dentist 10am\r\nBring the card\0", 29));

    EXPECT_EQ(run({"clear", "2026-12-08"}).status, 0);
    EXPECT_EQ(run({"show", "2026-12-08"}).out, "");
    EXPECT_FALSE(dir.exists("Data/User1.DBX"));  // flushed: the last day gone, the file with it
}

TEST_F(CliTest, SetReplacesAndEmptyTextDeletes) {
    run({"set", "2026-01-01", "first"});
    run({"set", "2026-01-02", "second"});
    run({"set", "2026-01-01", "changed"});
    EXPECT_EQ(dir.read("Data/User1.DBX").size(), 2 * 1028u);
    EXPECT_EQ(run({"show", "2026-01-01"}).out, "changed\n");
    EXPECT_EQ(run({"set", "2026-01-01", ""}).status, 0);
    EXPECT_EQ(dir.read("Data/User1.DBX").size(), 1028u);
    EXPECT_EQ(run({"show", "2026-01-02"}).out, "second\n");
}

TEST_F(CliTest, ShowRangeListsDaysWithRecordsIndented) {
    run({"set", "2026-03-02", "b"});
    run({"set", "2026-02-27", "a\\nline two"});
    run({"set", "2026-04-01", "outside"});
    const test::CliResult r = run({"show", "2026-02-27", "2026-03-31"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2026-02-27\n  a\n  line two\n2026-03-02\n  b\n");
}

TEST_F(CliTest, TodayIsAcceptedWhereverADateIs) {
    today = Clock(dayNumber(2026, 12, 8));
    run({"set", "today", "now"});
    EXPECT_EQ(run({"show", "2026-12-08"}).out, "now\n");
}

TEST_F(CliTest, CalendarsListAndSelection) {
    dir.write("CalUsers.DAT", "Ann\r\nBob Smith\r\n");
    dir.write("Orvella.INI", "[System]\r\nCurrent User=1\r\n");
    std::filesystem::create_directories(dir.file("Data"));
    EXPECT_EQ(run({"calendars"}).out, "  Ann\n* Bob Smith\n");
    EXPECT_EQ(run({"--calendar", "ann", "set", "2026-05-05", "hers"}).status, 0);
    EXPECT_TRUE(dir.exists("Data/Ann.DBX"));
    EXPECT_FALSE(dir.exists("Data/Bob Smith.DBX"));
    EXPECT_EQ(run({"show", "2026-05-05"}).out, "");
    EXPECT_EQ(run({"--calendar", "ANN", "show", "2026-05-05"}).out, "hers\n");
    const test::CliResult unknown = run({"--calendar", "Carol", "show", "2026-05-05"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("Carol"), std::string::npos);
}

TEST_F(CliTest, RefusalsLeaveTheFilesAsTheyWere) {
    run({"set", "2026-01-01", "keep me"});
    const std::string before = dir.read("Data/User1.DBX");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* inErr;
    };
    const Case cases[] = {
        {{"set", "2026-01-01", std::string(1001, 'x')}, 2, "1000"},
        {{"set", "2026-01-01", std::string(999, 'x') + "\\n"}, 2, "1000"},  // a line break counts two
        {{"set", "2026-01-01", "snow \xE2\x98"}, 2, "not valid UTF-8"},
        {{"set", "2026-02-30", "x"}, 2, "2026-02-30"},
        {{"set", "26-1-1", "x"}, 2, "26-1-1"},
        {{"show"}, 1, "usage"},
        {{"frobnicate"}, 1, "unknown command"},
        {{"set", "2026-01-01"}, 1, "usage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
        const test::CliResult r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
        EXPECT_EQ(dir.read("Data/User1.DBX"), before);
    }
    EXPECT_EQ(run({"set", "2026-01-01", std::string(998, 'x') + "\\n"}).status, 0);  // exactly 1000
}

TEST_F(CliTest, Windows1252TextRoundTrips) {
    EXPECT_EQ(run({"set", "2026-06-01", "Caf\u00e9 \u00abnote\u00bb \u20ac5"}).status, 0);
    EXPECT_EQ(run({"show", "2026-06-01"}).out, "Caf\u00e9 \u00abnote\u00bb \u20ac5\n");
    const std::string file = dir.read("Data/User1.DBX");
    EXPECT_EQ(file.substr(8, 13), "Caf\xe9 \xabnote\xbb \x80");
}

}  // namespace
}  // namespace orv
