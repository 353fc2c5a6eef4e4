#include "store/cal_db.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <random>
#include <stdexcept>

#include "common/io_error.h"
#include "store/calendar_list.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

using test::TempDir;

std::string rawRecord(double date, std::string_view textBytes) {
    ReminderRecord r;
    r.Date = date;
    std::memcpy(r.Text.data(), textBytes.data(), std::min(textBytes.size(), r.Text.size()));
    const auto b = r.toBytes();
    return std::string(b.data(), b.size());
}

struct Day {
    double date;
    std::string text;
    friend bool operator==(const Day&, const Day&) = default;
};

std::ostream& operator<<(std::ostream& os, const Day& d) { return os << "{" << d.date << ", \"" << d.text << "\"}"; }

std::string fileOf(const std::vector<Day>& days) {
    std::string out;
    for (const auto& d : days) out += rawRecord(d.date, d.text);
    return out;
}

std::vector<Day> daysIn(const std::string& bytes) {
    std::vector<Day> out;
    for (size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
        const auto r = ReminderRecord::fromBytes(bytes.data() + at);
        out.push_back({r.Date, r.text()});
    }
    return out;
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class CalDbTest : public ::testing::Test {
protected:
    TempDir dir;
    const std::string path = dir.file("Cal.DBX");
    CalDb db;

    void writeDays(const std::vector<Day>& days) const { dir.write("Cal.DBX", fileOf(days)); }
    std::vector<Day> fileDays() const { return daysIn(dir.read("Cal.DBX")); }
    // The compaction's temporary file, under its old name or one of its own.
    bool tempExists() const {
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string().starts_with("Cal.$$$")) return true;
        return false;
    }

    // The week page's way of writing a day's whole text.
    void put(double date, std::string_view text) { db.writeDay(date, text); }
    std::string textOf(double date) { return db.readDay(date).value_or("<none>"); }
};

// ---------------------------------------------------------------------------------------------------------
// Record and key list

TEST(ReminderRecordTest, DateIsLittleEndianWhateverTheHost) {
    ReminderRecord r;
    r.Date = 36526;
    r.setText("Hi");
    const auto b = r.toBytes();
    const unsigned char expected[8] = {0x00, 0x00, 0x00, 0x00, 0xc0, 0xd5, 0xe1, 0x40};
    EXPECT_EQ(std::memcmp(b.data(), expected, 8), 0);
    EXPECT_EQ(b[8], 'H');
    EXPECT_EQ(b[9], 'i');
    EXPECT_EQ(b[10], 0);

    // NaN payloads and negative zero come back bit for bit.
    for (const double d : {-0.0, std::numeric_limits<double>::quiet_NaN(), -1.5, 1e300}) {
        const auto back = ReminderRecord::fromBytes(rawRecord(d, "x").data());
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back.Date), std::bit_cast<std::uint64_t>(d));
    }
}

TEST(ReminderRecordTest, TextIsCutTo1019AndAlwaysEndsInZero) {
    for (const size_t length : {0u, 1u, 1000u, 1018u, 1019u, 1020u, 1021u, 5000u}) {
        SCOPED_TRACE(length);
        ReminderRecord r;
        r.Text.fill('#');
        std::string text(length, 'a');
        if (length > 0) text[0] = 'b';
        r.setText(text);
        EXPECT_EQ(r.text(), text.substr(0, std::min<size_t>(length, kMaxStoredChars)));
        EXPECT_EQ(r.Text[kTextSize - 1], 0);
        EXPECT_TRUE(std::all_of(r.Text.begin() + static_cast<long>(std::min<size_t>(length, 1019)), r.Text.end(),
                                [](char c) { return c == 0; }));
    }
}

TEST(ReminderRecordTest, TextWithoutZeroByteReadsAs1020Characters) {
    const auto r = ReminderRecord::fromBytes(rawRecord(1, std::string(kTextSize, 'x')).data());
    EXPECT_EQ(r.text(), std::string(kTextSize, 'x'));
    std::string zeroFirst(kTextSize, 'y');
    zeroFirst[0] = 0;
    EXPECT_EQ(ReminderRecord::fromBytes(rawRecord(1, zeroFirst).data()).text(), "");
}

TEST(KeyListTest, LookupFindsFirstOccurrenceAndFollowsClears) {
    KeyList k;
    EXPECT_EQ(k.add("5"), 0);
    EXPECT_EQ(k.add("7"), 1);
    EXPECT_EQ(k.add("5"), 2);
    EXPECT_EQ(k.add("5"), 3);
    EXPECT_EQ(k.indexOf("5"), 0);
    EXPECT_FALSE(k.hasEmptyEntry());

    k.clearAt(2);  // not the first: the first stays
    EXPECT_EQ(k.indexOf("5"), 0);
    k.clearAt(0);
    EXPECT_EQ(k.indexOf("5"), 3);
    k.clearAt(3);
    EXPECT_EQ(k.indexOf("5"), -1);
    EXPECT_EQ(k.indexOf("7"), 1);
    EXPECT_TRUE(k.hasEmptyEntry());
    EXPECT_EQ(k.indexOf(""), -1);  // deleted entries never match
    EXPECT_EQ(k.size(), 4);

    k.clearAt(3);   // already empty
    k.clearAt(-1);  // outside
    k.clearAt(4);
    EXPECT_EQ(k.indexOf("7"), 1);

    k.add("9");
    k.removeLast();
    EXPECT_EQ(k.indexOf("9"), -1);
    EXPECT_EQ(k.size(), 4);

    k.clear();
    EXPECT_TRUE(k.empty());
    EXPECT_FALSE(k.hasEmptyEntry());
    EXPECT_EQ(k.indexOf("7"), -1);
    EXPECT_EQ(k.add("7"), 0);
    EXPECT_EQ(k.indexOf("7"), 0);
}

TEST(KeyListTest, RemovingTheLastOfADuplicateKeepsTheFirst) {
    KeyList k;
    k.add("5");
    k.add("5");
    k.removeLast();
    EXPECT_EQ(k.indexOf("5"), 0);
    k.clearAt(0);
    EXPECT_EQ(k.indexOf("5"), -1);
    k.add("");
    EXPECT_TRUE(k.hasEmptyEntry());
    k.removeLast();
    k.removeLast();
    EXPECT_FALSE(k.hasEmptyEntry());
}

TEST(CompactionTempNameTest, ReplacesOnlyTheExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/d/Cal.DBX", "/d/Cal.$$$"},
        {"/d/J. Smith.DBX", "/d/J. Smith.$$$"},
        {"/d.x/Cal", "/d.x/Cal.$$$"},
        {"/d/Cal.$$$", "/d/Cal.$$$.$$$"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(compactionTempName(in), out) << in;
}

// ---------------------------------------------------------------------------------------------------------
// Reading and writing days

TEST_F(CalDbTest, MissingFileIsAnEmptyCalendar) {
    db.LoadStore(path);
    EXPECT_EQ(db.CurrentFileName, path);
    EXPECT_EQ(db.LoadedCount, 0);
    EXPECT_TRUE(db.keyList.empty());
    db.CurrentRecord.Date = 5;
    db.ReadRecordAt(0);  // nothing to read, nothing changes
    EXPECT_EQ(db.CurrentRecord.Date, 5);
    EXPECT_FALSE(db.FindDay(36526));
    EXPECT_FALSE(dir.exists("Cal.DBX"));
}

TEST_F(CalDbTest, LoadKeepsFileOrderAndLeavesTheLastRecordInTheBuffer) {
    writeDays({{36530, "c"}, {36526, "a"}, {36528, "b"}});
    db.CurrentIndex = 7;
    db.LoadStore(path);
    EXPECT_EQ(db.LoadedCount, 3);
    EXPECT_EQ(db.keyList.keys(), (std::vector<std::string>{"36530", "36526", "36528"}));
    EXPECT_EQ(db.CurrentRecord.Date, 36528);
    EXPECT_EQ(db.CurrentRecord.text(), "b");
    EXPECT_EQ(db.CurrentIndex, 7);
    ASSERT_TRUE(db.FindDay(36526));
    EXPECT_EQ(db.CurrentIndex, 1);
    EXPECT_EQ(db.CurrentRecord.text(), "b");  // FindDay leaves the buffer alone
    EXPECT_EQ(textOf(36528), "b");
    EXPECT_EQ(db.CurrentIndex, 2);
}

TEST_F(CalDbTest, StoringANewDayAppendsAndStoringAgainRewritesInPlace) {
    db.LoadStore(path);
    put(36526, "first");
    EXPECT_EQ(dir.read("Cal.DBX").size(), 1u * kRecordSize);
    put(36527, "second");
    EXPECT_EQ(dir.read("Cal.DBX").size(), 2u * kRecordSize);
    EXPECT_EQ(db.keyList[1], "36527");
    EXPECT_EQ(db.CurrentIndex, 1);

    put(36526, "changed");
    EXPECT_EQ(dir.read("Cal.DBX").size(), 2u * kRecordSize);
    EXPECT_EQ(db.CurrentIndex, 0);
    EXPECT_EQ(db.keyList.size(), 2);
    EXPECT_EQ(fileDays(), (std::vector<Day>{{36526, "changed"}, {36527, "second"}}));

    // StoreDay appends by itself when the day has no record.
    db.CurrentRecord.clear();
    db.CurrentRecord.Date = 36600;
    db.CurrentRecord.setText("third");
    db.StoreDay();
    EXPECT_EQ(db.CurrentIndex, 2);
    EXPECT_EQ(fileDays().back(), (Day{36600, "third"}));
}

TEST_F(CalDbTest, LongTextIsStoredCutTo1019) {
    db.LoadStore(path);
    put(36526, std::string(1500, 'q'));
    const std::string bytes = dir.read("Cal.DBX");
    ASSERT_EQ(bytes.size(), 1u * kRecordSize);
    EXPECT_EQ(bytes[8 + 1018], 'q');
    EXPECT_EQ(bytes[8 + 1019], 0);
    db.LoadStore(path);
    EXPECT_EQ(textOf(36526), std::string(1019, 'q'));
}

TEST_F(CalDbTest, FetchMissClearsTheBufferAndKeepsTheIndex) {
    writeDays({{36526, "a"}});
    db.LoadStore(path);
    ASSERT_TRUE(db.FetchDay(36526));
    db.CurrentRecord.Text.fill('z');
    EXPECT_FALSE(db.FetchDay(40000));
    EXPECT_EQ(db.CurrentRecord.Date, 0);
    EXPECT_TRUE(std::all_of(db.CurrentRecord.Text.begin(), db.CurrentRecord.Text.end(), [](char c) { return c == 0; }));
    EXPECT_EQ(db.CurrentIndex, 0);
}

TEST_F(CalDbTest, DeletedDayIsBlankedInItsRecordAtOnceAndDroppedByTheFlush) {
    writeDays({{36526, "a"}, {36527, "b"}, {36528, "c"}});
    db.LoadStore(path);
    ASSERT_TRUE(db.FindDay(36527));
    db.DeleteCurrentDay();
    EXPECT_EQ(db.CurrentIndex, -1);
    EXPECT_EQ(db.CurrentRecord.Date, 0);
    EXPECT_FALSE(db.FindDay(36527));
    // The record keeps its place and date; its text is gone, every byte of it.
    EXPECT_EQ(dir.read("Cal.DBX"), fileOf({{36526, "a"}, {36527, ""}, {36528, "c"}}));

    // A second delete without a current day marks nothing else.
    db.DeleteCurrentDay();
    EXPECT_TRUE(db.FindDay(36526));
    EXPECT_TRUE(db.FindDay(36528));

    db.LoadStore(path);  // no flush: the day stays deleted
    EXPECT_FALSE(db.FindDay(36527));
    EXPECT_TRUE(db.keyList.hasEmptyEntry());

    db.FlushCurrentCalendar();
    EXPECT_EQ(fileDays(), (std::vector<Day>{{36526, "a"}, {36528, "c"}}));
    EXPECT_FALSE(tempExists());
    db.LoadStore(path);
    EXPECT_FALSE(db.FindDay(36527));
}

TEST_F(CalDbTest, DuplicateDayIsFoundFirstAndTheSecondTakesOverWhenTheFirstIsDeleted) {
    writeDays({{36526, "first"}, {36527, "x"}, {36526, "second"}});
    db.LoadStore(path);
    EXPECT_EQ(textOf(36526), "first");
    EXPECT_EQ(db.CurrentIndex, 0);
    db.DeleteCurrentDay();
    EXPECT_EQ(textOf(36526), "second");
    EXPECT_EQ(db.CurrentIndex, 2);
    db.FlushCurrentCalendar();
    EXPECT_EQ(fileDays(), (std::vector<Day>{{36527, "x"}, {36526, "second"}}));
}

TEST_F(CalDbTest, FlushWithoutDeletionsLeavesTheFileAlone) {
    writeDays({{36526, "a"}, {36527, "b"}});
    const std::string before = dir.read("Cal.DBX");
    const ino_t inode = inodeOf(path);
    db.LoadStore(path);
    db.FlushCurrentCalendar();
    EXPECT_EQ(dir.read("Cal.DBX"), before);
    EXPECT_EQ(inodeOf(path), inode);
    EXPECT_FALSE(tempExists());
}

TEST_F(CalDbTest, FlushOfAnEmptyKeyListDeletesTheFile) {
    const std::pair<const char*, std::string> cases[] = {
        {"empty file", ""},
        {"a piece too short to hold a date", std::string(7, 'p')},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        dir.write("Cal.DBX", bytes);
        db.LoadStore(path);
        EXPECT_EQ(db.LoadedCount, 0);
        db.FlushCurrentCalendar();
        EXPECT_FALSE(dir.exists("Cal.DBX"));
    }
}

TEST_F(CalDbTest, CompactionDeletesTheFileWhenNoDaySurvives) {
    writeDays({{36526, "a"}, {36527, std::string("\0b", 2)}});
    db.LoadStore(path);
    ASSERT_TRUE(db.FindDay(36526));
    db.DeleteCurrentDay();
    db.FlushCurrentCalendar();
    EXPECT_FALSE(dir.exists("Cal.DBX"));
    EXPECT_FALSE(tempExists());
    db.LoadStore(path);
    EXPECT_TRUE(db.keyList.empty());
}

TEST_F(CalDbTest, CompactionDropsEmptyTextsAndKeepsTheOrderAndBytesOfTheRest) {
    std::string full(kTextSize, 'x');  // no terminating zero at all
    std::string zeroFirst(kTextSize, 'y');
    zeroFirst[0] = 0;
    writeDays({{36530, "e"}, {36526, zeroFirst}, {36540, full}, {36510, "d"}, {36520, "gone"}, {36500, "f"}});
    const std::string before = dir.read("Cal.DBX");
    db.LoadStore(path);
    EXPECT_EQ(textOf(36540), full);
    EXPECT_FALSE(db.FindDay(36526));  // a record whose text starts with a zero byte holds no day
    ASSERT_TRUE(db.FindDay(36520));
    db.DeleteCurrentDay();
    db.CompactStore(path);

    std::string expected;
    for (const int i : {0, 2, 3, 5}) expected += before.substr(static_cast<size_t>(i) * kRecordSize, kRecordSize);
    EXPECT_EQ(dir.read("Cal.DBX"), expected);
    // The buffer ends on the last record read, as the rewrite goes through it.
    EXPECT_EQ(db.CurrentRecord.text(), "f");
}

TEST_F(CalDbTest, LeftoverTempFileIsRemovedByTheNextCompaction) {
    struct Case {
        const char* name;
        bool calendarExists;
        bool deleteADay;
    };
    const Case cases[] = {
        {"rewrite", true, true},
        {"missing calendar", false, false},
        {"empty key list", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir d;
        CalDb s;
        const std::string file = d.file("Cal.DBX");
        d.write("Cal.$$$", "leftover from a crash");
        if (c.calendarExists) d.write("Cal.DBX", fileOf({{36526, "a"}, {36527, "b"}}));
        s.LoadStore(file);
        if (c.deleteADay) {
            ASSERT_TRUE(s.FindDay(36526));
            s.DeleteCurrentDay();
        } else if (c.calendarExists) {
            s.keyList.clear();
        }
        s.FlushCurrentCalendar();
        EXPECT_FALSE(d.exists("Cal.$$$"));
        if (c.deleteADay) {
            EXPECT_EQ(daysIn(d.read("Cal.DBX")), (std::vector<Day>{{36527, "b"}}));
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Bad input

TEST_F(CalDbTest, DatesThatAreNotWholeDaysLoadMatchNoValidDayAndAreKept) {
    const double odd[] = {std::numeric_limits<double>::quiet_NaN(),
                          -std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          1e300,
                          -1e300,
                          36526.5,
                          -0.0,
                          std::numeric_limits<double>::denorm_min()};
    const double validDays[] = {0, 1, -1, 36526, 36527, -693593, 2958465};
    for (const double d : odd) {
        SCOPED_TRACE(d);
        const std::string oddRecord = rawRecord(d, "odd");
        dir.write("Cal.DBX", oddRecord + rawRecord(36526, "new year") + rawRecord(36600, "later"));
        db.LoadStore(path);
        ASSERT_EQ(db.LoadedCount, 3);
        for (const double v : validDays) {
            const bool found = db.FindDay(v);
            EXPECT_EQ(found, v == 36526) << v;
            if (found) {
                EXPECT_EQ(db.CurrentIndex, 1);
            }
        }
        EXPECT_EQ(textOf(36526), "new year");

        ASSERT_TRUE(db.FindDay(36600));
        db.DeleteCurrentDay();
        db.FlushCurrentCalendar();
        EXPECT_EQ(dir.read("Cal.DBX"), oddRecord + rawRecord(36526, "new year"));
    }
}

TEST_F(CalDbTest, RecordNumbersOutsideTheFileRaiseErrorsNamingIt) {
    writeDays({{36526, "a"}, {36527, "b"}});
    const std::string before = dir.read("Cal.DBX");
    db.LoadStore(path);
    for (const int i : {-1, 2, 100}) {
        SCOPED_TRACE(i);
        try {
            db.ReadRecordAt(i);
            ADD_FAILURE() << "no error";
        } catch (const IoError& e) {
            EXPECT_EQ(e.path(), path);
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
        }
    }
    // Writing may extend the file by one record, never leave a gap.
    db.CurrentRecord.Date = 1;
    db.CurrentRecord.setText("gap");
    EXPECT_THROW(db.WriteRecordAt(3), IoError);
    EXPECT_THROW(db.WriteRecordAt(-1), IoError);
    EXPECT_EQ(dir.read("Cal.DBX"), before);
}

TEST_F(CalDbTest, FirstWriteToAMissingFileBecomesItsFirstRecord) {
    db.LoadStore(path);
    db.CurrentRecord.Date = 36526;
    db.CurrentRecord.setText("a");
    db.WriteRecordAt(4);
    EXPECT_EQ(fileDays(), (std::vector<Day>{{36526, "a"}}));
}

TEST_F(CalDbTest, FailedAppendTakesItsKeyBack) {
    const std::string nowhere = dir.file("no such folder/Cal.DBX");
    db.LoadStore(nowhere);
    db.CurrentIndex = 3;
    db.CurrentRecord.Date = 36526;
    db.CurrentRecord.setText("lost");
    try {
        db.AppendDay();  // the file cannot be created
        ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.path(), nowhere);
    }
    EXPECT_TRUE(db.keyList.empty());
    EXPECT_EQ(db.CurrentIndex, 3);
    EXPECT_FALSE(db.FindDay(36526));
}

// ---------------------------------------------------------------------------------------------------------
// Purge

TEST_F(CalDbTest, LoadingTenThousandDaysOrMoreDropsTheOldestInStepsOf500) {
    struct Case {
        int records;
        int remaining;
    };
    for (const Case c : {Case{9999, 9999}, Case{10000, 9500}, Case{10600, 9600}}) {
        SCOPED_TRACE(c.records);
        const int first = 40000;
        std::vector<int> order(static_cast<size_t>(c.records));
        for (int i = 0; i < c.records; ++i) order[static_cast<size_t>(i)] = first + i;
        std::shuffle(order.begin(), order.end(), std::mt19937(42));
        std::string bytes;
        bytes.reserve(order.size() * kRecordSize);
        for (const int day : order) bytes += rawRecord(day, "d" + std::to_string(day));
        dir.write("Cal.DBX", bytes);

        db.LoadStore(path);
        EXPECT_EQ(db.LoadedCount, c.remaining);
        EXPECT_EQ(db.keyList.size(), c.remaining);
        EXPECT_FALSE(db.keyList.hasEmptyEntry());
        EXPECT_FALSE(tempExists());

        // The newest days survive, in their old order.
        std::vector<Day> expected;
        const int oldestKept = first + c.records - c.remaining;
        for (const int day : order)
            if (day >= oldestKept) expected.push_back({static_cast<double>(day), "d" + std::to_string(day)});
        EXPECT_EQ(fileDays(), expected);
        EXPECT_TRUE(db.FindDay(oldestKept));
        EXPECT_FALSE(db.FindDay(oldestKept - 1));
    }
}

TEST_F(CalDbTest, PurgeCountsADuplicatedDayOnceAndDropsOnlyItsFirstRecord) {
    std::string bytes;
    bytes += rawRecord(30000, "dup one");
    for (int i = 0; i < 9998; ++i) bytes += rawRecord(40000 + i, "x");
    bytes += rawRecord(30000, "dup two");
    dir.write("Cal.DBX", bytes);
    db.LoadStore(path);
    EXPECT_EQ(db.LoadedCount, 9500);
    EXPECT_EQ(textOf(30000), "dup two");
    EXPECT_TRUE(db.FindDay(40499));
    EXPECT_FALSE(db.FindDay(40498));
}

// ---------------------------------------------------------------------------------------------------------
// A key list that does not describe the file is never written by

TEST_F(CalDbTest, WritesAfterACompactionFindTheirRecordsAgain) {
    writeDays({{36526, "a"}, {36527, "b"}, {36528, "c"}});
    db.LoadStore(path);
    ASSERT_TRUE(db.FindDay(36526));
    db.DeleteCurrentDay();
    db.FlushCurrentCalendar();

    // By the old positions "b" was record 1, which now holds "c": the keys are read again first.
    put(36527, "b changed");
    put(36600, "new");
    db.FlushCurrentCalendar();
    EXPECT_EQ(fileDays(), (std::vector<Day>{{36527, "b changed"}, {36528, "c"}, {36600, "new"}}));
}

TEST_F(CalDbTest, FlushAfterFreeStoreDoesNotDeleteTheCalendar) {
    writeDays({{36526, "a"}});
    db.LoadStore(path);
    db.FreeStore();
    EXPECT_TRUE(db.keyList.empty());
    EXPECT_THROW(db.FlushCurrentCalendar(), IoError);
    EXPECT_EQ(fileDays(), (std::vector<Day>{{36526, "a"}}));
}

TEST_F(CalDbTest, NothingIsWrittenBeforeTheFirstLoad) {
    db.CurrentFileName = path;
    db.CurrentRecord.Date = 36526;
    EXPECT_THROW(db.AppendDay(), IoError);
    EXPECT_TRUE(db.keyList.empty());
    EXPECT_FALSE(dir.exists("Cal.DBX"));
}

// ---------------------------------------------------------------------------------------------------------
// The current calendar

TEST_F(CalDbTest, OpenCurrentCalendarLoadsTheFileOfTheCurrentName) {
    CalendarList calendars;
    calendars.DataFolder = dir.path();
    calendars.Names = {"Anna", "J. Smith"};
    calendars.CurrentCalendarIndex = 1;
    EXPECT_THROW(db.OpenCurrentCalendar(), std::logic_error);

    db.setCalendars(&calendars);
    EXPECT_EQ(db.CalendarFileName(0), dir.file("Anna.DBX"));
    dir.write("J. Smith.DBX", fileOf({{36526, "smith"}}));
    db.OpenCurrentCalendar();
    EXPECT_EQ(db.CurrentFileName, dir.file("J. Smith.DBX"));
    EXPECT_EQ(textOf(36526), "smith");

    // A calendar that cannot be opened leaves nothing writable behind.
    calendars.CurrentCalendarIndex = 5;
    EXPECT_THROW(db.OpenCurrentCalendar(), IoError);
    EXPECT_THROW(put(36527, "where?"), IoError);
    EXPECT_EQ(dir.read("J. Smith.DBX"), fileOf({{36526, "smith"}}));
}

}  // namespace
}  // namespace orv
