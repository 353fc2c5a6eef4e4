// The calendar files under a full disk, with private modes and owners, cut short, or behind links.

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/date_format.h"
#include "common/io_error.h"
#include "events/birthday_list.h"
#include "program/program.h"
#include "program/settings_file.h"
#include "store/cal_db.h"
#include "store/calendar_list.h"
#include "support/cli_fixture.h"
#include "support/folder_state.h"
#include "support/store_days.h"

namespace orv {
namespace {

using test::record;

// 2026-01-01 is day 46023.
const std::string kCalendar = record(46023, "New year\r\n<Gym>\r\n") + record(46024, "<Gym>\r\n") + record(46030, "x");
// Ann's birthday falls on a day without reminders: stamping it makes the calendar longer.
const std::string kEvents = "6,1\r\ncw 0,35\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,2\r\n4,1,1\r\n";

// Writes that would make any file longer than bytes fail part way, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        const rlimit limit{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

struct stat statOf(const std::string& path, bool followLink = true) {
    struct stat st {};
    if (followLink) ::stat(path.c_str(), &st);
    else ::lstat(path.c_str(), &st);
    return st;
}

class StoreFiles : public test::CliFixture {
protected:
    void SetUp() override {
        dir.write("CalUsers.DAT", "User1\r\n");
        dir.write("Events.dat", kEvents);
        dir.write("Data/User1.DBX", kCalendar);
        dir.write("Orvella.INI", "[System]\r\nLeft=1\r\n");
    }
    std::string calendar() const { return dir.file("Data/User1.DBX"); }

    // Each path that rewrites a whole file, with that file.
    struct Writer {
        const char* name;
        const char* file;
        std::function<void()> write;
    };
    std::vector<Writer> writers() {
        const auto command = [this](std::vector<std::string> args) {
            return [this, args] { ASSERT_EQ(run(args).status, 0); };
        };
        return {
            {"compaction", "Data/User1.DBX", command({"clear", "2026-01-02"})},
            {"stamping", "Data/User1.DBX", command({"repeat", "Swim", "--from", "2026-01-01", "--days", "90"})},
            {"removal", "Data/User1.DBX", command({"unrepeat", "Gym", "--from", "2026-01-01"})},
            {"settings", "Orvella.INI",
             [this] {
                 Program program(dir.path());
                 program.calendars.DataFolder = dir.file("Data");
                 saveSettingsFile(program);
             }},
            {"calendar list", "CalUsers.DAT",
             [this] {
                 CalendarList list;
                 list.Names = {"User1", "Bob"};
                 list.saveUsersFile(dir.file("CalUsers.DAT"));
             }},
            {"yearly dates", "Events.dat",
             [this] {
                 BirthdayList list;
                 list.LoadEventsFile(dir.file("Events.dat"));
                 list.setCell(BirthdayList::colName, 1, "Anna");
                 list.SaveEventsFile(dir.file("Events.dat"));
             }},
        };
    }
};

TEST_F(StoreFiles, AFullDiskFailsTheCommandAndLeavesEveryFileAsItWas) {
    struct Case {
        std::vector<std::string> args;
        rlim_t limit;  // bytes any file may reach
    };
    const rlim_t room = kCalendar.size() + 500;  // less than one more record
    const Case cases[] = {
        {{"set", "2026-02-01", "new day"}, room},
        {{"repeat", "Swim", "--from", "2026-01-01", "--days", "90"}, room},
        {{"birthdays", "2026"}, room},
        // Removing lines shrinks the calendar: only a disk fuller than its present size stops it.
        {{"unrepeat", "Gym", "--from", "2026-01-01"}, 1028},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        dir.write("Data/User1.DBX", kCalendar);
        const test::FolderSnapshot before = test::snapshotOf(dir.path());
        test::CliResult r;
        {
            FileSizeLimit full(c.limit);
            r = run(c.args);
        }
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("User1"), std::string::npos) << r.err;
        EXPECT_EQ(test::snapshotOf(dir.path()), before);
        // Room again: the same command does exactly what it would have done.
        EXPECT_EQ(run(c.args).status, 0);
    }
    EXPECT_EQ(run({"show", "2026-01-01"}).out, "New year\n");
}

TEST_F(StoreFiles, AFailedAppendLeavesNoPieceAndTheNextLandsInItsPlace) {
    CalDb db;
    db.LoadStore(calendar());
    db.CurrentRecord.clear();
    db.CurrentRecord.Date = 46100;
    db.CurrentRecord.setText("lost");
    {
        FileSizeLimit full(kCalendar.size() + 500);
        EXPECT_THROW(db.AppendDay(), IoError);
    }
    EXPECT_EQ(dir.read("Data/User1.DBX"), kCalendar);
    db.CurrentRecord.Date = 46101;
    db.CurrentRecord.setText("kept");
    db.AppendDay();
    EXPECT_EQ(dir.read("Data/User1.DBX"), kCalendar + record(46101, "kept"));
}

TEST_F(StoreFiles, RewrittenFilesKeepTheirModeAndOwner) {
    const bool mayChown = ::geteuid() == 0;
    for (const auto& w : writers()) {
        SCOPED_TRACE(w.name);
        SetUp();
        const std::string path = dir.file(w.file);
        ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
        if (mayChown) {
            ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
        }
        const std::string old = dir.read(w.file);
        w.write();
        EXPECT_NE(dir.read(w.file), old);
        EXPECT_EQ(statOf(path).st_mode & 07777, 0600u);
        if (mayChown) {
            EXPECT_EQ(statOf(path).st_uid, 4321u);
            EXPECT_EQ(statOf(path).st_gid, 4322u);
        }
    }
}

TEST_F(StoreFiles, NewFilesFollowTheUmask) {
    for (const mode_t mask : {mode_t{077}, mode_t{002}}) {
        SCOPED_TRACE(mask);
        ::unlink(calendar().c_str());
        ::unlink(dir.file("CalUsers.DAT").c_str());
        const mode_t old = ::umask(mask);
        run({"set", "2026-03-01", "new"});
        CalendarList list;
        list.Names = {"User1"};
        list.saveUsersFile(dir.file("CalUsers.DAT"));
        ::umask(old);
        EXPECT_EQ(statOf(calendar()).st_mode & 0777, 0666u & ~mask);
        EXPECT_EQ(statOf(dir.file("CalUsers.DAT")).st_mode & 0777, 0666u & ~mask);
    }
}

TEST_F(StoreFiles, ACutLastRecordIsKeptWhileItsDateIsWhole) {
    struct Case {
        size_t tail;  // bytes of the last record in the file
        bool kept;
    };
    const std::string cut = record(46100, std::string(700, 'c'));
    for (const Case c : {Case{600, true}, Case{9, true}, Case{8, false}, Case{7, false}}) {
        SCOPED_TRACE(c.tail);
        dir.write("Data/User1.DBX", kCalendar + cut.substr(0, c.tail));
        const std::string shown = run({"show", isoDate(46100)}).out;
        EXPECT_EQ(shown, c.kept ? std::string(c.tail - 8, 'c') + "\n" : "");
        // The next rewrite completes it with zero bytes (or, without a date, leaves the piece out).
        ASSERT_EQ(run({"clear", "2026-01-02"}).status, 0);
        const std::string rest = record(46023, "New year\r\n<Gym>\r\n") + record(46030, "x");
        EXPECT_EQ(dir.read("Data/User1.DBX"),
                  c.kept ? rest + cut.substr(0, c.tail) + std::string(kRecordSize - c.tail, '\0') : rest);
    }
    // An append after a cut record leaves it whole in between.
    dir.write("Data/User1.DBX", kCalendar + cut.substr(0, 600));
    ASSERT_EQ(run({"set", "2026-04-01", "later"}).status, 0);
    EXPECT_EQ(dir.read("Data/User1.DBX").size(), 5u * kRecordSize);
    EXPECT_EQ(run({"show", isoDate(46100)}).out, std::string(592, 'c') + "\n");
    EXPECT_EQ(run({"show", "2026-04-01"}).out, "later\n");
}

TEST_F(StoreFiles, FilesBehindLinksAreRewrittenAtTheTargetAndStayLinked) {
    for (const auto& w : writers()) {
        SCOPED_TRACE(w.name);
        SetUp();
        const std::string link = dir.file(w.file);
        const std::string target = dir.file(std::string("elsewhere/") + w.name);
        dir.write(std::string("elsewhere/") + w.name, dir.read(w.file));
        ::unlink(link.c_str());
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        const std::string old = dir.read(w.file);
        w.write();
        EXPECT_TRUE(S_ISLNK(statOf(link, false).st_mode));
        EXPECT_NE(dir.read(w.file), old);
    }
    // A calendar emptied behind its link: the target goes, the link stays and the next day comes back there.
    SetUp();
    ::unlink(calendar().c_str());
    dir.write("elsewhere/cal", record(46023, "only"));
    ASSERT_EQ(::symlink(dir.file("elsewhere/cal").c_str(), calendar().c_str()), 0);
    ASSERT_EQ(run({"clear", "2026-01-01"}).status, 0);
    EXPECT_TRUE(S_ISLNK(statOf(calendar(), false).st_mode));
    EXPECT_FALSE(dir.exists("elsewhere/cal"));
    EXPECT_EQ(run({"show", "2026-01-01"}).out, "");
    ASSERT_EQ(run({"set", "2026-01-05", "back"}).status, 0);
    EXPECT_EQ(dir.read("elsewhere/cal"), record(46027, "back"));
}

}  // namespace
}  // namespace orv
