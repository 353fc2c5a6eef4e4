// What the exit status says: output that could not be written is a failure, and a date is accepted only
// in its one exact spelling.

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/clock.h"
#include "common/day_number.h"
#include "support/cli_fixture.h"

extern char** environ;

namespace orv {
namespace {

class CliExitStatus : public test::CliFixture {
protected:
    void SetUp() override {
        dir.write("CalUsers.DAT", "Ann\r\n");
        ASSERT_EQ(run({"set", "2026-01-05", "Dentist"}).status, 0);
    }

    // Runs the program with its standard output on /dev/full, or closed; its error output goes to a file.
    test::CliResult runProgram(std::vector<std::string> args, bool closedOutput) {
        args.insert(args.begin(), {ORVELLA_CLI_PROGRAM, "--folder", dir.path()});
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (closedOutput) posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
        else posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
        const std::string errFile = dir.file("stderr.txt");
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(spawned, 0);
        int status = 0;
        waitpid(pid, &status, 0);
        const std::string err = dir.read("stderr.txt");
        ::unlink(errFile.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", err};
    }
};

TEST_F(CliExitStatus, OutputThatCannotBeWrittenFailsTheRun) {
    struct Case {
        std::vector<std::string> args;
        int status;  // 0 for a command with nothing to print
    };
    const Case cases[] = {
        {{"calendars"}, 2},
        {{"show", "2026-01-05"}, 2},
        {{"show", "2026-01-01", "2026-01-31"}, 2},
        {{"--help"}, 2},
        {{"repeat", "Gym", "--from", "2026-01-01", "--weeks", "1", "--dry-run"}, 2},
        {{"search", "Dent"}, 2},
        {{"search", "Dent", "--all"}, 2},
        {{"export", dir.file("out.ics")}, 2},
        {{"show", "2026-01-06"}, 0},
        {{"set", "2026-01-07", "quiet"}, 0},
    };
    for (const bool closed : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.args[0] + (closed ? " with standard output closed" : " > /dev/full"));
            const test::CliResult r = runProgram(c.args, closed);
            EXPECT_EQ(r.status, c.status) << r.err;
            if (c.status == 2) {
                EXPECT_NE(r.err.find("the output could not be written"), std::string::npos) << r.err;
            }
        }
    }
    // Nothing meant for the terminal ended up in a file.
    EXPECT_EQ(run({"show", "2026-01-07"}).out, "quiet\n");
    EXPECT_EQ(dir.read("Data/Ann.DBX").size(), 2u * 1028);
}

TEST_F(CliExitStatus, AFailingStreamFailsEveryCommandThatPrints) {
    // A stream buffer that takes nothing, as a full disk would.
    struct Refusing : std::streambuf {
        int_type overflow(int_type) override { return traits_type::eof(); }
    } refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    const int status = cli::run({"--folder", dir.path(), "show", "2026-01-05"}, out, err, today);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(err.str(), "orvella-cli: the output could not be written\n");
}

TEST_F(CliExitStatus, DatesAreExactlyFourTwoAndTwoDigits) {
    today = Clock(dayNumber(2026, 3, 4));
    struct Case {
        const char* date;
        int status;
        const char* shownOn;  // where an accepted date stores the text
    };
    const Case cases[] = {
        {"2026-01-02", 0, "2026-01-02"},
        {"today", 0, "2026-03-04"},
        {" 026-01-01", 2, ""},
        {"+026-01-01", 2, ""},
        {"-026-01-01", 2, ""},
        {"2026-+1-05", 2, ""},
        {"2026- 1- 5", 2, ""},
        {"2026-1-05", 2, ""},
        {"2026-01-5", 2, ""},
        {"2026-01-05 ", 2, ""},
        {"02026-01-01", 2, ""},
        {"2026/01/05", 2, ""},
        {"2026-00-10", 2, ""},
        {"2026-13-01", 2, ""},
        {"2026-02-29", 2, ""},
        {"", 2, ""},
        {"TODAY", 2, ""},
        {"2026-01-0x", 2, ""},
        {"２０２６-01-01", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.date + "\"");
        const std::string before = dir.read("Data/Ann.DBX");
        const test::CliResult r = run({"set", c.date, "x"});
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status == 0) {
            EXPECT_EQ(run({"show", c.shownOn}).out, "x\n");
            ASSERT_EQ(run({"clear", c.shownOn}).status, 0);
        } else {
            EXPECT_NE(r.err.find("invalid date"), std::string::npos) << r.err;
            EXPECT_EQ(dir.read("Data/Ann.DBX"), before);
        }
    }
    // The other places a date is taken follow the same rule.
    EXPECT_EQ(run({"show", "2026-1-5"}).status, 2);
    EXPECT_EQ(run({"repeat", "x", "--from", "+026-01-01", "--days", "1", "--dry-run"}).status, 2);
    EXPECT_EQ(run({"upcoming", "--today", "2026- 1- 5"}).status, 2);
}

TEST_F(CliExitStatus, NumbersAreDigitsOnly) {
    for (const char* n : {"+7", " 7", "7 ", "-7", "0x7", "99999999999999999999", ""}) {
        SCOPED_TRACE(std::string("\"") + n + "\"");
        EXPECT_EQ(run({"repeat", "x", "--from", "2026-01-01", "--days", n, "--dry-run"}).status, 1);
    }
    EXPECT_EQ(run({"repeat", "x", "--from", "2026-01-01", "--days", "07", "--for", "1", "--dry-run"}).status, 0);
}

}  // namespace
}  // namespace orv
