#include <gtest/gtest.h>

#include "common/day_number.h"
#include "events/ical_reader.h"
#include "support/local_zone.h"

namespace orv {
namespace {

int d(int y, int m, int day) { return dayNumber(y, m, day); }

std::string calendar(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n" + body + "END:VCALENDAR\r\n";
}

std::string event(const std::string& props) { return "BEGIN:VEVENT\r\n" + props + "END:VEVENT\r\n"; }

// The entries as "YYYY-MM-DD <line>" without the line break, for readable comparisons.
std::vector<std::string> lines(IcalReader& reader, int first, int last) {
    std::vector<std::string> out;
    for (const StampItem& item : reader.entries(first, last)) {
        const Ymd ymd = toYmd(item.date);
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", ymd.year, ymd.month, ymd.day);
        EXPECT_EQ(item.line.substr(item.line.size() - 2), "\r\n");
        out.push_back(std::string(date) + " " + item.line.substr(0, item.line.size() - 2));
    }
    return out;
}

// A zone of the file's own, three hours ahead of UTC all year.
const std::string kPlusThree =
    "BEGIN:VTIMEZONE\r\nTZID:Plus Three\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
    "TZOFFSETFROM:+0300\r\nTZOFFSETTO:+0300\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

TEST(IcalReader, TimesGoToTheLocalZoneAndLongEventsCoverTheirDays) {
    test::LocalZone zone("Europe/Berlin");
    IcalReader reader(calendar(
        kPlusThree + event("UID:1\r\nDTSTART:20260701T080000Z\r\nSUMMARY:Call\r\n") +
        event("UID:2\r\nDTSTART;TZID=America/New_York:20260115T200000\r\nSUMMARY:Late\r\n") +
        event("UID:3\r\nDTSTART:20260301T093000\r\nSUMMARY:Floating\r\n") +
        event("UID:4\r\nDTSTART;TZID=Plus Three:20260302T120000\r\nSUMMARY:Own zone\r\n") +
        event("UID:5\r\nDTSTART;TZID=Europe/Berlin:20260410T220000\r\nDTEND;TZID=Europe/Berlin:20260412T100000\r\n"
              "SUMMARY:Trip\r\n") +
        event("UID:6\r\nDTSTART;TZID=Europe/Berlin:20260420T200000\r\nDTEND;TZID=Europe/Berlin:20260421T000000\r\n"
              "SUMMARY:Till midnight\r\n") +
        event("UID:7\r\nDTSTART;VALUE=DATE:20260501\r\nDTEND;VALUE=DATE:20260504\r\nSUMMARY:Holiday\r\n") +
        event("UID:8\r\nDTSTART;VALUE=DATE:20260601\r\nDURATION:P2D\r\nSUMMARY:  Two days \r\n") +
        event("UID:9\r\nDTSTART:20260601T070000Z\r\nSUMMARY:Early\r\n")));
    EXPECT_EQ(lines(reader, d(2026, 1, 1), d(2026, 12, 31)),
              (std::vector<std::string>{
                  "2026-01-16 <02:00 Late>",
                  "2026-03-01 <09:30 Floating>",
                  "2026-03-02 <10:00 Own zone>",
                  "2026-04-10 <22:00 Trip>",
                  "2026-04-11 <Trip>",
                  "2026-04-12 <Trip>",
                  "2026-04-20 <20:00 Till midnight>",
                  "2026-05-01 <Holiday>",
                  "2026-05-02 <Holiday>",
                  "2026-05-03 <Holiday>",
                  "2026-06-01 <Two days>",  // all-day lines before timed ones
                  "2026-06-01 <09:00 Early>",
                  "2026-06-02 <Two days>",
                  "2026-07-01 <10:00 Call>",
              }));
    // The span cuts long events too.
    EXPECT_EQ(lines(reader, d(2026, 4, 11), d(2026, 5, 1)),
              (std::vector<std::string>{"2026-04-11 <Trip>", "2026-04-12 <Trip>", "2026-04-20 <20:00 Till midnight>",
                                        "2026-05-01 <Holiday>"}));
}

TEST(IcalReader, RepetitionsWithTheirExceptions) {
    test::LocalZone zone("UTC");
    IcalReader reader(calendar(
        // Every other Monday, five times; the second moved, the third cancelled, an extra date added.
        event("UID:a\r\nDTSTART;VALUE=DATE:20260105\r\nRRULE:FREQ=WEEKLY;INTERVAL=2;COUNT=5\r\n"
              "RDATE;VALUE=DATE:20260110\r\nSUMMARY:Bins\r\n") +
        event("UID:a\r\nRECURRENCE-ID;VALUE=DATE:20260119\r\nDTSTART;VALUE=DATE:20260120\r\n") +
        event("UID:a\r\nRECURRENCE-ID;VALUE=DATE:20260202\r\nDTSTART;VALUE=DATE:20260202\r\nSTATUS:CANCELLED\r\n"
              "SUMMARY:Bins\r\n") +
        // Daily at 07:00 in January's first week, without the 3rd (a date excludes the whole day) and
        // without what the exception rule gives (the 5th).
        event("UID:b\r\nDTSTART:20260101T070000Z\r\nRRULE:FREQ=DAILY;UNTIL=20260107T235959Z\r\n"
              "EXDATE;VALUE=DATE:20260103\r\nEXRULE:FREQ=DAILY;COUNT=1;BYMONTHDAY=5\r\nSUMMARY:Run\r\n") +
        // The start counts even when the rule would not give it.
        event("UID:c\r\nDTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=MONTHLY;BYDAY=2FR;COUNT=2\r\nSUMMARY:Pay\r\n") +
        // A cancelled series gives nothing; a lone changed occurrence stands for itself.
        event("UID:d\r\nDTSTART;VALUE=DATE:20260108\r\nRRULE:FREQ=DAILY\r\nSTATUS:CANCELLED\r\nSUMMARY:Off\r\n") +
        event("UID:e\r\nRECURRENCE-ID;VALUE=DATE:20260101\r\nDTSTART;VALUE=DATE:20260109\r\nSUMMARY:Lone\r\n")));
    EXPECT_EQ(lines(reader, d(2026, 1, 1), d(2026, 3, 31)),
              (std::vector<std::string>{
                  "2026-01-01 <Pay>",
                  "2026-01-01 <07:00 Run>",
                  "2026-01-02 <07:00 Run>",
                  "2026-01-04 <07:00 Run>",
                  "2026-01-05 <Bins>",
                  "2026-01-06 <07:00 Run>",
                  "2026-01-07 <07:00 Run>",
                  "2026-01-09 <Pay>",
                  "2026-01-09 <Lone>",
                  "2026-01-10 <Bins>",
                  "2026-01-20 <Bins>",  // moved, its summary from the series
                  "2026-02-13 <Pay>",
                  "2026-02-16 <Bins>",
                  "2026-03-02 <Bins>",
              }));
}

TEST(IcalReader, EndlessRulesStopAtTheSpanAndLeapDaysStayInLeapYears) {
    test::LocalZone zone("UTC");
    IcalReader reader(calendar(
        event("UID:1\r\nDTSTART;VALUE=DATE:19900101\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:New year\r\n") +
        event("UID:2\r\nDTSTART;VALUE=DATE:20240229\r\nRRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29\r\nSUMMARY:Leap\r\n") +
        event("UID:3\r\nDTSTART;VALUE=DATE:20240229\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Plain\r\n")));
    EXPECT_EQ(lines(reader, d(2025, 1, 1), d(2028, 12, 31)),
              (std::vector<std::string>{"2025-01-01 <New year>", "2026-01-01 <New year>", "2027-01-01 <New year>",
                                        "2028-01-01 <New year>", "2028-02-29 <Leap>", "2028-02-29 <Plain>"}));
    // Old rules keep their rhythm however far the span lies from their start.
    IcalReader old(calendar(
        event("UID:1\r\nDTSTART;VALUE=DATE:19000103\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\nSUMMARY:Fortnight\r\n") +
        event("UID:2\r\nDTSTART:19500101T120000Z\r\nRRULE:FREQ=MONTHLY;BYDAY=-1FR\r\nSUMMARY:Last Friday\r\n") +
        event("UID:3\r\nDTSTART;VALUE=DATE:19991230\r\nDURATION:P9D\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Break\r\n")));
    EXPECT_EQ(lines(old, d(2026, 1, 1), d(2026, 1, 31)),
              (std::vector<std::string>{"2026-01-01 <Break>", "2026-01-02 <Break>", "2026-01-03 <Break>",
                                        "2026-01-04 <Break>", "2026-01-05 <Break>", "2026-01-06 <Break>",
                                        "2026-01-07 <Break>", "2026-01-14 <Fortnight>", "2026-01-28 <Fortnight>",
                                        "2026-01-30 <12:00 Last Friday>"}));
}

TEST(IcalReader, OverlappingOccurrencesGiveEachDayItsLineOnce) {
    test::LocalZone zone("UTC");
    // A thousand years long, every year again: every day of any span, once.
    IcalReader reader(calendar(
        event("UID:1\r\nDTSTART;VALUE=DATE:10130604\r\nDTEND;VALUE=DATE:20261209\r\nRRULE:FREQ=YEARLY\r\n"
              "SUMMARY:Era\r\n") +
        event("UID:2\r\nDTSTART:20251231T220000Z\r\nDURATION:P3D\r\nRRULE:FREQ=DAILY;COUNT=2\r\nSUMMARY:Camp\r\n")));
    EXPECT_EQ(
        lines(reader, d(2026, 1, 1), d(2026, 1, 3)),
        (std::vector<std::string>{"2026-01-01 <Era>", "2026-01-01 <Camp>", "2026-01-01 <22:00 Camp>",
                                  "2026-01-02 <Era>", "2026-01-02 <Camp>", "2026-01-03 <Era>", "2026-01-03 <Camp>"}));
}

TEST(IcalReader, NotesSayWhatCouldNotBeKept) {
    test::LocalZone zone("UTC");
    IcalReader reader(calendar(
        event("UID:1\r\nDTSTART;TZID=Mars/Olympus:20260101T100000\r\nSUMMARY:Snow \xE2\x98\x83 and \xE2\x82\xAC\r\n") +
        event("UID:2\r\nDTSTART;VALUE=DATE:20260102\r\n") +
        event("UID:3\r\nDTSTART;VALUE=DATE:20260103\r\nSUMMARY:Line\\none\r\n")));
    EXPECT_EQ(lines(reader, d(2026, 1, 1), d(2026, 1, 31)),
              (std::vector<std::string>{"2026-01-01 <10:00 Snow ☃ and €>", "2026-01-03 <Line one>"}));
    const auto& notes = reader.notes();
    ASSERT_EQ(notes.size(), 2u);  // every character is kept: nothing to say about them
    EXPECT_NE(notes[0].find("Mars/Olympus"), std::string::npos);
    EXPECT_NE(notes[1].find("without a summary"), std::string::npos);
}

TEST(IcalReader, DamagedFilesAreRefusedWithTheReason) {
    const std::string ok = event("UID:1\r\nDTSTART;VALUE=DATE:20260101\r\nSUMMARY:x\r\n");
    struct Case {
        const char* name;
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", "", "not an iCalendar file"},
        {"plain text", "Dentist on Tuesday\r\n", "not an iCalendar file"},
        {"other format", "BEGIN:VCARD\r\nFN:Ann\r\nEND:VCARD\r\n", "not an iCalendar file"},
        {"cut short", calendar(ok).substr(0, calendar(ok).find("END:VEVENT")), "cut short"},
        {"no end of calendar", "BEGIN:VCALENDAR\r\n" + ok, "cut short"},
        {"crossed ends", calendar("BEGIN:VEVENT\r\nDTSTART:20260101\r\nEND:VTODO\r\n"), "line 6: END:VTODO"},
        {"stray end", calendar("END:VEVENT\r\n" + ok), "END:VEVENT does not close BEGIN:VCALENDAR"},
        {"end before begin", "END:VCALENDAR\r\n", "not an iCalendar file"},
        {"no colon", calendar(event("UID:1\r\nDTSTART:20260101\r\nthis is no property\r\n")), "line 7"},
        {"after the calendar", calendar(ok) + "SUMMARY:x\r\n", "outside a calendar"},
        {"continuation first", " BEGIN:VCALENDAR\r\n", "continued line"},
        {"zero byte", calendar(std::string("UID:1\0", 6)), "zero bytes"},
        {"Latin-1", calendar(event("DTSTART:20260101\r\nSUMMARY:Caf\xe9\r\n")), "not UTF-8"},
        {"no start", calendar(event("UID:1\r\nSUMMARY:x\r\n")), "has no start"},
        {"unreadable start", calendar(event("DTSTART:soon\r\nSUMMARY:x\r\n")), "DTSTART"},
        {"impossible start", calendar(event("DTSTART;VALUE=DATE:20261399\r\nSUMMARY:x\r\n")), "impossible start"},
        {"impossible time", calendar(event("DTSTART:20260101T256000\r\nSUMMARY:x\r\n")), "impossible start"},
        {"impossible end", calendar(event("DTSTART:20260101\r\nDTEND:20260231\r\nSUMMARY:x\r\n")), "impossible end"},
        {"bad rule", calendar(event("DTSTART:20260101\r\nRRULE:FREQ=SOMETIMES\r\nSUMMARY:x\r\n")), "RRULE"},
        {"bad exception", calendar(event("DTSTART:20260101\r\nEXDATE:never\r\nSUMMARY:x\r\n")), "EXDATE"},
        {"bad parameter", calendar(event("DTSTART;VALUE=SOON:20260101\r\nSUMMARY:x\r\n")), "VALUE=SOON"},
        {"bad zone",
         calendar("BEGIN:VTIMEZONE\r\nTZID:Z\r\nBEGIN:STANDARD\r\nDTSTART:never\r\nEND:STANDARD\r\n"
                  "END:VTIMEZONE\r\n" +
                  ok),
         "time zone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            IcalReader reader(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const IcalError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
    // What the checks must not refuse: a byte order mark, bare line feeds, folded lines, blank lines at
    // the end, two calendars in one file.
    const std::string folded =
        "BEGIN:VEVENT\nUID:1\nDTSTART;VALUE=DATE:20260101\nSUMMARY:A long\n  summary\nEND:VEVENT\n";
    IcalReader fine("\xEF\xBB\xBF" + calendar(folded) + "\r\n\r\n" + calendar(ok));
    EXPECT_EQ(lines(fine, d(2026, 1, 1), d(2026, 1, 1)),
              (std::vector<std::string>{"2026-01-01 <A long summary>", "2026-01-01 <x>"}));
}

TEST(IcalReader, ARuleTooDenseToFollowIsRefused) {
    IcalReader reader(calendar(event("DTSTART:20000101T000000Z\r\nRRULE:FREQ=SECONDLY\r\nSUMMARY:Tick\r\n")));
    EXPECT_THROW(reader.entries(d(2026, 1, 1), d(2026, 1, 2)), IcalError);
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

// Files made to cost time or memory: each is refused before the library spends much on it, or read with
// the offending part left out and named once.
TEST(IcalReader, HostileFilesAreRefusedOrReadWithinBounds) {
    const std::string ok = event("UID:ok\r\nDTSTART;VALUE=DATE:20260101\r\nSUMMARY:x\r\n");
    std::string nested = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 400'000; ++i) nested += "BEGIN:X\r\n";
    std::string manyRules;
    for (int i = 0; i < 200; ++i)
        manyRules += event("UID:r" + std::to_string(i) +
                           "\r\nDTSTART:20260101T000000Z\r\nRRULE:FREQ=MINUTELY;COUNT=5000\r\nSUMMARY:r\r\n");
    std::string folded = "SUMMARY:";
    for (int i = 0; i < 20'000; ++i) folded += "0123456789012345678901234567890123456789012345678901234567890123\r\n ";
    struct Case {
        const char* name;
        std::string text;
        const char* refusal;  // nullptr: read, with notes
        std::vector<std::string> lines;
        size_t notes;
    };
    const std::vector<Case> cases = {
        {"a zone with a minutely rule",
         calendar("BEGIN:VTIMEZONE\r\nTZID:Tick\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nRRULE:FREQ=MINUTELY\r\n"
                  "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n" +
                  event("UID:z\r\nDTSTART;TZID=Tick:20260101T100000\r\nSUMMARY:z\r\n")),
         "time zone \"Tick\"", {}, 0},
        {"200 short rules, one budget", calendar(manyRules), "repeats too often", {}, 0},
        {"a summary of a megabyte", calendar(event("UID:1\r\nDTSTART;VALUE=DATE:20260101\r\nSUMMARY:" +
                                                   std::string(1 << 20, 'a') + "\r\n") + ok),
         nullptr, {"2026-01-01 <x>"}, 2},  // the line, and the event left without a summary
        {"a long line folded many times", calendar(event("UID:2\r\nDTSTART;VALUE=DATE:20260101\r\n" + folded +
                                                         "x\r\nDESCRIPTION:" + std::string(5 << 20, 'd') + "\r\n") +
                                                   ok),
         nullptr, {"2026-01-01 <x>"}, 3},
        {"components nested 400,000 deep", nested, "nested more than", {}, 0},
        {"a BEGIN line too long to be one", calendar("BEGIN:" + std::string(100'000, 'V') + "\r\n"), "bytes", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            IcalReader reader(c.text);
            const auto got = lines(reader, d(2026, 1, 1), d(2026, 12, 31));
            if (c.refusal) {
                ADD_FAILURE() << "accepted";
                continue;
            }
            EXPECT_EQ(got, c.lines);
            EXPECT_EQ(reader.notes().size(), c.notes);
            for (const std::string& note : reader.notes()) EXPECT_LT(note.size(), 200u) << note.substr(0, 200);
        } catch (const IcalError& e) {
            if (!c.refusal) ADD_FAILURE() << e.what();
            else EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << e.what();
        }
    }
}

// Over-long lines are named up to a few, then counted.
TEST(IcalReader, ManyLongLinesAreNamedOnce) {
    std::string body;
    for (int i = 0; i < 8; ++i)
        body += event("UID:" + std::to_string(i) + "\r\nDTSTART;VALUE=DATE:20260101\r\nSUMMARY:s\r\nDESCRIPTION:" +
                      std::string(70'000, 'd') + "\r\n");
    IcalReader reader(calendar(body));
    ASSERT_EQ(reader.notes().size(), 6u);
    EXPECT_NE(reader.notes()[0].find("DESCRIPTION"), std::string::npos) << reader.notes()[0];
    EXPECT_NE(reader.notes()[5].find("3 more"), std::string::npos) << reader.notes()[5];
    EXPECT_EQ(lines(reader, d(2026, 1, 1), d(2026, 1, 1)), (std::vector<std::string>{"2026-01-01 <s>"}));
}

}  // namespace
}  // namespace orv
