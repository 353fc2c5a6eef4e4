// Stamping and removal in a process killed before each of its file calls, alone or while another program
// writes days of its own, and a restore killed so: whatever point the kill meets, every reminder stored
// before is still there (as it was, or as the finished run leaves it), every day the other program wrote is
// there, and every record of the calendar is whole; after a restore the next start finds the old calendars
// or the set's, never some of each.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "cli/cli.h"
#include "common/clock.h"
#include "common/date_format.h"
#include "common/sys_file.h"
#include "store/cal_db.h"
#include "support/folder_state.h"
#include "support/store_days.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

using test::record;

// Day number to text, from the calendar file's bytes (a record without text is no day); false when they
// are no whole records.
bool daysOf(const std::string& bytes, std::map<double, std::string>& days) {
    days.clear();
    if (bytes.size() % kRecordSize != 0) return false;
    for (size_t at = 0; at < bytes.size(); at += kRecordSize) {
        const ReminderRecord r = ReminderRecord::fromBytes(bytes.data() + at);
        if (!r.text().empty()) days[r.Date] = r.text();
    }
    return true;
}

int runCli(const test::TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", dir.path()});
    std::ostringstream out, err;
    return cli::run(args, out, err);
}

// 2026-01-01 is day 46023.
const std::string kCalendar = record(46023, "New year\r\n<Gym>\r\n") + record(46024, "<Gym>\r\n") +
                              record(46030, "Dentist\r\n<Gym>\r\nthen <Gym>") + record(46100, "Later");

class KillPoints : public ::testing::TestWithParam<std::vector<std::string>> {
protected:
    void SetUp() override {
        dir.write("CalUsers.DAT", "User1\r\n");
        dir.write("Events.dat",
                  "6,2\r\ncw 0,35\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,1\r\n4,1,2\r\n"
                  "1,2,Bob\r\n2,2,Wedding\r\n3,2,5\r\n4,2,5\r\n");
    }
    test::TempDir dir;
};

// Another program, when beside is set, writes days of its own meanwhile: 2028-03-14 .. 2028-03-16.
constexpr int kBesideFirst = 46826;
constexpr int kBesideDays = 3;

int runBeside(const test::TempDir& dir) {
    for (int k = 0; k < kBesideDays; ++k) {
        const int status = runCli(dir, {"set", isoDate(kBesideFirst + k), "beside " + std::to_string(k)});
        if (status != 0) return status;
    }
    return 0;
}

void checkKillPoints(const test::TempDir& dir, const std::vector<std::string>& args, bool beside) {
    std::map<double, std::string> before, after, now;
    ASSERT_TRUE(daysOf(kCalendar, before));
    dir.write("Data/User1.DBX", kCalendar);
    int calls = 0;
    setFileCallHook([&](FileCall, const std::string&) { return ++calls, 0; });
    ASSERT_EQ(runCli(dir, args), 0);
    setFileCallHook(nullptr);
    ASSERT_TRUE(daysOf(dir.read("Data/User1.DBX"), after));
    ASSERT_NE(before, after);

    for (int killAt = 1; killAt <= calls; ++killAt) {
        SCOPED_TRACE("killed before call " + std::to_string(killAt) + " of " + std::to_string(calls));
        std::filesystem::remove_all(dir.file("Data"));
        dir.write("Data/User1.DBX", kCalendar);
        const pid_t other = beside ? fork() : 0;
        ASSERT_GE(other, 0);
        if (beside && other == 0) _exit(runBeside(dir));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int n = 0;
            setFileCallHook([&](FileCall, const std::string&) {
                if (++n == killAt) ::raise(SIGKILL);
                return 0;
            });
            runCli(dir, args);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        if (beside) {
            // The killed program's lock went with it: the other one finished every day it wrote.
            ASSERT_EQ(waitpid(other, &status, 0), other);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }

        ASSERT_TRUE(daysOf(dir.read("Data/User1.DBX"), now)) << "a record is cut";
        for (const auto& [day, text] : before) {
            const auto it = now.find(day);
            const bool asBefore = it != now.end() && it->second == text;
            const bool asAfter = after.count(day) ? it != now.end() && it->second == after.at(day) : it == now.end();
            EXPECT_TRUE(asBefore || asAfter) << "day " << day;
        }
        for (int k = 0; beside && k < kBesideDays; ++k)
            EXPECT_EQ(now[kBesideFirst + k], "beside " + std::to_string(k));
        for (const auto& [day, text] : now) {
            const bool besides = beside && day >= kBesideFirst && day < kBesideFirst + kBesideDays;
            EXPECT_TRUE(besides || before.count(day) || (after.count(day) && after.at(day) == text)) << "day " << day;
        }
        // The next run finds the calendar in order.
        EXPECT_EQ(runCli(dir, {"show", "2026-01-01"}), 0);
    }
}

TEST_P(KillPoints, EveryReminderStoredBeforeSurvivesWhole) { checkKillPoints(dir, GetParam(), false); }

TEST_P(KillPoints, AndSoDoesWhatAnotherProgramWritesMeanwhile) { checkKillPoints(dir, GetParam(), true); }

INSTANTIATE_TEST_SUITE_P(StampingAndRemoval, KillPoints,
                         ::testing::Values(std::vector<std::string>{"repeat", "Swim", "--from", "2026-01-01", "--days",
                                                                    "60"},
                                           std::vector<std::string>{"birthdays", "2026"},
                                           std::vector<std::string>{"unrepeat", "Gym", "--from", "2026-01-01"},
                                           std::vector<std::string>{"clear", "2026-01-02"}),
                         [](const auto& info) { return info.param[0]; });

// What the user's files are: the calendars and the two lists, without the disks, the calendars' lock files,
// the restore's staged files, its journal and the copies it keeps.
test::FolderSnapshot userFiles(const test::FolderSnapshot& all) {
    test::FolderSnapshot out;
    for (const auto& [name, value] : all)
        if ((name.starts_with("Data/") && !name.starts_with("Data/.") && !name.ends_with(".lock")) ||
            name == "CalUsers.DAT" || name == "Events.dat")
            out[name] = value;
    return out;
}

int runOn(const test::TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", dir.path()});
    std::ostringstream out, err;
    return cli::run(args, out, err, Clock(46100));
}

TEST(RestoreKillPoints, TheNextStartFindsTheOldCalendarsOrTheSets) {
    test::TempDir dir;
    const std::string events = "6,1\r\ncw 0,35\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,1\r\n4,1,2\r\n";
    dir.write("CalUsers.DAT", "Ann\r\nBob\r\nCid\r\n");
    dir.write("Events.dat", events);
    dir.write("Data/Ann.DBX", kCalendar);
    dir.write("Data/Bob.DBX", kCalendar + record(46200, "Bob's"));
    dir.write("Data/Cid.DBX", record(46300, "Cid's"));
    for (const char* d : {"d1", "d2", "d3"}) std::filesystem::create_directories(dir.file(d));
    ASSERT_EQ(runOn(dir, {"backup", dir.file("d1"), dir.file("d2"), dir.file("d3"), "--disk-size", "6000"}), 0);
    ASSERT_TRUE(dir.exists("d3/Bob.DBX"));  // split over the last two disks
    // Since the set was made: Ann and Bob changed, Cid gone, the lists without Cid's name and date.
    dir.write("Data/Ann.DBX", record(46023, "changed since"));
    dir.write("Data/Bob.DBX", record(46024, "changed too"));
    std::filesystem::remove(dir.file("Data/Cid.DBX"));
    dir.write("CalUsers.DAT", "Ann\r\nBob\r\n");
    dir.write("Events.dat", "6,1\r\ncw 0,35\r\n1,1,Bob\r\n2,1,Wedding\r\n3,1,5\r\n4,1,5\r\n");
    const test::FolderSnapshot start = test::snapshotOf(dir.path());
    const std::vector<std::string> restore = {"restore", dir.file("d1"), dir.file("d2"), dir.file("d3")};

    int calls = 0;
    setFileCallHook([&](FileCall, const std::string&) { return ++calls, 0; });
    ASSERT_EQ(runOn(dir, restore), 0);
    setFileCallHook(nullptr);
    const test::FolderSnapshot set = userFiles(test::snapshotOf(dir.path()));
    const test::FolderSnapshot old = userFiles(start);
    const std::string kept = "Data before restore 2026-03-19/";

    for (int killAt = 1; killAt <= calls; ++killAt) {
        SCOPED_TRACE("killed before call " + std::to_string(killAt) + " of " + std::to_string(calls));
        test::restoreSnapshot(dir.path(), start);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int n = 0;
            setFileCallHook([&](FileCall, const std::string&) {
                if (++n == killAt) ::raise(SIGKILL);
                return 0;
            });
            runOn(dir, restore);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        ASSERT_EQ(runOn(dir, {"calendars"}), 0);
        const test::FolderSnapshot all = test::snapshotOf(dir.path());
        const test::FolderSnapshot now = userFiles(all);
        ASSERT_TRUE(now == old || now == set) << "a mixed data folder";
        EXPECT_FALSE(all.count("Data.restore-journal"));
        if (now == set) {
            // Nothing replaced without its copy.
            EXPECT_EQ(all.at(kept + "Ann.DBX"), old.at("Data/Ann.DBX"));
            EXPECT_EQ(all.at(kept + "Bob.DBX"), old.at("Data/Bob.DBX"));
        } else {
            EXPECT_FALSE(all.count(kept));
        }
    }
}

}  // namespace
}  // namespace orv
