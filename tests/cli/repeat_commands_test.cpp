#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/day_number.h"
#include "support/cli_fixture.h"

namespace orv {
namespace {

class RepeatCli : public test::CliFixture {
protected:
    void SetUp() override { today = Clock(dayNumber(2024, 1, 10)); }
};

TEST_F(RepeatCli, MonthlyFromThe31stPrintsAndStamps) {
    const test::CliResult r = run({"repeat", "Rent", "--from", "2023-01-31", "--months", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "2023-01-31\n2023-02-28\n2023-03-31\n2023-04-30\n2023-05-31\n2023-06-30\n"
              "2023-07-31\n2023-08-31\n2023-09-30\n2023-10-31\n2023-11-30\n2023-12-31\n");
    EXPECT_EQ(dir.read("Data/User1.DBX").size(), 12 * 1028u);
    EXPECT_EQ(run({"show", "2023-02-28"}).out, "<Rent>\n");
}

TEST_F(RepeatCli, DryRunWritesNothing) {
    const test::CliResult r = run(
        {"repeat", "Gym", "--from", "2024-01-15", "--nth", "2", "--weekday", "tuesday", "--every", "3", "--dry-run"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2024-04-09\n2024-07-09\n2024-10-08\n2025-01-14\n");
    EXPECT_FALSE(dir.exists("Data/User1.DBX"));
}

TEST_F(RepeatCli, UntilCountsOnlyWhenLaterThanToday) {
    EXPECT_EQ(run({"repeat", "x", "--from", "2024-01-10", "--weeks", "1", "--until", "2024-01-24", "--dry-run"}).out,
              "2024-01-10\n2024-01-17\n2024-01-24\n");
    // Today: ignored, one year of weeks.
    const test::CliResult r =
        run({"repeat", "x", "--from", "2024-01-10", "--weeks", "26", "--until", "today", "--dry-run"});
    EXPECT_EQ(r.out, "2024-01-10\n2024-07-10\n2025-01-08\n");
}

TEST_F(RepeatCli, SkippedDaysAreReportedAndCapacityRefused) {
    run({"set", "2024-02-01", std::string(995, 'a')});
    const test::CliResult r = run({"repeat", "Gym", "--from", "2024-01-31", "--days", "1", "--until", "2024-02-02"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "orvella-cli: skipped 2024-02-01: the day's reminders would become longer than 1000 characters\n");
    EXPECT_EQ(run({"show", "2024-02-02"}).out, "<Gym>\n");

    const std::string before = dir.read("Data/User1.DBX");
    const test::CliResult big = run({"repeat", "Daily", "--from", "2024-01-01", "--days", "1", "--for", "30"});
    EXPECT_EQ(big.status, 2);
    EXPECT_NE(big.err.find("need 10956 new days"), std::string::npos) << big.err;
    EXPECT_NE(big.err.find("only 9996 more"), std::string::npos) << big.err;
    EXPECT_EQ(dir.read("Data/User1.DBX"), before);
}

TEST_F(RepeatCli, UsageAndDataErrors) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    for (const Case& c : std::vector<Case>{
             {{"repeat", "x", "--from", "2024-01-01"}, 1},
             {{"repeat", "x", "--from", "2024-01-01", "--days", "1", "--weeks", "1"}, 1},
             {{"repeat", "x", "--days", "1"}, 1},
             {{"repeat", "x", "--from", "2024-01-01", "--days", "0"}, 1},
             {{"repeat", "x", "--from", "2024-01-01", "--days", "366"}, 1},
             {{"repeat", "x", "--from", "2024-01-01", "--nth", "1", "--weekday", "Funday"}, 1},
             {{"repeat", "x", "--from", "2024-01-01", "--nth", "1"}, 1},
             {{"repeat", "x", "--from", "2024-01-01", "--nth", "1", "--weekday", "Monday", "--every", "5"}, 1},
             {{"repeat", "x", "--from", "2024-01-01", "--days", "1", "--weekday", "Monday"}, 1},
             {{"repeat", "x", "--from", "2024-01-01", "--days", "1", "--for", "1", "--until", "2025-01-01"}, 1},
             {{"repeat", "x", "--from", "2024-01-01", "--days", "1", "--for", "1000"}, 1},
             {{"repeat", "[event]", "--from", "2024-01-01", "--days", "1"}, 2},
             {{"repeat", "", "--from", "2024-01-01", "--days", "1"}, 2},
             {{"repeat", "a\\nb", "--from", "2024-01-01", "--days", "1"}, 2},
             {{"repeat", "x", "--from", "2024-02-30", "--days", "1"}, 2},
             {{"birthdays"}, 1},
             {{"birthdays", "0"}, 1},
             {{"birthdays", "2024", "2025"}, 1},
         }) {
        const test::CliResult r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1] << " " << r.err;
    }
    EXPECT_FALSE(dir.exists("Data/User1.DBX"));
}

TEST_F(RepeatCli, BirthdaysStampOnceAndPrintWhatTheyAdd) {
    dir.write("Events.dat",
              "6,4\r\ncw 0,35\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,8\r\n4,1,14\r\n"
              "1,2,Leap\r\n2,2,Birthday\r\n3,2,2\r\n4,2,29\r\n"
              "2,3,Party\r\n3,3,13\r\n4,3,1\r\n"
              "1,4,Zo\xEB\r\n2,4,Wedding\r\n3,4,8\r\n4,4,14\r\n");
    const test::CliResult dry = run({"birthdays", "2025", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "2025-08-14 <Ann Birthday>\n2025-08-14 <Zo\xC3\xAB Wedding>\n");
    EXPECT_FALSE(dir.exists("Data/User1.DBX"));

    EXPECT_EQ(run({"birthdays", "2025"}).out, dry.out);
    EXPECT_EQ(run({"birthdays", "2025"}).out, "");
    EXPECT_EQ(run({"show", "2025-08-14"}).out, "<Ann Birthday>\n<Zo\xC3\xAB Wedding>\n\n");
    EXPECT_EQ(run({"birthdays", "2028"}).out,
              "2028-08-14 <Ann Birthday>\n2028-02-29 <Leap Birthday>\n2028-08-14 <Zo\xC3\xAB Wedding>\n");
}

TEST_F(RepeatCli, BirthdaysFromACorruptFileAreRefused) {
    dir.write("Events.dat", "6,999999999\r\n1,1,Ann\r\n3,1,8\r\n4,1,14\r\n");
    const test::CliResult r = run({"birthdays", "2025"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("File contains no data or corrupt file "), std::string::npos);
    EXPECT_FALSE(dir.exists("Data/User1.DBX"));
}

}  // namespace
}  // namespace orv
