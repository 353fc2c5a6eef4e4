#include <gtest/gtest.h>

#include "common/day_number.h"
#include "store/cal_db.h"
#include "support/cli_fixture.h"
#include "support/local_zone.h"

namespace orv {
namespace {

class IcalCli : public test::CliFixture {
protected:
    void SetUp() override {
        today = Clock(dayNumber(2026, 6, 15));
        dir.write("CalUsers.DAT", "Home\r\nOther\r\n");
    }
    // The calendar's file, to show that a refused import left it as it was.
    std::string homeFile() { return dir.read("Data/Home.DBX"); }

    test::LocalZone zone{"America/New_York"};
};

std::string calendar(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n" + body + "END:VCALENDAR\r\n";
}

TEST_F(IcalCli, ExportThenImportGivesTheSameEntryLines) {
    dir.write("Events.dat",
              "6,2\r\ncw 0,35\r\ncw 1,156\r\ncw 2,153\r\ncw 3,42\r\ncw 4,34\r\ncw 5,32\r\ncw 6,40\r\n"
              "1,1,Ann\r\n2,1,Birthday\r\n3,1,2\r\n4,1,29\r\n1,2,Caf\xe9 Bob\r\n2,2,Opening\r\n3,2,3\r\n4,2,10\r\n");
    // Days with one entry line each, and with a yearly date's line after it (29 February 2028).
    ASSERT_EQ(run({"repeat", "Gym", "--from", "2027-02-16", "--weeks", "1", "--until", "2028-03-20"}).status, 0);
    ASSERT_EQ(run({"repeat",
                   "Rent \xE2\x82\xAC"
                   "5, due",
                   "--from", "2027-01-31", "--years", "1"})
                  .status,
              0);
    for (const char* year : {"2027", "2028"}) ASSERT_EQ(run({"birthdays", year}).status, 0);

    const test::CliResult exported =
        run({"export", dir.file("home.ics"), "--from", "2027-01-01", "--to", "2028-12-31"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, dir.file("home.ics") + ": 61 days, 2 yearly dates\n");

    const test::CliResult imported =
        run({"--calendar", "Other", "import", dir.file("home.ics"), "--from", "2027-01-01", "--to", "2028-12-31"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, "");
    const std::string home = run({"show", "2027-01-01", "2028-12-31"}).out;
    EXPECT_NE(home.find("2028-02-29\n  <Gym>\n  <Ann Birthday>\n"), std::string::npos) << home;
    EXPECT_NE(home.find("  <Rent \xE2\x82\xAC"
                        "5, due>\n"),
              std::string::npos)
        << home;
    EXPECT_EQ(run({"--calendar", "Other", "show", "2027-01-01", "2028-12-31"}).out, home);

    // Everything is there already: a second import adds nothing and leaves the file alone.
    const std::string other = dir.read("Data/Other.DBX");
    const test::CliResult again =
        run({"--calendar", "Other", "import", dir.file("home.ics"), "--from", "2027-01-01", "--to", "2028-12-31"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(dir.read("Data/Other.DBX"), other);
}

// Exported and imported into an empty calendar, every day comes back as it was, not only its first line.
TEST_F(IcalCli, ExportedDaysComeBackWhole) {
    std::string longest;  // folded across its characters, near the most bytes a day takes
    for (int i = 0; i < 85; ++i) longest += "za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87 ";
    longest += "\r\nend";
    const std::vector<std::string> texts = {
        "Dentist 10am\r\nBring the card",
        "<Gym>\r\n<Ann Birthday>\r\n",
        "\r\n  \r\nAfter blank lines; a, b\\c",
        "Tab\there\r\n\r\n\r\nthree breaks",
        "Caf\xc3\xa9 \xe2\x82\xac 5",
        longest,
    };
    ASSERT_EQ(run({"set", "2027-03-01", "x"}).status, 0);
    const int first = dayNumber(2027, 3, 1);
    {
        CalDb home;
        home.LoadStore(dir.file("Data/Home.DBX"));
        for (size_t i = 0; i < texts.size(); ++i) home.writeDay(first + static_cast<int>(i), texts[i]);
        home.FlushCurrentCalendar();
    }
    ASSERT_EQ(run({"export", dir.file("home.ics")}).status, 0);
    const test::CliResult imported =
        run({"--calendar", "Other", "import", dir.file("home.ics"), "--from", "2027-01-01", "--to", "2027-12-31"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("2027-03-01 Dentist 10am\n"), std::string::npos) << imported.out;
    CalDb other;
    other.LoadStore(dir.file("Data/Other.DBX"));
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(other.readDay(first + static_cast<int>(i)), std::optional<std::string>(texts[i]));
    }
    // Imported again, into the same calendar: nothing is added.
    const std::string before = dir.read("Data/Other.DBX");
    const test::CliResult again =
        run({"--calendar", "Other", "import", dir.file("home.ics"), "--from", "2027-01-01", "--to", "2027-12-31"});
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(dir.read("Data/Other.DBX"), before);
}

TEST_F(IcalCli, WeeklyEventWithTwoExceptionsAndATimedEvent) {
    // Berlin's rules written into the file, as other planners do.
    const std::string berlin =
        "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
        "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\nDTSTART:19700329T020000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
        "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\nDTSTART:19701025T030000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
    dir.write(
        "week.ics",
        calendar(berlin + "BEGIN:VEVENT\r\nUID:standup\r\nDTSTAMP:20260101T000000Z\r\n"
                          "DTSTART;TZID=Europe/Berlin:20260106T090000\r\nDTEND;TZID=Europe/Berlin:20260106T091500\r\n"
                          "RRULE:FREQ=WEEKLY;COUNT=6\r\nEXDATE;TZID=Europe/Berlin:20260113T090000\r\n"
                          "SUMMARY:Standup\r\nEND:VEVENT\r\n"
                          "BEGIN:VEVENT\r\nUID:standup\r\nDTSTAMP:20260101T000000Z\r\n"
                          "RECURRENCE-ID;TZID=Europe/Berlin:20260127T090000\r\n"
                          "DTSTART;TZID=Europe/Berlin:20260129T110000\r\nSUMMARY:Standup (moved)\r\nEND:VEVENT\r\n"
                          "BEGIN:VEVENT\r\nUID:dentist\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20260120T133000Z\r\n"
                          "DURATION:PT45M\r\nSUMMARY:Dentist\r\nEND:VEVENT\r\n"));
    run({"set", "2026-02-03", "Call Ann"});

    const test::CliResult r = run({"import", dir.file("week.ics"), "--from", "2026-01-01", "--to", "2026-12-31"});
    ASSERT_EQ(r.status, 0) << r.err;
    // In New York: 09:00 in Berlin is 03:00, 13:30 UTC is 08:30.
    EXPECT_EQ(r.out,
              "2026-01-06 <03:00 Standup>\n"
              "2026-01-20 <03:00 Standup>\n"
              "2026-01-20 <08:30 Dentist>\n"
              "2026-01-29 <05:00 Standup (moved)>\n"
              "2026-02-03 <03:00 Standup>\n"
              "2026-02-10 <03:00 Standup>\n");
    EXPECT_EQ(run({"show", "2026-01-01", "2026-12-31"}).out,
              "2026-01-06\n  <03:00 Standup>\n"
              "2026-01-20\n  <03:00 Standup>\n  <08:30 Dentist>\n  \n"
              "2026-01-29\n  <05:00 Standup (moved)>\n"
              "2026-02-03\n  Call Ann\n  <03:00 Standup>\n"
              "2026-02-10\n  <03:00 Standup>\n");
}

TEST_F(IcalCli, DamagedFilesChangeNothing) {
    run({"set", "2026-06-01", "keep me"});
    const std::string before = homeFile();
    const std::string good = "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260601\r\nSUMMARY:x\r\nEND:VEVENT\r\n";
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"a note", "Buy milk\r\n"},
        {"cut short", calendar(good).substr(0, calendar(good).size() - 15)},
        {"second event broken", calendar(good + "BEGIN:VEVENT\r\nDTSTART:20260231\r\nSUMMARY:y\r\nEND:VEVENT\r\n")},
        {"rule broken", calendar("BEGIN:VEVENT\r\nDTSTART:20260601\r\nRRULE:FREQ=DAILY;COUNT=x\r\nSUMMARY:y\r\n"
                                 "END:VEVENT\r\n" +
                                 good)},
        {"binary", std::string("BEGIN:VCALENDAR\r\n\x89PNG\0\0", 24)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("bad.ics", c.text);
        for (const bool dry : {false, true}) {
            std::vector<std::string> args = {"import", dir.file("bad.ics")};
            if (dry) args.push_back("--dry-run");
            const test::CliResult r = run(args);
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err.rfind("orvella-cli: " + dir.file("bad.ics") + ": ", 0), 0u) << r.err;
            EXPECT_EQ(homeFile(), before);
        }
    }
    const test::CliResult missing = run({"import", dir.file("none.ics")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("none.ics"), std::string::npos);
    EXPECT_EQ(homeFile(), before);
}

TEST_F(IcalCli, SpanDryRunLengthAndCapacity) {
    dir.write("yearly.ics", calendar("BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20000615\r\nRRULE:FREQ=YEARLY\r\n"
                                     "SUMMARY:Midsummer\r\nEND:VEVENT\r\n"));
    // From a year before today to five years after, both ends included.
    const test::CliResult dry = run({"import", dir.file("yearly.ics"), "--dry-run"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out,
              "2025-06-15 <Midsummer>\n2026-06-15 <Midsummer>\n2027-06-15 <Midsummer>\n2028-06-15 <Midsummer>\n"
              "2029-06-15 <Midsummer>\n2030-06-15 <Midsummer>\n2031-06-15 <Midsummer>\n");
    EXPECT_FALSE(dir.exists("Data/Home.DBX"));

    run({"set", "2027-06-15", std::string(990, 'a')});
    const test::CliResult r = run({"import", dir.file("yearly.ics"), "--from", "2027-01-01", "--to", "2028-12-31"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2028-06-15 <Midsummer>\n");
    EXPECT_EQ(r.err,
              "orvella-cli: skipped 2027-06-15 <Midsummer>: the day's reminders would become longer than "
              "1000 characters\n");

    const std::string before = homeFile();
    dir.write("daily.ics", calendar("BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20000101\r\nRRULE:FREQ=DAILY\r\n"
                                    "SUMMARY:Pills\r\nEND:VEVENT\r\n"));
    const test::CliResult full = run({"import", dir.file("daily.ics"), "--from", "2000-01-01", "--to", "2030-12-31"});
    EXPECT_EQ(full.status, 2);
    EXPECT_NE(full.err.find("need 11321 new days"), std::string::npos) << full.err;
    EXPECT_EQ(homeFile(), before);

    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case usage[] = {
        {{"import"}, 1},
        {{"import", "a.ics", "b.ics"}, 1},
        {{"import", "a.ics", "--from", "2027-01-01", "--to", "2026-01-01"}, 1},
        {{"import", "a.ics", "--from", "2040-01-01"}, 1},  // later than the default end
        {{"import", "a.ics", "--to", "2026-02-30"}, 2},
        {{"import", "a.ics", "--since", "2026-01-01"}, 1},
        {{"export"}, 1},
        {{"export", "a.ics", "--dry-run"}, 1},
    };
    for (const auto& c : usage) {
        SCOPED_TRACE(c.args.size());
        EXPECT_EQ(run(c.args).status, c.status);
    }
}

TEST_F(IcalCli, ExportRefusesWhatItCannotReadOrWrite) {
    run({"set", "2026-06-01", "x"});
    EXPECT_EQ(run({"export", dir.file("no such folder/out.ics")}).status, 2);
    dir.write("Events.dat", "garbage");
    const test::CliResult r = run({"export", dir.file("out.ics")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Events.dat"), std::string::npos);
    EXPECT_FALSE(dir.exists("out.ics"));
}

}  // namespace
}  // namespace orv
