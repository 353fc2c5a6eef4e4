// One calendar, several programs: a store whose keys another program made stale reads them again before it
// uses them, an operation gives up after a bounded wait for another's lock and changes nothing, temporary
// files are never shared, and many processes at once lose nothing.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>

#include <sys/wait.h>
#include <unistd.h>

#include "common/file_replacement.h"
#include "common/io_error.h"
#include "desk/entry_removal.h"
#include "events/entry_stamper.h"
#include "store/cal_db.h"
#include "store/calendar_lock.h"
#include "support/store_days.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

using test::record;
using Days = std::map<double, std::string>;

std::string fileOf(const Days& days) {
    std::string out;
    for (const auto& [date, text] : days) out += record(date, text);
    return out;
}

// The days a calendar file holds (records without text are none); false when a record is cut or a day
// has two live records.
bool liveDays(const std::string& bytes, Days& days) {
    days.clear();
    if (bytes.size() % kRecordSize != 0) return false;
    for (size_t at = 0; at < bytes.size(); at += kRecordSize) {
        const ReminderRecord r = ReminderRecord::fromBytes(bytes.data() + at);
        if (!r.text().empty() && !days.emplace(r.Date, r.text()).second) return false;
    }
    return true;
}

// A process of its own; it ends with the action's result as its exit status.
pid_t spawn(const std::function<int()>& action) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(120);  // a child that hangs ends the test, not the run
        int status = 1;
        try {
            status = action();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child: %s\n", e.what());
        }
        _exit(status);
    }
    return child;
}

int exitStatusOf(pid_t child) {
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Children started together: each waits at the gate until the parent opens it.
class Gate {
public:
    Gate() { EXPECT_EQ(pipe(fds_), 0); }
    ~Gate() { open(); }
    void wait() {
        ::close(fds_[1]);
        char c;
        while (read(fds_[0], &c, 1) < 0) {
        }
    }
    void open() {
        if (fds_[1] >= 0) ::close(std::exchange(fds_[1], -1));
    }

private:
    int fds_[2] = {-1, -1};
};

class SharedCalendar : public ::testing::Test {
protected:
    test::TempDir dir;
    const std::string path = dir.file("Cal.DBX");
    Days fileDays() const {
        Days days;
        EXPECT_TRUE(liveDays(dir.read("Cal.DBX"), days)) << "a record is cut or a day doubled";
        return days;
    }
};

// ---------------------------------------------------------------------------------------------------------
// Keys that another program made stale

struct StaleCase {
    const char* name;
    Days start;  // nothing: no calendar file
    // What this program does; meanwhile() is another program's work on the same file.
    std::function<void(CalDb& ours, const std::function<void()>& meanwhile)> run;
    std::function<void(CalDb& other, const std::string& path)> other;
    Days after;
};

TEST_F(SharedCalendar, KeysThatAnotherProgramMadeStaleAreReadAgainBeforeTheyAreUsed) {
    const auto put = [](double day, std::string text) {
        return [day, text](CalDb& db, const std::string&) { db.writeDay(day, text); };
    };
    const StaleCase cases[] = {
        {"an earlier day cleared and the file compacted: a later day is written into its own record",
         {{1, "a"}, {2, "b"}, {3, "c"}},
         [](CalDb& ours, const auto& meanwhile) {
             EXPECT_EQ(ours.readDay(3), "c");
             meanwhile();
             EXPECT_EQ(ours.readDay(2), "b");
             ours.writeDay(3, "c changed");
         },
         [](CalDb& other, const std::string&) {
             other.writeDay(1, "");
             other.FlushCurrentCalendar();
         },
         {{2, "b"}, {3, "c changed"}}},
        {"days appended: ours goes after them",
         {{1, "a"}},
         [](CalDb& ours, const auto& meanwhile) {
             meanwhile();
             ours.writeDay(7, "g");
         },
         [](CalDb& other, const std::string&) {
             other.writeDay(5, "e");
             other.writeDay(6, "f");
         },
         {{1, "a"}, {5, "e"}, {6, "f"}, {7, "g"}}},
        {"the same new day appended: ours goes into that record, not a second one",
         {{1, "a"}},
         [](CalDb& ours, const auto& meanwhile) {
             ASSERT_FALSE(ours.FindDay(5));
             meanwhile();
             ours.CurrentRecord.clear();
             ours.CurrentRecord.Date = 5;
             ours.CurrentRecord.setText("ours");
             ours.AppendDay();
         },
         put(5, "theirs"), {{1, "a"}, {5, "ours"}}},
        {"the day found is deleted before ours is deleted",
         {{1, "a"}, {2, "b"}, {3, "c"}},
         [](CalDb& ours, const auto& meanwhile) {
             ASSERT_TRUE(ours.FindDay(2));
             meanwhile();
             ours.DeleteCurrentDay();
         },
         [](CalDb& other, const std::string&) {
             other.writeDay(1, "");
             other.FlushCurrentCalendar();
             other.writeDay(2, "");
         },
         {{3, "c"}}},
        {"a day rewritten or deleted: ours reads what is stored",
         {{1, "a"}, {2, "b"}},
         [](CalDb& ours, const auto& meanwhile) {
             meanwhile();
             EXPECT_EQ(ours.readDay(1), "A");
             EXPECT_EQ(ours.readDay(2), std::nullopt);
             EXPECT_FALSE(ours.FindDay(2));
         },
         [](CalDb& other, const std::string&) {
             other.writeDay(1, "A");
             other.writeDay(2, "");
         },
         {{1, "A"}}},
        {"the file replaced whole by a program that takes no lock",
         {{1, "a"}},
         [](CalDb& ours, const auto& meanwhile) {
             meanwhile();
             EXPECT_EQ(ours.readDay(7), "restored");
             ours.writeDay(8, "s");
         },
         [](CalDb&, const std::string& path) {
             test::TempDir elsewhere;
             elsewhere.write("new", fileOf({{7, "restored"}}));
             std::filesystem::copy_file(elsewhere.file("new"), path + ".new");
             std::filesystem::rename(path + ".new", path);
         },
         {{7, "restored"}, {8, "s"}}},
        {"the file deleted",
         {{1, "a"}},
         [](CalDb& ours, const auto& meanwhile) {
             meanwhile();
             EXPECT_EQ(ours.readDay(1), std::nullopt);
             ours.writeDay(2, "b");
         },
         [](CalDb&, const std::string& path) { std::filesystem::remove(path); }, {{2, "b"}}},
        {"loaded empty, then filled by another: the flush keeps the file",
         {},
         [](CalDb& ours, const auto& meanwhile) {
             meanwhile();
             ours.FlushCurrentCalendar();
         },
         [](CalDb& other, const std::string&) {
             other.writeDay(1, "a");
             other.writeDay(2, "b");
         },
         {{1, "a"}, {2, "b"}}},
        {"a stamping counts and stamps the days as they are when it begins",
         {{1, "a"}},
         [](CalDb& ours, const auto& meanwhile) {
             meanwhile();
             EXPECT_EQ(stampRepetition(ours, {1, 2, 3}, "<x>\r\n").added.size(), 3u);
         },
         put(2, "b"), {{1, "a\r\n<x>\r\n"}, {2, "b\r\n<x>\r\n"}, {3, "<x>\r\n"}}},
        {"a removal passes over the records as they are when it begins",
         {{1, "<x>\r\n"}, {2, "<x>\r\nkeep"}},
         [](CalDb& ours, const auto& meanwhile) {
             meanwhile();
             EXPECT_EQ(removeEntryLines(ours, 1, "<x>"), (std::vector<int>{2, 3}));
         },
         [](CalDb& other, const std::string&) {
             other.writeDay(1, "");
             other.FlushCurrentCalendar();
             other.writeDay(3, "<x>\r\nnew");
         },
         {{2, "keep"}, {3, "new"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        if (!c.start.empty()) dir.write("Cal.DBX", fileOf(c.start));
        CalDb ours, other;
        ours.LoadStore(path);
        c.run(ours, [&] {
            other.LoadStore(path);
            c.other(other, path);
        });
        EXPECT_EQ(fileDays(), c.after);
        for (const auto& [day, text] : c.after) EXPECT_EQ(ours.readDay(day), text) << day;
        EXPECT_FALSE(ours.refresh());
    }
}

TEST_F(SharedCalendar, AnEditorsSaveKeepsBothTextsWhereAnotherProgramChangedTheDay) {
    using Outcome = SavedDay::Outcome;
    struct Case {
        const char* name;
        std::string stored;  // empty: no record
        std::string shown;   // what the editor showed
        std::string typed;
        Outcome outcome;
        std::string after;     // empty: no record
        std::string archived;  // the text that went to the archive
    };
    const std::string long600(600, 'l');
    const Case cases[] = {
        {"nobody else changed it", "Gym", "Gym", "Gym 7pm", Outcome::Written, "Gym 7pm", ""},
        {"a new day", "", "", "Swim", Outcome::Written, "Swim", ""},
        {"emptied", "Gym", "Gym", "", Outcome::Written, "", ""},
        {"both made the same change", "Gym 7pm", "Gym", "Gym 7pm", Outcome::Written, "Gym 7pm", ""},
        {"changed meanwhile", "Gym moved", "Gym", "Gym 7pm", Outcome::Merged, "Gym moved\r\nGym 7pm", ""},
        {"changed meanwhile, ending in a line break", "Gym\r\n", "", "Swim", Outcome::Merged, "Gym\r\nSwim", ""},
        {"deleted meanwhile", "", "Gym", "Gym 7pm", Outcome::Merged, "Gym 7pm", ""},
        {"changed meanwhile, emptied here", "Gym moved", "Gym", "", Outcome::Merged, "Gym moved", ""},
        {"both too long for one day", long600, "", long600 + "!", Outcome::Archived, long600 + "!", long600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        std::filesystem::remove(dir.file("Cal.purged"));
        dir.write("Cal.DBX", fileOf(c.stored.empty() ? Days{{2, "other day"}} : Days{{1, c.stored}, {2, "other day"}}));
        CalDb db;
        db.LoadStore(path);
        const SavedDay saved = db.saveDay(1, c.shown, c.typed, 1000);
        EXPECT_EQ(saved.outcome, c.outcome);
        EXPECT_EQ(saved.text, c.after);
        EXPECT_EQ(saved.before, c.stored);
        Days expected{{2, "other day"}};
        if (!c.after.empty()) expected[1] = c.after;
        EXPECT_EQ(fileDays(), expected);
        EXPECT_EQ(dir.read("Cal.purged"), c.archived.empty() ? std::string() : record(1, c.archived));
    }
}

// ---------------------------------------------------------------------------------------------------------
// The lock

TEST_F(SharedCalendar, ALockHeldByAStuckProgramFailsTheOperationAfterABoundedWaitAndChangesNothing) {
    struct Case {
        const char* name;
        CalendarLock::Mode held;
        std::function<void(CalDb&)> op;
        bool waits;
    };
    using Mode = CalendarLock::Mode;
    const Case cases[] = {
        {"a read beside a reader", Mode::Shared, [](CalDb& db) { db.readDay(1); }, false},
        {"a write beside a reader", Mode::Shared, [](CalDb& db) { db.writeDay(2, "new"); }, true},
        {"a read beside a writer", Mode::Exclusive, [](CalDb& db) { db.readDay(1); }, true},
        {"a write beside a writer", Mode::Exclusive, [](CalDb& db) { db.writeDay(1, "changed"); }, true},
        {"a deletion", Mode::Exclusive, [](CalDb& db) { db.writeDay(1, ""); }, true},
        {"a flush", Mode::Exclusive, [](CalDb& db) { db.FlushCurrentCalendar(); }, true},
        {"a stamping", Mode::Shared, [](CalDb& db) { stampRepetition(db, {1, 5}, "<x>"); }, true},
        {"a load", Mode::Exclusive, [](CalDb& db) { db.LoadStore(db.CurrentFileName); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("Cal.DBX", fileOf({{1, "a"}}));
        CalDb db;
        db.LoadStore(path);
        db.setLockWait(std::chrono::milliseconds(200));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t stuck = spawn([&] {
            const CalendarLock lock(path, c.held);
            [[maybe_unused]] const auto n = write(ready[1], "x", 1);
            for (;;) pause();
            return 0;
        });
        char x;
        ASSERT_EQ(read(ready[0], &x, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        const std::string before = dir.read("Cal.DBX");
        try {
            c.op(db);
            EXPECT_FALSE(c.waits) << "no wait";
        } catch (const IoError& e) {
            EXPECT_TRUE(c.waits);
            EXPECT_EQ(std::string(e.what()), calendarInUseMessage(path));
            EXPECT_NE(std::string(e.what()).find("\"Cal\""), std::string::npos);
        }
        EXPECT_EQ(dir.read("Cal.DBX"), before);
        // The lock dies with its holder.
        kill(stuck, SIGKILL);
        exitStatusOf(stuck);
        c.op(db);
        EXPECT_FALSE(db.refresh());
    }
}

// ---------------------------------------------------------------------------------------------------------
// Temporary files

TEST_F(SharedCalendar, ReplacementsAtOnceNeverShareATemporaryFileAndOnlyAbandonedOnesAreRemoved) {
    const std::string target = dir.file("List.DAT");
    const auto base = [](const std::string& t) { return t + ".tmp"; };
    dir.write("List.DAT", "old");
    dir.write("List.DAT.tmp", "left by an older version");
    dir.write("List.DAT.tmp.123-0badcafe", "left by a writer that was stopped");
    dir.write("List.DAT.tmp.other", "not a temporary file of ours");
    dir.write("List.DAT.tmp.12-xyz", "nor this");

    FileReplacement first(target, base);
    EXPECT_FALSE(dir.exists("List.DAT.tmp"));
    EXPECT_FALSE(dir.exists("List.DAT.tmp.123-0badcafe"));
    FileReplacement second(target, base);
    EXPECT_NE(first.tempName(), second.tempName());
    // The first is at work: the second did not take its file away.
    EXPECT_TRUE(std::filesystem::exists(first.tempName()));
    EXPECT_TRUE(std::filesystem::exists(second.tempName()));
    first.write("first", 5);
    second.write("second", 6);
    second.commit();
    first.commit();
    EXPECT_EQ(dir.read("List.DAT"), "first");
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.insert(e.path().filename());
    EXPECT_EQ(names, (std::set<std::string>{"List.DAT", "List.DAT.tmp.other", "List.DAT.tmp.12-xyz"}));
}

// ---------------------------------------------------------------------------------------------------------
// Many programs at once

// One program's share of the work: random writes, deletions, stampings, removals and compactions on days
// of its own (the others' days in the same file), keeping what each of its days must hold afterwards.
int workOn(const std::string& path, int program, int operations, const std::string& result) {
    const int first = 40000 + program * 1000;
    constexpr int kOwnDays = 40;
    std::mt19937 random(static_cast<unsigned>(program) + 1);
    std::map<int, std::string> mine;
    std::vector<std::string> markers;
    CalDb db;
    db.LoadStore(path);
    int busy = 0;
    for (int n = 0; n < operations; ++n) {
        const int day = first + static_cast<int>(random() % kOwnDays);
        const int kind = static_cast<int>(random() % 10);
        try {
            if (kind < 4) {
                const std::string text = "p" + std::to_string(program) + " n" + std::to_string(n);
                db.writeDay(day, text);
                mine[day] = text;
            } else if (kind < 5) {
                db.writeDay(day, "");
                mine.erase(day);
            } else if (kind < 6) {
                db.FlushCurrentCalendar();
                db.LoadStore(path);
            } else if (kind < 8) {
                const std::string marker = "<P" + std::to_string(program) + "-" + std::to_string(n) + ">";
                const std::string line = marker + "\r\n";
                const std::vector<int> dates = {day, first + static_cast<int>(random() % kOwnDays)};
                const StampResult r = stampRepetition(db, dates, line);
                for (const size_t i : r.added) {
                    const auto it = mine.find(dates[i]);
                    mine[dates[i]] = it == mine.end() ? line : textWithEntryLine(it->second, line);
                }
                markers.push_back(marker);
            } else if (kind < 9 && !markers.empty()) {
                const std::string marker = markers[random() % markers.size()];
                removeEntryLines(db, first, marker);
                for (auto it = mine.begin(); it != mine.end();) {
                    const auto text = withoutEntry(it->second, marker);
                    if (text) it->second = *text;
                    it = it->second.empty() ? mine.erase(it) : std::next(it);
                }
            } else {
                const auto stored = db.readDay(day);
                const auto it = mine.find(day);
                if (stored != (it == mine.end() ? std::nullopt : std::optional<std::string>(it->second))) {
                    std::fprintf(stderr, "program %d: day %d reads \"%s\"\n", program, day, stored.value_or("").c_str());
                    return 1;
                }
            }
        } catch (const IoError& e) {
            // Another program held the lock too long: this one did nothing.
            if (std::string(e.what()) != calendarInUseMessage(path)) throw;
            ++busy;
        }
        // Let the others in between any two operations.
        usleep(static_cast<useconds_t>(random() % 400));
    }
    Days days;
    for (const auto& [day, text] : mine) days[day] = text;
    std::FILE* out = std::fopen(result.c_str(), "wb");
    const std::string bytes = fileOf(days);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    return busy > operations / 10 ? 2 : 0;
}

TEST_F(SharedCalendar, ManyProgramsAtOnceLoseNothing) {
    constexpr int kPrograms = 4;
    constexpr int kOperations = 120;
    Days untouched;
    for (int i = 0; i < 100; ++i) untouched[30000 + i] = "nobody touches " + std::to_string(i);
    dir.write("Cal.DBX", fileOf(untouched));

    Gate gate;
    std::vector<pid_t> programs;
    for (int p = 0; p < kPrograms; ++p)
        programs.push_back(spawn([&, p] {
            gate.wait();
            return workOn(path, p, kOperations, dir.file("expected" + std::to_string(p)));
        }));
    gate.open();
    Days expected = untouched;
    for (int p = 0; p < kPrograms; ++p) {
        SCOPED_TRACE(p);
        ASSERT_EQ(exitStatusOf(programs[static_cast<size_t>(p)]), 0);
        Days mine;
        ASSERT_TRUE(liveDays(dir.read("expected" + std::to_string(p)), mine));
        expected.insert(mine.begin(), mine.end());
    }
    // Every record whole, every day once, each with the text its program left it with; nothing else.
    EXPECT_EQ(fileDays(), expected);
}

TEST_F(SharedCalendar, ProgramsLoadingAFullCalendarAtOncePurgeItOnce) {
    constexpr int kPrograms = 3;
    Days full;
    for (int i = 0; i < kPurgeThreshold + 1; ++i) full[40000 + i] = "d" + std::to_string(i);
    // The oldest last in the file, so that the purge takes records from its end.
    std::string bytes;
    for (auto it = full.rbegin(); it != full.rend(); ++it) bytes += record(it->first, it->second);
    dir.write("Cal.DBX", bytes);

    Gate gate;
    std::vector<pid_t> programs;
    for (int p = 0; p < kPrograms; ++p)
        programs.push_back(spawn([&] {
            gate.wait();
            CalDb db;
            int told = 0;
            db.onPurged = [&](int days, const std::string&) { told += days; };
            db.LoadStore(path);
            return told == 0 ? 0 : told == kPurgeCount ? 10 : 1;
        }));
    gate.open();
    int purgers = 0;
    for (const pid_t p : programs) {
        const int status = exitStatusOf(p);
        EXPECT_TRUE(status == 0 || status == 10) << status;
        purgers += status == 10;
    }
    EXPECT_EQ(purgers, 1);
    Days kept, archived;
    ASSERT_TRUE(liveDays(dir.read("Cal.DBX"), kept));
    ASSERT_TRUE(liveDays(dir.read("Cal.purged"), archived)) << "an archived day twice";
    EXPECT_EQ(archived.size(), static_cast<size_t>(kPurgeCount));
    EXPECT_EQ(dir.read("Cal.purged").size(), static_cast<size_t>(kPurgeCount) * kRecordSize);
    EXPECT_EQ(archived.rbegin()->first + 1, kept.begin()->first);  // the oldest ones
    kept.insert(archived.begin(), archived.end());
    EXPECT_EQ(kept, full);
}

}  // namespace
}  // namespace orv
