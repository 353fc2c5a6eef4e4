#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/day_number.h"
#include "support/cli_fixture.h"

namespace orv {
namespace {

class UpcomingCommand : public test::CliFixture {};

TEST_F(UpcomingCommand, ListsBothFilesInTickerOrder) {
    dir.write("Events.dat",
              "6,3\r\ncw 0,35\r\n1,1,Jos\xe9\r\n2,1,Birthday\r\n3,1,1\r\n4,1,2\r\n"
              "2,2,Wedding anniversary\r\n3,2,12\r\n4,2,31\r\n1,3,Far\r\n2,3,Birthday\r\n3,3,3\r\n4,3,1\r\n");
    dir.write("VEvents.dat", "6,1\r\n2,1,Last day of the year\r\n3,1,12\r\n4,1,31\r\n");
    const test::CliResult r = run({"upcoming", "--today", "2023-12-30"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Last day of the year\n"
              "Wedding anniversary on Sun, 31 Dec 2023\n"
              "Jos\xc3\xa9 - Birthday on Tue, 2 Jan 2024\n");
}

TEST_F(UpcomingCommand, TodayFromTheClockAndNothingDue) {
    dir.write("Events.dat", "6,1\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,6\r\n4,1,17\r\n");
    today = Clock(dayNumber(2023, 6, 10));
    EXPECT_EQ(run({"upcoming"}).out, "Ann - Birthday on Sat, 17 Jun 2023\n");
    today = Clock(dayNumber(2023, 6, 9));
    const test::CliResult none = run({"upcoming"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
}

TEST_F(UpcomingCommand, BadArgumentsAndFiles) {
    EXPECT_EQ(run({"upcoming", "--today"}).status, 1);
    EXPECT_EQ(run({"upcoming", "--today", "2023-12-30", "extra"}).status, 1);
    EXPECT_EQ(run({"upcoming", "--today", "2023-02-30"}).status, 2);
    dir.write("VEvents.dat", "");
    const test::CliResult corrupt = run({"upcoming", "--today", "2023-12-30"});
    EXPECT_EQ(corrupt.status, 2);
    EXPECT_NE(corrupt.err.find("VEvents.dat"), std::string::npos) << corrupt.err;
}

}  // namespace
}  // namespace orv
