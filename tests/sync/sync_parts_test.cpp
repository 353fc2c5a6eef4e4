// The pieces of the sync that meet outside bytes on their own: the XML of WebDAV answers, addresses and
// redirects, the state file with its journal, and how a server's object reads as a day.

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "support/temp_dir.h"
#include "sync/calendar_objects.h"
#include "sync/dav_xml.h"
#include "sync/http_client.h"
#include "sync/sync_state.h"

namespace orv::sync {
namespace {

TEST(DavXml, NamespacesCountAndNotPrefixes) {
    const char* const answers[] = {
        "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/c/a%20b.ics</d:href><d:propstat><d:prop>"
        "<d:getetag>\"1\"</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
        "<d:sync-token>t</d:sync-token></d:multistatus>",
        "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"><response><href>http://h:8/c/a b.ics</href>"
        "<propstat><prop><getetag>\"1\"</getetag><missing xmlns=\"x:\"/></prop><status>HTTP/1.1 200 OK</status>"
        "</propstat><propstat><prop><other/></prop><status>HTTP/1.1 404 Not Found</status></propstat></response>"
        "<sync-token>t</sync-token></multistatus>",
        "<ns0:multistatus xmlns:ns0=\"DAV:\"><ns0:response><ns0:href>/c//a%20b.ics</ns0:href><ns0:propstat>"
        "<ns0:prop><ns0:getetag><![CDATA[\"1\"]]></ns0:getetag></ns0:prop></ns0:propstat></ns0:response>"
        "<ns0:sync-token>t</ns0:sync-token></ns0:multistatus>",
    };
    for (const char* answer : answers) {
        SCOPED_TRACE(answer);
        const Multistatus ms = parseMultistatus(answer, "a test");
        ASSERT_EQ(ms.responses.size(), 1u);
        EXPECT_EQ(ms.responses[0].href, "/c/a b.ics");
        EXPECT_EQ(ms.responses[0].propText(kDavNs, "getetag"), "\"1\"");
        EXPECT_EQ(ms.responses[0].prop(kDavNs, "other"), nullptr);
        EXPECT_EQ(ms.syncToken, "t");
    }
}

TEST(DavXml, HostileOrBrokenAnswersAreRefusedWithAMessage) {
    const char* const answers[] = {
        "<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;\">]>"
        "<multistatus xmlns=\"DAV:\">&b;</multistatus>",
        "<!DOCTYPE m SYSTEM \"http://127.0.0.1:1/evil.dtd\"><multistatus xmlns=\"DAV:\"/>",
        "<multistatus xmlns=\"DAV:\"><response><href>/x</href>",
        "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/x</d:hre",
        "<multistatus><response><href>/x</href></response></multistatus>",  // no DAV: namespace
        "<d:error xmlns:d=\"DAV:\"/>",
        "<multistatus xmlns=\"DAV:\"><response><href>#/c/a.ics</href></response></multistatus>",  // names no path
        "not xml at all",
        "",
    };
    for (const char* answer : answers) {
        SCOPED_TRACE(answer);
        try {
            parseMultistatus(answer, "the list of changes");
            ADD_FAILURE() << "taken";
        } catch (const DavError& e) {
            EXPECT_NE(std::string(e.what()).find("the list of changes"), std::string::npos) << e.what();
        }
    }
}

TEST(Redirects, NeverFromHttpsToHttpNorOutOfTheWeb) {
    const struct {
        const char* from;
        const char* location;
        const char* to;  // nullptr: refused
    } cases[] = {
        {"https://a.example/.well-known/caldav", "/dav/", "https://a.example/dav/"},
        {"http://a.example/x/", "https://b.example/y/", "https://b.example/y/"},
        {"http://a.example/x/", "y/", "http://a.example/x/y/"},
        {"https://a.example/x/", "http://a.example/x/", nullptr},
        {"https://a.example/x/", "HTTP://b.example/", nullptr},
        {"https://a.example/x/", "file:///etc/passwd", nullptr},
        {"http://a.example/x/", "ftp://a.example/", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.location);
        if (c.to) {
            EXPECT_EQ(redirectTarget(c.from, c.location), c.to);
        } else {
            EXPECT_THROW(redirectTarget(c.from, c.location), HttpError);
        }
    }
}

TEST(SyncStateFile, RoundTripsAndTakesTheJournalUpToItsLastWholeRecord) {
    test::TempDir dir;
    const std::string calendar = dir.file("Ann.DBX");
    SyncState s;
    s.collection = "https://h/c/";
    s.syncToken = "tok\twith\ttabs\\";
    s.yearlyFrom = 46023;
    StateEntry day;
    day.kind = EntryKind::Day;
    day.etag = "\"a\"";
    day.day = 46024;
    day.localHash = textHash("x");
    day.serverHash = textHash("y");
    s.entries["/c/day one.ics"] = day;
    StateEntry foreign;
    foreign.kind = EntryKind::Foreign;
    foreign.uid = "u\n1";
    foreign.recurring = true;
    foreign.lines = {{46025, "<Swim>\r\n"}, {46032, "<Swim>\r\n"}};
    foreign.suppressed = {46039};
    s.entries["/c/swim.ics"] = foreign;
    s.save(calendar);

    SyncState later = s;
    later.entries["/c/day one.ics"].etag = "\"b\"";
    later.journal(calendar, "/c/day one.ics");
    later.entries.erase("/c/swim.ics");
    later.journal(calendar, "/c/swim.ics");
    // What a power cut may leave: a record of garbage, then one cut short. Neither counts, nor what follows.
    dir.write("Ann.sync-journal", dir.read("Ann.sync-journal") + std::string(40, '\0') + "\n.\n-\t/c/day one.ics\n.\n" +
                                      "E\tD\t/c/new.ics\t\"c\"\t46030");

    const auto loaded = SyncState::load(calendar);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->syncToken, s.syncToken);
    EXPECT_EQ(loaded->yearlyFrom, 46023);
    ASSERT_EQ(loaded->entries.size(), 1u);
    EXPECT_EQ(loaded->entries.at("/c/day one.ics").etag, "\"b\"");
    EXPECT_EQ(loaded->entries.at("/c/day one.ics").serverHash, day.serverHash);

    s.save(calendar);
    EXPECT_FALSE(dir.exists("Ann.sync-journal"));
    const auto again = SyncState::load(calendar);
    ASSERT_TRUE(again);
    const StateEntry& f = again->entries.at("/c/swim.ics");
    EXPECT_EQ(f.uid, "u\n1");
    EXPECT_TRUE(f.recurring);
    ASSERT_EQ(f.lines.size(), 2u);
    EXPECT_EQ(f.lines[1].line, "<Swim>\r\n");
    EXPECT_EQ(f.suppressed, std::set<int>{46039});

    dir.write("Ann.sync", "orvella-sync 1\nE\tD\tbroken\n");
    EXPECT_THROW(SyncState::load(calendar), CorruptFileError);
}

std::string dayEvent(const std::string& uid, const std::string& start, const std::string& summary,
                     const std::string& description, const std::string& extra = {}) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
           "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:" + start + "\r\nSUMMARY:" + summary + "\r\n" +
           (description.empty() ? "" : "DESCRIPTION:" + description + "\r\n") + extra + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

TEST(ServerObjects, ReadAsTheDayTheyStandFor) {
    const struct {
        const char* name;
        std::string ics;
        ServerObject::Kind kind;
        std::string text;  // Day: the day's text; Foreign: its first line
    } cases[] = {
        {"a day's event", dayEvent("20260102-ann@orvella", "20260102", "Gym", "<Gym>\\nthen sauna"),
         ServerObject::Kind::Day, "<Gym>\r\nthen sauna"},
        {"its summary changed on a phone", dayEvent("20260102-ann@orvella", "20260102", "Gym at 7", "<Gym>\\nthen sauna"),
         ServerObject::Kind::Day, "<Gym at 7>\r\nthen sauna"},
        {"no description", dayEvent("20260102-ann@orvella", "20260102", "Only a summary", ""), ServerObject::Kind::Day,
         "Only a summary"},
        {"moved to another day", dayEvent("20260102-ann@orvella", "20260105", "Gym", "<Gym>"),
         ServerObject::Kind::Foreign, "<Gym>\r\n"},
        {"another calendar's day", dayEvent("20260102-bob@orvella", "20260102", "Bob's", "Bob's"),
         ServerObject::Kind::Foreign, "<Bob's>\r\n"},
        {"a yearly date", dayEvent("yearly-0314-ann%20birthday@orvella", "20260314", "Ann Birthday", "",
                                   "RRULE:FREQ=YEARLY\r\n"),
         ServerObject::Kind::Yearly, ""},
        {"a task", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//EN\r\nBEGIN:VTODO\r\nUID:t\r\nDTSTAMP:20260101T000000Z"
                   "\r\nSUMMARY:Buy milk\r\nEND:VTODO\r\nEND:VCALENDAR\r\n",
         ServerObject::Kind::Other, ""},
        {"damaged", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:x\r\n", ServerObject::Kind::Other, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ServerObject o = readServerObject(c.ics, "Ann", 46000, 47000);
        EXPECT_EQ(o.kind, c.kind);
        if (c.kind == ServerObject::Kind::Day) EXPECT_EQ(o.text, c.text);
        if (c.kind == ServerObject::Kind::Foreign) {
            ASSERT_FALSE(o.lines.empty());
            EXPECT_EQ(o.lines.front().line, c.text);
        }
        if (std::string(c.name) == "damaged") EXPECT_FALSE(o.notes.empty());
    }
}

TEST(ServerObjects, AChangedDayKeepsWhatOtherDevicesAdded) {
    const std::string server = dayEvent("20260102-ann@orvella", "20260102", "Gym", "<Gym>",
                                        "CATEGORIES:sport\r\nSEQUENCE:4\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
                                        "DESCRIPTION:x\r\nTRIGGER:-PT1H\r\nEND:VALARM\r\n");
    const std::string changed = changedDayObject(server, "<Gym>\r\nwith Zo\u00eb", 1767225600);
    const ServerObject o = readServerObject(changed, "Ann", 46000, 47000);
    EXPECT_EQ(o.text, "<Gym>\r\nwith Zo\u00eb");
    for (const char* kept : {"CATEGORIES:sport", "SEQUENCE:5", "BEGIN:VALARM", "TRIGGER:-PT1H"})
        EXPECT_NE(changed.find(kept), std::string::npos) << kept;
    EXPECT_EQ(objectName("20260102-ann%20b@orvella"), "20260102-ann_20b.orvella.ics");
}

}  // namespace
}  // namespace orv::sync
