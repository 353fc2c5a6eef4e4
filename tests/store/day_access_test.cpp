// Whole days by value: what every window and command reads and writes, and what each write does to the
// records of the file.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "store/cal_db.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

struct Record {
    double date;
    std::string text;
    friend bool operator==(const Record&, const Record&) = default;
};

std::string fileOf(const std::vector<Record>& records) {
    std::string out;
    for (const auto& r : records) {
        ReminderRecord rec;
        rec.Date = r.date;
        rec.setText(r.text);
        const auto bytes = rec.toBytes();
        out.append(bytes.data(), bytes.size());
    }
    return out;
}

std::vector<Record> recordsOf(const std::string& bytes) {
    std::vector<Record> out;
    for (size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
        const auto r = ReminderRecord::fromBytes(bytes.data() + at);
        out.push_back({r.Date, r.text()});
    }
    return out;
}

class DayAccessTest : public ::testing::Test {
protected:
    test::TempDir dir;
    CalDb db;

    void load(const std::vector<Record>& records) {
        if (!records.empty()) dir.write("Cal.DBX", fileOf(records));
        db.LoadStore(dir.file("Cal.DBX"));
    }
    std::vector<Record> file() const {
        return dir.exists("Cal.DBX") ? recordsOf(dir.read("Cal.DBX")) : std::vector<Record>{};
    }
};

TEST_F(DayAccessTest, WritingADayKeepsEveryOtherRecordWhereItIs) {
    struct Case {
        const char* name;
        double date;
        std::string text;
        std::vector<Record> fileAfter;  // before the flush
        std::optional<std::string> readBack;
    };
    const std::vector<Record> start = {{100, "a"}, {101, "b"}};
    const Case cases[] = {
        {"new day appended", 102, "c", {{100, "a"}, {101, "b"}, {102, "c"}}, "c"},
        {"known day rewritten in its record", 100, "A", {{100, "A"}, {101, "b"}}, "A"},
        // At once, by blanking the record's text: no other program and no reload sees the day again.
        {"empty text deletes the day", 101, "", {{100, "a"}, {101, ""}}, std::nullopt},
        {"empty text for a missing day does nothing", 103, "", {{100, "a"}, {101, "b"}}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load(start);
        db.writeDay(c.date, c.text);
        EXPECT_EQ(file(), c.fileAfter);
        EXPECT_EQ(db.readDay(c.date), c.readBack);
        EXPECT_EQ(db.readDay(100).has_value(), c.date != 100 || !c.text.empty());
    }
}

TEST_F(DayAccessTest, DeletedDayIsGoneFromTheFileAfterTheFlush) {
    load({{100, "a"}, {101, "b"}});
    db.writeDay(100, "");
    db.FlushCurrentCalendar();
    EXPECT_EQ(file(), (std::vector<Record>{{101, "b"}}));
}

TEST_F(DayAccessTest, EmptyTextIntoAnEmptyCalendarCreatesNoFile) {
    load({});
    db.writeDay(100, "");
    EXPECT_FALSE(dir.exists("Cal.DBX"));
    EXPECT_EQ(db.readDay(100), std::nullopt);
}

TEST_F(DayAccessTest, RecordsAreRewrittenOneByOneEvenForADayHeldTwice) {
    load({{100, "first"}, {101, "x"}, {100, "second"}});
    ASSERT_EQ(db.recordCount(), 3);
    db.rewriteRecord(2, 100, "second changed");
    EXPECT_EQ(file(), (std::vector<Record>{{100, "first"}, {101, "x"}, {100, "second changed"}}));
    db.rewriteRecord(1, 101, "");
    EXPECT_EQ(db.readRecord(1), std::nullopt);
    const auto kept = db.readRecord(0);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->text, "first");
    EXPECT_EQ(db.readRecord(3), std::nullopt);  // past the end
    EXPECT_EQ(db.readRecord(-1), std::nullopt);
    db.FlushCurrentCalendar();
    EXPECT_EQ(file(), (std::vector<Record>{{100, "first"}, {100, "second changed"}}));
}

}  // namespace
}  // namespace orv
