#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "common/day_number.h"
#include "common/io_error.h"
#include "events/birthday_list.h"
#include "events/entry_stamper.h"
#include "store/cal_db.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

int d(int y, int m, int day) { return dayNumber(y, m, day); }

class Stamping : public testing::Test {
protected:
    void SetUp() override { store.LoadStore(file); }

    // Writes a calendar file of the given days and texts and loads it.
    void makeCalendar(const std::vector<std::pair<int, std::string>>& days) {
        std::string bytes;
        for (const auto& [day, text] : days) {
            ReminderRecord r;
            r.Date = day;
            r.setText(text);
            const auto b = r.toBytes();
            bytes.append(b.data(), b.size());
        }
        dir.write("Cal.DBX", bytes);
        store.LoadStore(file);
    }

    std::string textOf(int day) {
        if (!store.FetchDay(day)) return "<no record>";
        return store.CurrentRecord.text();
    }

    test::TempDir dir;
    std::string file = dir.file("Cal.DBX");
    CalDb store;
};

TEST(EntryLine, TheThreeTextShapes) {
    EXPECT_EQ(textWithEntryLine("", "<x>\r\n"), "<x>\r\n\r\n");
    EXPECT_EQ(textWithEntryLine("Doctor 10am\r\n", "<x>\r\n"), "Doctor 10am\r\n<x>\r\n\r\n");
    EXPECT_EQ(textWithEntryLine("Doctor 10am", "<x>\r\n"), "Doctor 10am\r\n<x>\r\n");
    EXPECT_EQ(textWithEntryLine("ends in CR\r", "<x>\r\n"), "ends in CR\r\r\n<x>\r\n");
}

TEST_F(Stamping, AppendEntryLineNewFoundEmptyAndPresent) {
    makeCalendar({{d(2025, 1, 2), "Doctor 10am"}, {d(2025, 1, 3), ""}, {d(2025, 1, 4), "<Gym>\r\nmore"}});
    EXPECT_EQ(AppendEntryLine(store, d(2025, 1, 1), "<Gym>\r\n", false), AppendOutcome::Added);
    EXPECT_EQ(textOf(d(2025, 1, 1)), "<Gym>\r\n");
    EXPECT_EQ(AppendEntryLine(store, d(2025, 1, 2), "<Gym>\r\n", false), AppendOutcome::Added);
    EXPECT_EQ(textOf(d(2025, 1, 2)), "Doctor 10am\r\n<Gym>\r\n");
    // A record without text holds no day: the line comes alone, as into a new day.
    EXPECT_EQ(AppendEntryLine(store, d(2025, 1, 3), "<Gym>\r\n", false), AppendOutcome::Added);
    EXPECT_EQ(textOf(d(2025, 1, 3)), "<Gym>\r\n");
    // Present with other text after it still counts; without skip-if-present it is added again.
    EXPECT_EQ(AppendEntryLine(store, d(2025, 1, 4), "<Gym>\r\n", true), AppendOutcome::AlreadyPresent);
    EXPECT_EQ(textOf(d(2025, 1, 4)), "<Gym>\r\nmore");
    EXPECT_EQ(AppendEntryLine(store, d(2025, 1, 4), "<Gym>\r\n", false), AppendOutcome::Added);
    EXPECT_EQ(textOf(d(2025, 1, 4)), "<Gym>\r\nmore\r\n<Gym>\r\n");
    // The marker without its line break is not the line.
    makeCalendar({{d(2025, 1, 5), "<Gym>"}});
    EXPECT_EQ(AppendEntryLine(store, d(2025, 1, 5), "<Gym>\r\n", true), AppendOutcome::Added);
    EXPECT_EQ(store.LoadedCount, 1);
    EXPECT_EQ(store.keyList.size(), 1);  // stored in place, no second record
}

TEST_F(Stamping, LengthRuleSkipsTheDayAndCutsNothing) {
    const std::string fill988(988, 'a');  // + CR LF + "<Gym>" CR LF = 997
    const std::string fill989(989, 'b');  // + CR LF, then "<Gym>" CR LF CR LF = 1000
    const std::string fill992(992, 'c');  // 992 + 2 + 7 = 1001
    makeCalendar({{d(2025, 1, 1), fill988}, {d(2025, 1, 2), fill992}, {d(2025, 1, 3), fill989 + "\r\n"}});
    const std::vector<int> dates = {d(2025, 1, 1), d(2025, 1, 2), d(2025, 1, 3), d(2025, 1, 4)};
    const StampResult r = stampRepetition(store, dates, "<Gym>\r\n");
    EXPECT_FALSE(r.refused);
    EXPECT_EQ(r.added, (std::vector<size_t>{0, 2, 3}));
    EXPECT_EQ(r.tooLong, (std::vector<size_t>{1}));
    EXPECT_EQ(textOf(d(2025, 1, 1)), fill988 + "\r\n<Gym>\r\n");
    EXPECT_EQ(textOf(d(2025, 1, 2)), fill992);
    EXPECT_EQ(textOf(d(2025, 1, 3)), fill989 + "\r\n<Gym>\r\n\r\n");
    EXPECT_EQ(textOf(d(2025, 1, 4)), "<Gym>\r\n");
}

TEST_F(Stamping, ExactlyThousandCharactersIsAllowed) {
    const std::string text(991, 'x');  // 991 + 2 + 7 = 1000
    makeCalendar({{d(2025, 1, 1), text}, {d(2025, 1, 2), text + "y"}});
    const StampResult r = stampRepetition(store, {d(2025, 1, 1), d(2025, 1, 2)}, "<Gym>\r\n");
    EXPECT_EQ(r.added, (std::vector<size_t>{0}));
    EXPECT_EQ(r.tooLong, (std::vector<size_t>{1}));
    EXPECT_EQ(textOf(d(2025, 1, 1)).size(), 1000u);
}

TEST_F(Stamping, AnOverlongLineIsSkippedEverywhereAndNeedsNoDays) {
    const std::string line = "<" + std::string(1000, 'z') + ">\r\n";
    const StampResult r = stampRepetition(store, {d(2025, 1, 1), d(2025, 1, 2)}, line);
    EXPECT_EQ(r.newDaysNeeded, 0);
    EXPECT_EQ(r.tooLong.size(), 2u);
    EXPECT_FALSE(store.FindDay(d(2025, 1, 1)));
}

TEST_F(Stamping, RunningARepetitionTwiceWritesEveryLineTwice) {
    const std::vector<int> dates = {d(2025, 3, 1), d(2025, 3, 8)};
    EXPECT_EQ(stampRepetition(store, dates, "<Gym>\r\n").added.size(), 2u);
    EXPECT_EQ(stampRepetition(store, dates, "<Gym>\r\n").added.size(), 2u);
    EXPECT_EQ(textOf(d(2025, 3, 8)), "<Gym>\r\n<Gym>\r\n\r\n");
    CalDb reread;
    reread.LoadStore(file);
    EXPECT_EQ(reread.LoadedCount, 2);
}

TEST_F(Stamping, DryRunWritesNothingAndForeseesTheRealRun) {
    makeCalendar({{d(2025, 1, 1), "<A x>\r\n"}});
    const std::vector<StampItem> items = {{d(2025, 1, 1), "<A x>\r\n"},
                                          {d(2025, 1, 2), "<B y>\r\n"},
                                          {d(2025, 1, 2), "<B y>\r\n"},
                                          {d(2025, 1, 2), "<C z>\r\n"}};
    const std::string before = dir.read("Cal.DBX");
    const StampResult dry = stampItems(store, items, true);
    EXPECT_EQ(dir.read("Cal.DBX"), before);
    EXPECT_EQ(store.keyList.size(), 1);
    const StampResult real = stampItems(store, items);
    EXPECT_EQ(dry.added, real.added);
    EXPECT_EQ(dry.alreadyPresent, real.alreadyPresent);
    EXPECT_EQ(real.added, (std::vector<size_t>{1, 3}));
    EXPECT_EQ(real.alreadyPresent, (std::vector<size_t>{0, 2}));
    EXPECT_EQ(textOf(d(2025, 1, 2)), "<B y>\r\n<C z>\r\n\r\n");
}

class Capacity : public Stamping {
protected:
    // A calendar of n days from 1 January 2000 on.
    void fill(int n) {
        std::vector<std::pair<int, std::string>> days;
        for (int i = 0; i < n; ++i) days.emplace_back(d(2000, 1, 1) + i, "x");
        makeCalendar(days);
    }
};

TEST_F(Capacity, RefusesBeforeWritingWhenTheCalendarWouldReach10000Days) {
    fill(9990);
    const std::string before = dir.read("Cal.DBX");
    std::vector<int> dates;
    for (int i = 0; i < 10; ++i) dates.push_back(d(2040, 1, 1) + i);
    dates.push_back(d(2000, 1, 1));  // has a record: needs no new day
    const StampResult r = stampRepetition(store, dates, "<Gym>\r\n");
    EXPECT_TRUE(r.refused);
    EXPECT_EQ(r.newDaysNeeded, 10);
    EXPECT_EQ(r.roomLeft, 9);
    EXPECT_TRUE(r.added.empty());
    EXPECT_EQ(dir.read("Cal.DBX"), before);
    EXPECT_EQ(capacityMessage(r),
              "Nothing has been added: these entries need 10 new days in the calendar, but it can take only 9 "
              "more. A calendar holds at most 9999 days; beyond that its oldest days would be removed.");

    dates.erase(dates.begin());  // nine new days: 9999 in all
    const StampResult ok = stampRepetition(store, dates, "<Gym>\r\n");
    EXPECT_FALSE(ok.refused);
    EXPECT_EQ(ok.added.size(), 10u);
    CalDb reread;
    reread.LoadStore(file);
    EXPECT_EQ(reread.LoadedCount, 9999);  // nothing purged
}

TEST_F(Capacity, DeletedDaysLeaveRoomAndExistingDaysNeedNone) {
    fill(9999);
    EXPECT_EQ(liveDayCount(store), 9999);
    EXPECT_FALSE(stampRepetition(store, {d(2000, 1, 5), d(2000, 1, 6)}, "<Gym>\r\n").refused);
    EXPECT_TRUE(stampRepetition(store, {d(2040, 1, 1)}, "<Gym>\r\n").refused);
    ASSERT_TRUE(store.FindDay(d(2000, 1, 1)));
    store.DeleteCurrentDay();
    EXPECT_EQ(liveDayCount(store), 9998);
    const StampResult r = stampRepetition(store, {d(2040, 1, 1), d(2040, 1, 1)}, "<Gym>\r\n");
    EXPECT_FALSE(r.refused);  // the same new day twice is one day
    EXPECT_EQ(r.newDaysNeeded, 1);
}

TEST_F(Capacity, BirthdaysAreRefusedAlike) {
    fill(9999);
    BirthdayList list;
    list.setCell(BirthdayList::colMonth, 1, "8");
    list.setCell(BirthdayList::colDay, 1, "14");
    const StampResult r = stampItems(store, birthdayItems(list, 2050));
    EXPECT_TRUE(r.refused);
    EXPECT_EQ(r.roomLeft, 0);
}

BirthdayList birthdays(std::initializer_list<std::array<const char*, 4>> rows) {
    BirthdayList list;
    int r = 0;
    for (const auto& row : rows) {
        if (++r > 1) list.appendRow();
        for (int c = 0; c < 4; ++c) list.setCell(c + 1, r, row[static_cast<size_t>(c)]);
    }
    return list;
}

TEST(BirthdayItems, OnlyRowsThatMakeADateInTheYear) {
    const BirthdayList list = birthdays({{"Ann", "Birthday", "8", "14"},
                                         {"Leap", "Birthday", "2", "29"},
                                         {"Bad", "Month", "13", "1"},
                                         {"Text", "Month", "8a", "1"},
                                         {"Zero", "Day", "1", "0"},
                                         {"", "Party", " 1", "+1"},
                                         {"", "", "", ""}});
    const auto common = birthdayItems(list, 2025);
    ASSERT_EQ(common.size(), 2u);
    EXPECT_EQ(common[0].date, d(2025, 8, 14));
    EXPECT_EQ(common[0].line, "<Ann Birthday>\r\n");
    EXPECT_EQ(common[1].date, d(2025, 1, 1));
    EXPECT_EQ(common[1].line, "< Party>\r\n");
    const auto leap = birthdayItems(list, 2024);
    ASSERT_EQ(leap.size(), 3u);
    EXPECT_EQ(leap[1].date, d(2024, 2, 29));
    const auto century = birthdayItems(list, 2100);
    EXPECT_EQ(century.size(), 2u);
    EXPECT_EQ(birthdayItems(list, 2000).size(), 3u);
}

TEST(BirthdayItems, OnlyRowWithoutMonthGivesNothing) {
    EXPECT_TRUE(birthdayItems(birthdays({{"Ann", "Birthday", "", "14"}}), 2025).empty());
}

TEST_F(Stamping, BirthdaysTwiceAddNothingAndAnotherYearAddsAgain) {
    const BirthdayList list = birthdays({{"Ann", "Birthday", "8", "14"}, {"Bob", "Wedding", "8", "14"}});
    StampResult r = stampItems(store, birthdayItems(list, 2025));
    EXPECT_EQ(r.added.size(), 2u);
    EXPECT_EQ(textOf(d(2025, 8, 14)), "<Ann Birthday>\r\n<Bob Wedding>\r\n\r\n");
    r = stampItems(store, birthdayItems(list, 2025));
    EXPECT_TRUE(r.added.empty());
    EXPECT_EQ(r.alreadyPresent.size(), 2u);
    EXPECT_EQ(textOf(d(2025, 8, 14)), "<Ann Birthday>\r\n<Bob Wedding>\r\n\r\n");
    r = stampItems(store, birthdayItems(list, 2026));
    EXPECT_EQ(r.added.size(), 2u);
    EXPECT_EQ(textOf(d(2026, 8, 14)), "<Ann Birthday>\r\n<Bob Wedding>\r\n\r\n");
}

TEST_F(Stamping, AFailureStampsNothing) {
    makeCalendar({{d(2025, 1, 1), "x"}});
    // A folder in the calendar file's place: every read and write of it fails, whoever runs the test.
    ::unlink(file.c_str());
    ASSERT_EQ(::mkdir(file.c_str(), 0755), 0);
    EXPECT_THROW(stampRepetition(store, {d(2025, 1, 1), d(2025, 1, 2), d(2025, 1, 3)}, "<Gym>\r\n"), IoError);
    EXPECT_THROW(stampItems(store, {{d(2025, 1, 1), "<a>\r\n"}, {d(2025, 1, 2), "<b>\r\n"}}), IoError);
    ::rmdir(file.c_str());
}

TEST(StampMessages, TooLongListsTheDatesAndHowManyMore) {
    EXPECT_EQ(tooLongMessage({d(2025, 8, 14)}),
              "The entry was not added to the following day, because the day's reminders would become longer "
              "than 1000 characters:\rThursday, 14 August 2025");
    std::vector<int> many;
    for (int i = 0; i < 25; ++i) many.push_back(d(2025, 1, 1) + i);
    const std::string m = tooLongMessage(many);
    EXPECT_NE(m.find("\rMonday, 20 January 2025\rand 5 more."), std::string::npos);
    EXPECT_EQ(m.find("21 January"), std::string::npos);
}

}  // namespace
}  // namespace orv
