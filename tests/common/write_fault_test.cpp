// Every path that writes a file, run once to count its file calls, then once for each call with that call
// failing as on a full or broken disk: the files must be as before or as after, never in between, and the
// failure must be reported.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>

#include "app/start_link.h"
#include "cli/cli.h"
#include "common/ini_file.h"
#include "common/io_error.h"
#include "common/sys_file.h"
#include "events/birthday_list.h"
#include "program/program.h"
#include "program/settings_file.h"
#include "store/cal_db.h"
#include "store/calendar_list.h"
#include "support/folder_state.h"
#include "support/store_days.h"
#include "support/temp_dir.h"
#include "sync/day_archive.h"
#include "sync/sync_account.h"
#include "sync/sync_state.h"

namespace orv {
namespace {

using test::record;

std::string calendarOf(std::initializer_list<std::pair<double, std::string>> days) {
    std::string out;
    for (const auto& [date, text] : days) out += record(date, text);
    return out;
}

// 2026-01-01 is day 46023.
const std::string kCalendar = calendarOf({{46023, "New year\r\n<Gym>\r\n"}, {46024, "<Gym>\r\n"}, {46030, "Dentist"}});
const std::string kEvents =
    "6,2\r\ncw 0,35\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,1\r\n4,1,2\r\n"
    "1,2,Bob\r\n2,2,Wedding\r\n3,2,3\r\n4,2,4\r\n";

void programFolder(const test::TempDir& dir) {
    dir.write("CalUsers.DAT", "User1\r\n");
    dir.write("Orvella.INI", "[System]\r\nLeft=10\r\n[Calendar]\r\nShow Weekends=0\r\n");
    dir.write("Events.dat", kEvents);
    dir.write("Data/User1.DBX", kCalendar);
}

// Runs orvella-cli ("{dir}" in an argument stands for the folder); true when it reported a failure
// (exit 2 with a message), or with orWarning when it finished but warned of something left behind.
std::function<bool(const test::TempDir&)> cli(std::vector<std::string> args, bool orWarning = false) {
    return [args, orWarning](const test::TempDir& dir) {
        std::vector<std::string> all = {"--folder", dir.path()};
        for (std::string a : args) {
            if (a.starts_with("{dir}")) a.replace(0, 5, dir.path());
            all.push_back(a);
        }
        std::ostringstream out, err;
        const int status = cli::run(all, out, err);
        if (orWarning && status == 0) return err.str().find("orvella-cli: warning: ") == 0;
        return status == 2 && err.str().find("orvella-cli: ") == 0;
    };
}

// Runs a call of the program's own code; true when it raised an IoError with a message.
std::function<bool(const test::TempDir&)> call(std::function<void(const test::TempDir&)> action) {
    return [action](const test::TempDir& dir) {
        try {
            action(dir);
            return false;
        } catch (const IoError& e) {
            return std::strlen(e.what()) > 0;
        }
    };
}

using test::FolderSnapshot;

// The snapshot without the entries whose names hold fragment.
FolderSnapshot without(FolderSnapshot s, const std::string& fragment) {
    std::erase_if(s, [&](const auto& entry) { return entry.first.find(fragment) != std::string::npos; });
    return s;
}

struct WritePath {
    const char* name;
    std::function<void(const test::TempDir&)> prepare;
    std::function<bool(const test::TempDir&)> run;
    // What the files may be after a failure, when not simply as before or as after.
    std::function<bool(const FolderSnapshot& now, const FolderSnapshot& before, const FolderSnapshot& after)> whole =
        nullptr;
};

// Two calendars and empty disk folders: "disk1" alone, or three disks of 5000 bytes for the pair.
const std::vector<std::string> kOneDisk = {"{dir}/disk1"};
const std::vector<std::string> kThreeDisks = {"{dir}/disk1", "{dir}/disk2", "{dir}/disk3", "--disk-size", "5000"};

void beforeBackup(const test::TempDir& dir) {
    programFolder(dir);
    dir.write("Data/Bob.DBX", calendarOf({{46100, "Bob's"}, {46101, "x"}, {46102, "y"}}));
    for (const char* disk : {"disk1", "disk2", "disk3"}) std::filesystem::create_directories(dir.file(disk));
}

std::vector<std::string> command(std::string name, std::vector<std::string> disks) {
    disks.insert(disks.begin(), std::move(name));
    return disks;
}

// A backup set of both calendars; the data folder changed since.
std::function<void(const test::TempDir&)> backedUp(const std::vector<std::string>& disks) {
    return [disks](const test::TempDir& dir) {
        beforeBackup(dir);
        if (cli(command("backup", disks))(dir)) throw std::runtime_error("no backup");
        dir.write("Data/User1.DBX", calendarOf({{46023, "changed since"}}));
        std::filesystem::remove(dir.file("Data/Bob.DBX"));
    };
}

// A staged file or the journal left behind by a failure after every file is in place (with a warning) is
// removed by the next restore or start.
bool restoredOrNot(const FolderSnapshot& now, const FolderSnapshot& before, const FolderSnapshot& after) {
    const FolderSnapshot rest = without(without(now, ".orvella-restore-"), ".restore-journal");
    return rest == before || rest == after;
}

// A backup never changes the data folder (its pieces folders gone again); a one-disk set it could not finish
// has no first disk. A failure on a later disk of a larger set leaves the disks before it written: the
// restore refuses such a set for its missing or short disks.
bool dataUnchanged(const FolderSnapshot& now, const FolderSnapshot& before, const FolderSnapshot& after) {
    return now == after || without(now, "disk") == without(before, "disk");
}
bool backedUpOrNoSet(const FolderSnapshot& now, const FolderSnapshot& before, const FolderSnapshot& after) {
    return dataUnchanged(now, before, after) && (now == after || !now.count("disk1/DiskInf.0"));
}

// A cleared day is blanked in its record at once, and the compaction after it drops the record: a failure
// in between leaves a blank record, which is no day.
bool clearedOrNot(const FolderSnapshot& now, const FolderSnapshot& before, const FolderSnapshot& after) {
    const auto days = [](const FolderSnapshot& s) {
        std::map<double, std::string> out;
        const auto it = s.find("Data/User1.DBX");
        if (it == s.end()) return out;
        const std::string bytes = it->second.substr(it->second.find(' ') + 1);
        for (size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
            const ReminderRecord r = ReminderRecord::fromBytes(bytes.data() + at);
            if (!r.text().empty()) out[r.Date] = r.text();
        }
        return out;
    };
    return now == before || now == after ||
           (without(now, "User1.DBX") == without(after, "User1.DBX") && days(now) == days(after));
}

// An editor's save keeps the other program's text in the archive before it writes the day: a failure in
// between leaves that text twice, in the archive and in the day, and nothing lost.
bool archivedOrNot(const FolderSnapshot& now, const FolderSnapshot& before, const FolderSnapshot& after) {
    const auto archive = [](FolderSnapshot s) {
        std::erase_if(s, [](const auto& entry) { return entry.first.find(".purged") == std::string::npos; });
        return s;
    };
    return now == before || now == after ||
           (without(now, ".purged") == without(before, ".purged") && archive(now) == archive(after));
}

// The start link is there whole or not at all; folders made for it on the way may stay.
bool linkedOrNot(const FolderSnapshot& now, const FolderSnapshot& before, const FolderSnapshot& after) {
    if (now == after) return true;
    for (const auto& entry : now)
        if (entry.first.starts_with("config/") && entry.second[0] != 'd') return false;
    return without(now, "config") == without(before, "config");
}

// A calendar kept in step with a server: its account and the state of its last sync.
const std::string kSyncSettings =
    "[System]\r\nLeft=10\r\n[CalDAV User1]\r\nURL=http://127.0.0.1:1/cal/\r\nUser=ann\r\n"
    "Password File=/nonexistent/pw\r\n";

sync::SyncState syncState(const std::string& etag) {
    sync::SyncState s;
    s.collection = "http://127.0.0.1:1/cal/";
    s.syncToken = "token\t1";
    sync::StateEntry e;
    e.kind = sync::EntryKind::Foreign;
    e.etag = etag;
    e.lines = {{46023, "<13:00 Lunch>\r\n"}};
    e.suppressed = {46030};
    s.entries["/cal/lunch.ics"] = e;
    return s;
}

void syncedFolder(const test::TempDir& dir) {
    programFolder(dir);
    dir.write("Orvella.INI", kSyncSettings);
    syncState("\"1\"").save(dir.file("Data/User1.DBX"));
}

// Removing an account rewrites the settings, then forgets the state: the account gone with the state still
// there is harmless (a later account compares every day afresh).
bool accountGoneOrNot(const FolderSnapshot& now, const FolderSnapshot& before, const FolderSnapshot& after) {
    return now == before || now == after || without(now, ".sync") == without(after, ".sync");
}

// A saved state replaces the old one, then the journal goes: a journal left beside the new state holds only
// writes the new state already has.
bool stateSavedOrNot(const FolderSnapshot& now, const FolderSnapshot& before, const FolderSnapshot& after) {
    return now == before || now == after || without(now, "journal") == without(after, "journal");
}

const WritePath kPaths[] = {
    {"settings", programFolder, call([](const test::TempDir& dir) {
         Program program(dir.path());
         IniFile ini;
         loadSettingsFile(program, ini, "d mmmm yyyy");
         program.settings.Left = 77;
         saveSettingsFile(program);
     })},
    {"calendar list", programFolder, call([](const test::TempDir& dir) {
         CalendarList list;
         list.Names = {"User1", "Bob"};
         list.saveUsersFile(dir.file("CalUsers.DAT"));
     })},
    {"yearly dates", programFolder, call([](const test::TempDir& dir) {
         BirthdayList list;
         if (const auto failure = list.LoadEventsFile(dir.file("Events.dat"))) throw IoError(*failure, "Events.dat");
         list.setCell(BirthdayList::colName, 1, "Anna");
         list.SaveEventsFile(dir.file("Events.dat"));
     })},
    {"yearly dates emptied", programFolder, call([](const test::TempDir& dir) {
         BirthdayList list;
         list.SaveEventsFile(dir.file("Events.dat"));
     })},
    {"calendar renamed",
     [](const test::TempDir& dir) {
         programFolder(dir);
         dir.write("Data/User1.purged", record(40000, "given up"));
     },
     [](const test::TempDir& dir) {
         CalendarList list;
         list.DataFolder = dir.file("Data");
         std::string why;
         return !list.renameCalendarFile("User1", "Ann", &why) && !why.empty();
     }},
    {"calendar deleted", programFolder, call([](const test::TempDir& dir) {
         CalendarList list;
         list.DataFolder = dir.file("Data");
         list.deleteCalendarFile("User1");
     })},
    {"append", programFolder, cli({"set", "2026-02-01", "new day"})},
    {"in-place write", programFolder, cli({"set", "2026-01-08", "changed"})},
    {"compaction", programFolder, cli({"clear", "2026-01-02"}), clearedOrNot},
    {"last day cleared",
     [](const test::TempDir& dir) {
         programFolder(dir);
         dir.write("Data/User1.DBX", calendarOf({{46023, "only"}}));
     },
     cli({"clear", "2026-01-01"}), clearedOrNot},
    {"editor's save merged", programFolder, call([](const test::TempDir& dir) {
         CalDb db;
         db.LoadStore(dir.file("Data/User1.DBX"));
         db.saveDay(46030, "Dentist 9am", "Dentist 9am, bring the card", 1000);
     })},
    {"editor's save archived", programFolder, call([](const test::TempDir& dir) {
         CalDb db;
         db.LoadStore(dir.file("Data/User1.DBX"));
         db.saveDay(46030, "Dentist 9am", std::string(995, 'a'), 1000);
     }),
     archivedOrNot},
    {"repetition stamped", programFolder, cli({"repeat", "Swim", "--from", "2026-01-01", "--days", "100"})},
    {"birthdays stamped", programFolder, cli({"birthdays", "2026"})},
    {"entry removed", programFolder, cli({"unrepeat", "Gym", "--from", "2026-01-01"})},
    {"iCalendar exported", programFolder, cli({"export", "{dir}/out.ics"})},
    {"iCalendar imported",
     [](const test::TempDir& dir) {
         programFolder(dir);
         dir.write("in.ics",
                   "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\nBEGIN:VEVENT\r\nUID:1\r\n"
                   "DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\nSUMMARY:Swim\r\nEND:VEVENT\r\n"
                   "END:VCALENDAR\r\n");
     },
     cli({"import", "{dir}/in.ics", "--from", "2026-01-01", "--to", "2026-12-31"})},
    {"start link in a fresh account", programFolder, call([](const test::TempDir& dir) {
         const std::string config = dir.file("config");
         ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
         const struct Unset {
             ~Unset() { ::unsetenv("XDG_CONFIG_HOME"); }
         } unset;
         CreateStartLink(dir.path());
     }),
     linkedOrNot},
    {"sync account saved", programFolder, call([](const test::TempDir& dir) {
         sync::saveSyncAccount(dir.file("Orvella.INI"), "User1", {"http://127.0.0.1:1/cal/", "ann", "/pw", "/ca.pem", {}});
     })},
    {"sync interval saved", programFolder, call([](const test::TempDir& dir) {
         sync::saveSyncInterval(dir.file("Orvella.INI"), 30);
     })},
    {"sync account removed", syncedFolder, cli({"sync-remove"}), accountGoneOrNot},
    {"sync state saved",
     [](const test::TempDir& dir) {
         syncedFolder(dir);
         syncState("\"2\"").journal(dir.file("Data/User1.DBX"), "/cal/lunch.ics");
     },
     call([](const test::TempDir& dir) { syncState("\"3\"").save(dir.file("Data/User1.DBX")); }), stateSavedOrNot},
    {"sync journal appended", syncedFolder, call([](const test::TempDir& dir) {
         syncState("\"2\"").journal(dir.file("Data/User1.DBX"), "/cal/lunch.ics");
     })},
    {"sync archive appended", programFolder, call([](const test::TempDir& dir) {
         sync::archiveDayTexts(dir.file("Data/User1.DBX"), {{46023, "deleted elsewhere"}, {46024, std::string(1500, 'x')}});
     })},
    {"backup to one disk", beforeBackup, cli(command("backup", kOneDisk)), backedUpOrNoSet},
    {"backup to three disks", beforeBackup, cli(command("backup", kThreeDisks)), dataUnchanged},
    {"restore from one disk", backedUp(kOneDisk), cli(command("restore", kOneDisk), true), restoredOrNot},
    {"restore from three disks", backedUp(kThreeDisks),
     cli(command("restore", {"{dir}/disk1", "{dir}/disk2", "{dir}/disk3"}), true), restoredOrNot},
};

class WriteFaults : public ::testing::TestWithParam<int> {};

TEST_P(WriteFaults, EveryFailingCallLeavesTheFilesWholeAndIsReported) {
    const WritePath& path = kPaths[GetParam()];
    SCOPED_TRACE(path.name);
    test::TempDir dir;
    path.prepare(dir);
    const test::FolderSnapshot before = test::snapshotOf(dir.path());

    int calls = 0;
    setFileCallHook([&](FileCall, const std::string&) { return ++calls, 0; });
    const bool failedUnhurt = path.run(dir);
    setFileCallHook(nullptr);
    ASSERT_FALSE(failedUnhurt);
    const test::FolderSnapshot after = test::snapshotOf(dir.path());
    ASSERT_NE(before, after) << "the path writes nothing";

    for (const int error : {ENOSPC, EIO}) {
        for (int failing = 1; failing <= calls; ++failing) {
            test::restoreSnapshot(dir.path(), before);
            int n = 0;
            std::string failed;
            setFileCallHook([&](FileCall c, const std::string& p) {
                if (++n != failing) return 0;
                failed = std::string(fileCallName(c)) + " " + p.substr(dir.path().size());
                return error;
            });
            const bool reported = path.run(dir);
            setFileCallHook(nullptr);
            const test::FolderSnapshot now = test::snapshotOf(dir.path());
            EXPECT_TRUE(path.whole ? path.whole(now, before, after) : now == before || now == after)
                << "call " << failing << " of " << calls << " (" << failed << ") failing with " << std::strerror(error);
            EXPECT_TRUE(reported) << "call " << failing << " (" << failed << ") failed unreported";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, WriteFaults, ::testing::Range(0, static_cast<int>(std::size(kPaths))),
                         [](const auto& info) {
                             std::string name = kPaths[info.param].name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// A full calendar moves its oldest days to the archive when it is loaded for writing.
TEST(WriteFaultsPurge, ArchiveAndCalendarChangeTogetherOrNotAtAll) {
    test::TempDir dir;
    std::string bytes;
    bytes.reserve(static_cast<size_t>(kPurgeThreshold) * kRecordSize);
    for (int i = 0; i < kPurgeThreshold; ++i) bytes += record(40000 + i, "day");
    dir.write("Cal.DBX", bytes);
    dir.write("Cal.purged", record(30000, "moved earlier"));
    const auto load = call([](const test::TempDir& d) {
        CalDb db;
        db.LoadStore(d.file("Cal.DBX"));
    });
    const test::FolderSnapshot before = test::snapshotOf(dir.path());
    int calls = 0;
    setFileCallHook([&](FileCall, const std::string&) { return ++calls, 0; });
    ASSERT_FALSE(load(dir));
    setFileCallHook(nullptr);
    const test::FolderSnapshot after = test::snapshotOf(dir.path());
    ASSERT_EQ(after.at("Cal.purged").size(), before.at("Cal.purged").size() + 500u * kRecordSize);

    for (int failing = 1; failing <= calls; ++failing) {
        test::restoreSnapshot(dir.path(), before);
        int n = 0;
        setFileCallHook([&](FileCall, const std::string&) { return ++n == failing ? ENOSPC : 0; });
        const bool reported = load(dir);
        setFileCallHook(nullptr);
        const test::FolderSnapshot now = test::snapshotOf(dir.path());
        EXPECT_TRUE(now == before || now == after) << "call " << failing << " of " << calls;
        EXPECT_TRUE(reported) << "call " << failing;
    }
}

}  // namespace
}  // namespace orv
