#include <gtest/gtest.h>

#include <libical/ical.h>

#include "common/day_number.h"
#include "events/birthday_list.h"
#include "events/ical_writer.h"
#include "store/cal_db.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

constexpr std::time_t kStamp = 1'780'000'000;

int d(int y, int m, int day) { return dayNumber(y, m, day); }

// The library's own reading of a file: the parsed tree (null when it cannot read it), with every
// restriction of the standard checked.
struct Parsed {
    explicit Parsed(const std::string& text) : root(icalparser_parse_string(text.c_str())) {
        if (root) valid = icalrestriction_check(root) != 0;
    }
    ~Parsed() {
        if (root) icalcomponent_free(root);
    }
    int errors() const { return root ? icalcomponent_count_errors(root) : -1; }
    std::vector<icalcomponent*> events() const {
        std::vector<icalcomponent*> out;
        for (icalcomponent* e = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); e;
             e = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT))
            out.push_back(e);
        return out;
    }
    icalcomponent* root;
    bool valid = false;
};

std::string prop(icalcomponent* e, icalproperty_kind kind) {
    icalproperty* p = icalcomponent_get_first_property(e, kind);
    return p ? icalproperty_get_value_as_string(p) : "<none>";
}

TEST(IcalWriter, DaysBecomeAllDayEventsTheLibraryAccepts) {
    IcalWriter w("Bob Smith", kStamp);
    struct Case {
        int day;
        std::string text;
        const char* summary;  // as written, escaped
        const char* description;
    };
    const Case cases[] = {
        {d(2026, 12, 8), "Dentist 10am\r\nBring the card", "Dentist 10am", "Dentist 10am\\nBring the card"},
        {d(2026, 12, 9), "<Gym>\r\n", "Gym", "<Gym>\\n"},  // an entry line loses its marks
        {d(2026, 12, 10), "\r\n  \r\nCafé, € 5; ok", "Caf\xc3\xa9\\, \xe2\x82\xac 5\\; ok",
         "\\n  \\nCaf\xc3\xa9\\, \xe2\x82\xac 5\\; ok"},
        {d(1, 1, 1),
         "first\x01"
         "day",
         "first day", "first day"},  // control characters are not allowed
        {maxDayNumber(), "last day", "last day", "last day"},
    };
    for (const auto& c : cases) EXPECT_TRUE(w.addDay(c.day, c.text));
    EXPECT_FALSE(w.addDay(d(2026, 12, 11), "\r\n <> \r\n"));  // nothing visible: no event
    EXPECT_EQ(w.eventCount(), 5);

    const std::string text = w.text();
    const Parsed parsed(text);
    ASSERT_NE(parsed.root, nullptr);
    EXPECT_TRUE(parsed.valid) << icalcomponent_as_ical_string(parsed.root);
    EXPECT_EQ(parsed.errors(), 0);
    const auto events = parsed.events();
    ASSERT_EQ(events.size(), 5u);
    for (size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        const Ymd ymd = toYmd(c.day);
        char date[16];
        std::snprintf(date, sizeof date, "%04d%02d%02d", ymd.year, ymd.month, ymd.day);
        EXPECT_NE(text.find(std::string("DTSTART;VALUE=DATE:") + date + "\r\n"), std::string::npos);
        EXPECT_EQ(prop(events[i], ICAL_UID_PROPERTY), std::string(date) + "-bob%20smith@orvella");
        EXPECT_EQ(prop(events[i], ICAL_SUMMARY_PROPERTY), c.summary);
        EXPECT_EQ(prop(events[i], ICAL_DESCRIPTION_PROPERTY), c.description);
    }
    // A day lasts until the next; the last representable day has no next one and no end.
    EXPECT_EQ(prop(events[0], ICAL_DTEND_PROPERTY), "20261209");
    EXPECT_EQ(prop(events[4], ICAL_DTEND_PROPERTY), "<none>");
}

TEST(IcalWriter, IdentifiersStayTheSameFromOneExportToTheNext) {
    IcalWriter a("Ann", kStamp), b("ANN", kStamp + 3600), other("Annie", kStamp);
    for (IcalWriter* w : {&a, &b, &other}) w->addDay(d(2027, 3, 4), "x");
    const auto uid = [](const IcalWriter& w) {
        const Parsed parsed(w.text());
        return prop(parsed.events().at(0), ICAL_UID_PROPERTY);
    };
    EXPECT_EQ(uid(a), uid(b));  // the same calendar: names compare ignoring case
    EXPECT_NE(uid(a), uid(other));
}

TEST(IcalWriter, YearlyDatesRepeatAsTheBirthdayStampingDoes) {
    IcalWriter w("Cal", kStamp);
    struct Case {
        int month, day, first, last;
        const char* start;  // nullptr: no event
        const char* rule;
    };
    const Case cases[] = {
        {8, 14, d(2026, 1, 1), maxDayNumber(), "20260814", "FREQ=YEARLY"},
        {8, 14, d(2026, 8, 15), maxDayNumber(), "20270814", "FREQ=YEARLY"},
        {8, 14, d(2026, 1, 1), d(2030, 12, 31), "20260814", "FREQ=YEARLY;UNTIL=20301231"},
        {8, 14, d(5000, 1, 1), d(5020, 12, 31), "50000814", "FREQ=YEARLY;UNTIL=50201231"},
        // 29 February: from the next leap year on, and in leap years only.
        {2, 29, d(2025, 3, 1), maxDayNumber(), "20280229", "FREQ=YEARLY;BYMONTHDAY=29;BYMONTH=2"},
        {2, 29, d(1897, 1, 1), maxDayNumber(), "19040229", "FREQ=YEARLY;BYMONTHDAY=29;BYMONTH=2"},
        {8, 14, d(2026, 8, 15), d(2027, 8, 13), nullptr, nullptr},
        {13, 1, d(2026, 1, 1), maxDayNumber(), nullptr, nullptr},
        {2, 30, d(2026, 1, 1), maxDayNumber(), nullptr, nullptr},
    };
    std::vector<const Case*> written;
    for (const auto& c : cases) {
        EXPECT_EQ(w.addYearly("Ann", "Birthday", c.month, c.day, c.first, c.last), c.start != nullptr);
        if (c.start) written.push_back(&c);
    }
    const Parsed parsed(w.text());
    EXPECT_TRUE(parsed.valid);
    const auto events = parsed.events();
    ASSERT_EQ(events.size(), written.size());
    std::set<std::string> uids;
    for (size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(prop(events[i], ICAL_DTSTART_PROPERTY), written[i]->start);
        EXPECT_EQ(prop(events[i], ICAL_RRULE_PROPERTY), written[i]->rule);
        EXPECT_EQ(prop(events[i], ICAL_SUMMARY_PROPERTY), "Ann Birthday");
        uids.insert(prop(events[i], ICAL_UID_PROPERTY));
    }
    EXPECT_EQ(uids.size(), events.size());  // identical rows still get identifiers of their own
}

TEST(IcalWriter, ExportTakesTheDaysInRangeAndTheCompleteRows) {
    test::TempDir dir;
    CalDb store;
    store.LoadStore(dir.file("Cal.DBX"));
    for (const auto& [day, text] : std::vector<std::pair<int, std::string>>{
             {d(2024, 5, 2), "b"}, {d(2023, 7, 1), "a"}, {d(2025, 1, 1), "c"}, {d(2024, 6, 1), "deleted"}})
        store.writeDay(day, text);
    store.writeDay(d(2024, 6, 1), "");
    BirthdayList yearly;
    yearly.setCell(BirthdayList::colName, 1, "Ann");
    yearly.setCell(BirthdayList::colEvent, 1, "Birthday");
    yearly.setCell(BirthdayList::colMonth, 1, "3");
    yearly.setCell(BirthdayList::colDay, 1, "9");
    yearly.appendRow();  // incomplete
    yearly.setCell(BirthdayList::colName, 2, "No day");
    yearly.setCell(BirthdayList::colMonth, 2, "3");

    const IcalExport all = exportCalendar(store, yearly, "Cal", minDayNumber(), maxDayNumber(), 0, kStamp);
    EXPECT_EQ(all.days, 3);
    EXPECT_EQ(all.yearly, 1);
    const auto starts = [](const std::string& text) {
        std::vector<std::string> out;
        const Parsed parsed(text);
        for (icalcomponent* e : parsed.events()) out.push_back(prop(e, ICAL_DTSTART_PROPERTY));
        return out;
    };
    // Days in date order; the yearly date from the first exported day's year.
    EXPECT_EQ(starts(all.text), (std::vector<std::string>{"20230701", "20240502", "20250101", "20230309"}));
    const IcalExport part = exportCalendar(store, yearly, "Cal", d(2024, 1, 1), d(2024, 12, 31), 0, kStamp);
    EXPECT_EQ(part.days, 1);
    EXPECT_EQ(starts(part.text), (std::vector<std::string>{"20240502", "20240309"}));
}

}  // namespace
}  // namespace orv
