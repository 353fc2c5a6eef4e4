// One table of sync cases run against both real servers (Radicale and Xandikos), with a phone and a second
// computer; and every fault of the fault proxy at every request of a sync, each followed by a sync that
// must converge.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <iostream>
#include <sstream>

#include <sys/stat.h>

#include "cli/cli.h"
#include "common/day_number.h"
#include "support/caldav_server.h"
#include "support/fault_proxy.h"
#include "support/local_zone.h"
#include "support/session_keyring.h"
#include "sync/sync_account.h"
#include "sync/sync_world.h"

namespace orv::test {
namespace {

using sync::SyncError;
using sync::SyncReport;

class ServerTest : public ::testing::TestWithParam<CalDavServer::Kind> {
protected:
    void SetUp() override {
        auto& slot = servers()[static_cast<int>(GetParam())];
        if (!slot) {
            std::string why;
            slot = CalDavServer::start(GetParam(), &why);
            if (!slot) skipped()[static_cast<int>(GetParam())] = why;
        }
        if (!slot) GTEST_SKIP() << "skipped: " << skipped()[static_cast<int>(GetParam())];
        server = slot.get();
    }
    static void TearDownTestSuite() {
        for (auto& s : servers()) s.reset();
    }
    std::string collection() {
        static int made = 0;
        return server->makeCollection("c" + std::to_string(++made));
    }

    static std::array<std::unique_ptr<CalDavServer>, 2>& servers() {
        static std::array<std::unique_ptr<CalDavServer>, 2> s;
        return s;
    }
    static std::array<std::string, 2>& skipped() {
        static std::array<std::string, 2> s;
        return s;
    }

    CalDavServer* server = nullptr;
    LocalZone zone{"Europe/Berlin"};
};

std::string lines(std::initializer_list<const char*> parts) {
    std::string out;
    for (const char* p : parts) out += std::string(p) + "\r\n";
    return out;
}

struct Case {
    const char* name;
    std::function<void(CalDavServer&, const std::string& collection)> run;
};

// The state of both sides agrees: every day's own text is on the server and nothing else, no object twice,
// and one more sync finds nothing to do.
void expectInStep(const CalDavServer& server, const std::string& collection, const Computer& a,
                  const std::map<int, std::string>& ownDays) {
    const ServerView view = viewOf(server, collection);
    EXPECT_FALSE(view.hasDuplicates());
    EXPECT_EQ(view.days, ownDays);
    const SyncReport again = a.sync();
    EXPECT_EQ(again.sent + again.received + again.deletedHere + again.deletedThere, 0);
}

const Case kCases[] = {
    {"every day goes out and comes back on a second computer exactly",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c), b(s, c);
         const std::map<int, std::string> texts = {{day(4), "Dentist 10am\r\nbring card"},
                                                   {day(5), lines({"<Gym>"})},
                                                   {day(9), "Caf\u00e9 with Zo\u00eb\r\n\r\n  indented\ttab"},
                                                   {day(10), "\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1 \U0001F389"}};
         for (const auto& [d, t] : texts) a.set(d, t);
         EXPECT_EQ(a.sync().sent, 4);
         EXPECT_EQ(b.sync().received, 4);
         EXPECT_EQ(b.days(), texts);
         expectInStep(s, c, a, texts);
     }},
    {"a timed event of the phone in another zone is a line on the local day of its start",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(5), "Dentist");
         a.sync();
         phone(s, c, {"put", phoneEvent("call-1", "Call Bob", "TZID=America/New_York:20260105T190000",
                                         "TZID=America/New_York:20260105T200000")});
         EXPECT_EQ(a.sync().received, 1);
         EXPECT_EQ(a.text(day(5)), "Dentist\r\n<01:00 Call Bob>\r\n");
         phone(s, c, {"summary", "call-1", "Call Anna"});
         a.sync();
         EXPECT_EQ(a.text(day(5)), "Dentist\r\n<01:00 Call Anna>\r\n");
         phone(s, c, {"delete", "call-1"});
         EXPECT_EQ(a.sync().deletedHere, 1);
         EXPECT_EQ(a.text(day(5)), "Dentist\r\n");
         expectInStep(s, c, a, {{day(5), "Dentist"}});
     }},
    {"a recurring event gives a line a day; one removed here stays removed and the event stays",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         phone(s, c, {"put", phoneEvent("swim", "Swim", "20260106", "20260107", "RRULE:FREQ=WEEKLY;COUNT=3\r\n")});
         a.sync();
         EXPECT_EQ(a.days(), (std::map<int, std::string>{
                                 {day(5), "<Swim>\r\n"}, {day(12), "<Swim>\r\n"}, {day(19), "<Swim>\r\n"}}));
         a.set(day(12), "");
         EXPECT_EQ(a.sync().deletedThere, 0);
         a.sync();
         EXPECT_EQ(a.text(day(12)), "");
         EXPECT_EQ(viewOf(s, c).byUid.count("swim"), 1u);
         // A change of the event on the phone changes its other lines, not the removed one.
         phone(s, c, {"summary", "swim", "Swim 7am"});
         a.sync();
         EXPECT_EQ(a.days(), (std::map<int, std::string>{{day(5), "<Swim 7am>\r\n"}, {day(19), "<Swim 7am>\r\n"}}));
     }},
    {"removing the line of a single event deletes the event on the server",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         phone(s, c, {"put", phoneEvent("lunch", "Lunch", "20260108T120000Z", "20260108T130000Z")});
         a.sync();
         EXPECT_EQ(a.text(day(7)), "<13:00 Lunch>\r\n");
         a.set(day(7), "");
         EXPECT_EQ(a.sync().deletedThere, 1);
         EXPECT_EQ(viewOf(s, c).byUid.count("lunch"), 0u);
     }},
    {"changed on both sides differently: joined, told, and the joined text goes back",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c), b(s, c);
         a.set(day(3), "Meeting");
         a.sync();
         b.sync();
         a.set(day(3), "Meeting\r\nroom 4");
         b.set(day(3), "Meeting\r\nbring slides");
         b.sync();
         const SyncReport r = a.sync();
         EXPECT_EQ(r.mergedDays, std::vector<int>{day(3)});
         EXPECT_EQ(a.text(day(3)), "Meeting\r\nroom 4\r\nbring slides");
         b.sync();
         EXPECT_EQ(b.text(day(3)), a.text(day(3)));
         expectInStep(s, c, a, {{day(3), "Meeting\r\nroom 4\r\nbring slides"}});
     }},
    {"changed on both sides to the same text: nothing to join",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c), b(s, c);
         a.set(day(3), "x");
         a.sync();
         b.sync();
         a.set(day(3), "same");
         b.set(day(3), "same");
         b.sync();
         const SyncReport r = a.sync();
         EXPECT_TRUE(r.mergedDays.empty());
         EXPECT_EQ(r.sent, 0);
     }},
    {"deleted elsewhere and unchanged here: deleted here, its text kept in the archive",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c), b(s, c);
         a.set(day(2), "Pay rent");
         a.set(day(3), "keep");
         a.sync();
         b.sync();
         b.set(day(2), "");
         EXPECT_EQ(b.sync().deletedThere, 1);
         EXPECT_EQ(a.sync().deletedHere, 1);
         EXPECT_EQ(a.text(day(2)), "");
         EXPECT_NE(a.archive().find("Pay rent"), std::string::npos);
     }},
    {"deleted here and changed there: the change stays and is told",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c), b(s, c);
         a.set(day(2), "Pay rent");
         a.sync();
         b.sync();
         a.set(day(2), "");
         b.set(day(2), "Pay rent by transfer");
         b.sync();
         const SyncReport r = a.sync();
         EXPECT_EQ(r.restoredDays, std::vector<int>{day(2)});
         EXPECT_EQ(a.text(day(2)), "Pay rent by transfer");
     }},
    {"changed here and deleted there: made anew",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c), b(s, c);
         a.set(day(2), "Pay rent");
         a.sync();
         b.sync();
         a.set(day(2), "Pay rent today");
         b.set(day(2), "");
         b.sync();
         const SyncReport r = a.sync();
         EXPECT_EQ(r.restoredDays, std::vector<int>{day(2)});
         b.sync();
         EXPECT_EQ(b.text(day(2)), "Pay rent today");
     }},
    {"a collection made anew and empty after days were synced: nothing deleted unless forced",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(1), "one");
         a.set(day(2), "two");
         a.sync();
         rawRequest(s, "DELETE", c);
         ASSERT_EQ(rawRequest(s, "MKCALENDAR", c), 201);
         try {
             a.sync();
             ADD_FAILURE() << "no guard";
         } catch (const SyncError& e) {
             EXPECT_EQ(e.kind(), SyncError::Kind::Guard);
         }
         EXPECT_EQ(a.days().size(), 2u);
         sync::SyncRunOptions force;
         force.forceDelete = true;
         EXPECT_EQ(a.sync(force).deletedHere, 2);
         EXPECT_NE(a.archive().find("two"), std::string::npos);
     }},
    {"more than half of the days deleted elsewhere, and more than ten: stops",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c), b(s, c);
         for (int i = 0; i < 14; ++i) a.set(day(i), "day " + std::to_string(i));
         a.sync();
         b.sync();
         for (int i = 0; i < 12; ++i) b.set(day(i), "");
         sync::SyncRunOptions force;
         force.forceDelete = true;
         EXPECT_THROW(b.sync(), SyncError);
         EXPECT_EQ(b.sync(force).deletedThere, 12);
         EXPECT_THROW(a.sync(), SyncError);
         EXPECT_EQ(a.days().size(), 14u);
     }},
    {"a collection that answers 404: stops and deletes nothing",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(1), "one");
         a.sync();
         rawRequest(s, "DELETE", c);
         try {
             a.sync();
             ADD_FAILURE() << "no guard";
         } catch (const SyncError& e) {
             EXPECT_EQ(e.kind(), SyncError::Kind::Guard);
             EXPECT_NE(std::string(e.what()).find("404"), std::string::npos);
         }
         EXPECT_EQ(a.text(day(1)), "one");
     }},
    {"a server text longer than a day holds: the day keeps what fits, the archive the whole",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(6), "short");
         a.sync();
         std::string longText = "Long";
         for (int i = 0; i < 60; ++i) longText += "\\nline number " + std::to_string(i) + " of a long text";
         const std::string ics = phoneEvent("20260107-user1@orvella", "Long", "20260107", "20260108",
                                            "DESCRIPTION:" + longText + "\r\n");
         phone(s, c, {"replace", "20260107-user1@orvella", ics});
         a.sync();
         const std::string kept = a.text(day(6));
         EXPECT_LE(kept.size(), 1000u);
         EXPECT_TRUE(kept.starts_with("Long\r\nline number 0"));
         EXPECT_NE(a.archive().find("line number 59"), std::string::npos);
         EXPECT_EQ(a.sync().sent, 0);
         EXPECT_NE(viewOf(s, c).days[day(6)].find("line number 59"), std::string::npos);
     }},
    {"what another device added to a day's event survives the next write",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(6), "Dentist");
         a.sync();
         const std::string alarm = "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Dentist\r\nTRIGGER:-PT1H\r\n"
                                   "END:VALARM\r\n";
         phone(s, c, {"replace", "20260107-user1@orvella",
                      phoneEvent("20260107-user1@orvella", "Dentist", "20260107", "20260108",
                                 "DESCRIPTION:Dentist\r\nCATEGORIES:health\r\n" + alarm)});
         a.sync();
         a.set(day(6), "Dentist at 9");
         EXPECT_EQ(a.sync().sent, 1);
         const std::string data = viewOf(s, c).byUid.find("20260107-user1@orvella")->second;
         EXPECT_NE(data.find("VALARM"), std::string::npos);
         EXPECT_NE(data.find("health"), std::string::npos);
         EXPECT_NE(data.find("Dentist at 9"), std::string::npos);
     }},
    {"the yearly dates go out one way and are replaced when the list changes",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.setYearly("4,1\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,3\r\n4,1,14\r\n");
         EXPECT_EQ(a.sync().sent, 1);
         ServerView v = viewOf(s, c);
         ASSERT_EQ(v.byUid.size(), 1u);
         EXPECT_NE(v.byUid.begin()->second.find("Ann Birthday"), std::string::npos);
         EXPECT_EQ(a.sync().sent, 0);
         a.setYearly("4,1\r\n1,1,Ann\r\n2,1,Wedding\r\n3,1,3\r\n4,1,14\r\n");
         const SyncReport r = a.sync();
         EXPECT_EQ(r.sent, 1);
         EXPECT_EQ(r.deletedThere, 1);
         v = viewOf(s, c);
         ASSERT_EQ(v.byUid.size(), 1u);
         EXPECT_NE(v.byUid.begin()->second.find("Ann Wedding"), std::string::npos);
         EXPECT_TRUE(a.days().empty());
     }},
    {"a sync with nothing changed costs one request",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(1), "one");
         a.sync();
         EXPECT_EQ(a.sync().requests, 1);
         a.set(day(1), "two");
         EXPECT_EQ(a.sync().requests, 3);  // the changes there, the write, the token after it
         EXPECT_EQ(a.sync().requests, 1);
         for (int i = 2; i < 20; ++i) a.set(day(i), "many");
         a.sync();
         EXPECT_EQ(a.sync().requests, 1);
     }},
    {"state lost after the server took the writes: nothing doubled, nothing sent again",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(1), "one");
         a.set(day(2), "two");
         a.sync();
         a.forgetState();
         const SyncReport r = a.sync();
         EXPECT_EQ(r.sent, 0);
         EXPECT_TRUE(r.mergedDays.empty());
         expectInStep(s, c, a, {{day(1), "one"}, {day(2), "two"}});
     }},
    {"a second object of a day at another address is left alone, never copied",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(1), "one");
         a.sync();
         const std::string copy =
             phoneEvent("20260102-user1@orvella", "one", "20260102", "20260103", "DESCRIPTION:other\r\n");
         rawRequest(s, "PUT", c + "copy-of-day.ics", copy);
         const SyncReport r = a.sync();
         EXPECT_EQ(r.sent + r.received, 0);
         EXPECT_EQ(a.text(day(1)), "one");
         EXPECT_EQ(a.sync().sent, 0);
     }},
    {"a calendar renamed keeps its events: nothing doubled, nothing sent again",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(1), "one");
         a.sync();
         a.rename("Ann");
         SyncReport r = a.sync();
         EXPECT_EQ(r.sent + r.received + r.deletedHere + r.deletedThere, 0);
         a.set(day(1), "one more");
         EXPECT_EQ(a.sync().sent, 1);
         expectInStep(s, c, a, {{day(1), "one more"}});
     }},
    {"a day typed here while the sync works is decided again, never overwritten",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c), b(s, c);
         a.set(day(1), "one");
         a.sync();
         b.sync();
         b.set(day(1), "from b");
         b.sync();
         sync::SyncRunOptions options;
         bool typed = false;
         options.progress = [&](const sync::SyncProgress& p) {
             if (p.step != sync::SyncProgress::Step::SavingDays || typed) return;
             typed = true;
             a.set(day(1), "typed meanwhile");
         };
         const SyncReport r = a.sync(options);
         EXPECT_TRUE(typed);
         EXPECT_EQ(r.mergedDays, std::vector<int>{day(1)});
         EXPECT_EQ(a.text(day(1)), "typed meanwhile\r\nfrom b");
         expectInStep(s, c, a, {{day(1), "typed meanwhile\r\nfrom b"}});
     }},
    {"an event made there while the sync writes hides nothing from the later syncs",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c), b(s, c);
         a.set(day(1), "one");
         a.set(day(2), "two");
         sync::SyncRunOptions options;
         bool made = false;
         options.progress = [&](const sync::SyncProgress& p) {
             if (p.step != sync::SyncProgress::Step::Sending || p.done != 1 || made) return;
             made = true;
             rawRequest(s, "PUT", c + "lunch.ics", phoneEvent("lunch", "Lunch", "20260109T120000Z", "20260109T130000Z"));
         };
         a.sync(options);
         EXPECT_TRUE(made);
         b.sync();
         b.set(day(2), "");
         EXPECT_EQ(b.sync().deletedThere, 1);
         EXPECT_EQ(a.sync().deletedHere, 1);
         EXPECT_EQ(a.text(day(2)), "");
         EXPECT_EQ(a.text(day(8)), "<13:00 Lunch>\r\n");
         expectInStep(s, c, a, {{day(1), "one"}});
     }},
    {"a dry run says what it would do and changes nothing",
     [](CalDavServer& s, const std::string& c) {
         Computer a(s, c);
         a.set(day(1), "one");
         sync::SyncRunOptions dry;
         dry.dryRun = true;
         EXPECT_EQ(a.sync(dry).sent, 1);
         EXPECT_TRUE(viewOf(s, c).byUid.empty());
         EXPECT_EQ(a.sync().sent, 1);
     }},
};

TEST_P(ServerTest, TableOfCases) {
    for (const Case& k : kCases) {
        SCOPED_TRACE(std::string(server->name()) + ": " + k.name);
        k.run(*server, collection());
        if (HasFatalFailure()) return;
    }
}

// Every fault at every request of one sync that has something of each kind to do; a second sync must then
// bring both sides into step with nothing lost and nothing doubled.
TEST_P(ServerTest, EveryFaultAtEveryRequestConverges) {
    using Fault = FaultProxy::Fault;
    FaultProxy proxy(server->port(), 300 * 1024);
    sync::HttpOptions tuning;
    tuning.stallSeconds = 1;
    tuning.maxBody = 256 * 1024;

    // Two computers in step over five days, then changes on both sides.
    const auto prepare = [&](const std::string& c, Computer& a, Computer& b) {
        for (int i = 1; i <= 5; ++i) a.set(day(i), "day " + std::to_string(i));
        a.setYearly("4,1\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,3\r\n4,1,14\r\n");
        a.sync();
        b.sync();
        a.set(day(1), "day 1\r\nchanged here");
        a.set(day(2), "");
        a.set(day(6), "new here");
        a.set(day(5), "day 5\r\nfrom here");
        b.set(day(3), "day 3\r\nchanged there");
        b.set(day(4), "");
        b.set(day(5), "day 5\r\nfrom there");
        b.set(day(7), "new there");
        b.sync();
        rawRequest(*server, "PUT", c + "lunch.ics", phoneEvent("lunch", "Lunch", "20260109T120000Z", "20260109T130000Z"));
    };
    const auto own = [](const Computer& a) {
        std::map<int, std::string> out = a.days();
        for (auto& [d, t] : out)
            if (t.starts_with("<13:00 Lunch>")) t.clear();
        std::erase_if(out, [](const auto& e) { return e.second.empty(); });
        return out;
    };

    // The sync without a fault: its requests, and where it leads.
    std::vector<std::string> methods;
    std::map<int, std::string> reference;
    {
        const std::string c = collection();
        Computer a(*server, c), b(*server, c);
        prepare(c, a, b);
        proxy.arm(Fault::None, 0);
        a.sync({}, proxy.base(), tuning);
        methods = proxy.methods();
        reference = own(a);
        ASSERT_EQ(viewOf(*server, c).days, reference);
    }
    ASSERT_GE(methods.size(), 5u);

    const Fault faults[] = {Fault::CutBefore, Fault::CutAfter,  Fault::Status412, Fault::Status401, Fault::Status403,
                            Fault::Status404, Fault::Status500, Fault::Status507, Fault::Stall,     Fault::Oversized,
                            Fault::Malformed, Fault::Truncated};
    for (size_t at = 1; at <= methods.size(); ++at) {
        for (const Fault fault : faults) {
            if (!FaultProxy::appliesTo(fault, methods[at - 1])) continue;
            SCOPED_TRACE(std::string(server->name()) + ": " + FaultProxy::name(fault) + " at request " +
                         std::to_string(at) + " (" + methods[at - 1] + ")");
            const std::string c = collection();
            Computer a(*server, c), b(*server, c);
            prepare(c, a, b);
            proxy.arm(fault, static_cast<int>(at));
            try {
                a.sync({}, proxy.base(), tuning);
            } catch (const SyncError& e) {
                EXPECT_GT(std::string(e.what()).size(), 0u);
            } catch (const std::exception& e) {
                ADD_FAILURE() << "not reported as a sync failure: " << e.what();
            }
            proxy.arm(Fault::None, 0);
            sync::SyncRunOptions options;
            options.forceDelete = false;
            try {
                a.sync(options, proxy.base(), tuning);
            } catch (const SyncError& e) {
                ADD_FAILURE() << "the sync after the fault failed: " << e.what();
                continue;
            }
            const std::map<int, std::string> now = own(a);
            const ServerView view = viewOf(*server, c);
            EXPECT_FALSE(view.hasDuplicates());
            EXPECT_EQ(view.days, now);
            // Nothing lost: every day of the faultless sync is there with all its lines.
            for (const auto& [d, text] : reference) {
                const auto it = now.find(d);
                if (it == now.end()) {
                    ADD_FAILURE() << "lost " << d;
                    continue;
                }
                size_t start = 0;
                while (start < text.size()) {
                    size_t end = text.find("\r\n", start);
                    if (end == std::string::npos) end = text.size();
                    EXPECT_NE(it->second.find(text.substr(start, end - start)), std::string::npos) << "on day " << d;
                    start = end + 2;
                }
            }
            EXPECT_NE(a.text(day(8)).find("<13:00 Lunch>"), std::string::npos);
            const SyncReport again = a.sync({}, proxy.base(), tuning);
            EXPECT_EQ(again.sent + again.received + again.deletedHere + again.deletedThere, 0);
        }
    }
}

// orvella-cli's sync commands as cron would run them.
TEST_P(ServerTest, CommandLine) {
    TempDir folder;
    folder.write("CalUsers.DAT", "User1\r\n");
    folder.write("pw", server->password() + "\n");
    ::chmod(folder.file("pw").c_str(), 0644);
    const std::string c = collection();
    const std::string name = c.substr(c.rfind('/', c.size() - 2) + 1, c.size() - c.rfind('/', c.size() - 2) - 2);
    const auto run = [&](std::vector<std::string> args, std::string* err = nullptr) {
        args.insert(args.begin(), {"--folder", folder.path()});
        std::ostringstream out, errors;
        const int status = cli::run(args, out, errors);
        if (err) *err = errors.str();
        return std::to_string(status) + " " + out.str();
    };
    std::vector<std::string> setup = {"sync-setup", server->base() + "/", "--collection", name};
    if (!server->user().empty()) setup.insert(setup.end(), {"--user", server->user(), "--password-file", folder.file("pw")});
    std::string err;

    EXPECT_EQ(run({"sync"}, &err), "2 ");
    EXPECT_NE(err.find("has no CalDAV account"), std::string::npos) << err;
    if (!server->user().empty()) {
        EXPECT_EQ(run(setup, &err), "2 ");
        EXPECT_NE(err.find("can be read by others"), std::string::npos) << err;
        ::chmod(folder.file("pw").c_str(), 0600);
        folder.write("wrong", "not the password\n");
        ::chmod(folder.file("wrong").c_str(), 0600);
        std::vector<std::string> wrong = setup;
        wrong.back() = folder.file("wrong");
        EXPECT_EQ(run(wrong, &err), "2 ");
        EXPECT_NE(err.find("user name and password"), std::string::npos) << err;
    }
    EXPECT_EQ(run(setup), "0 " + c + "\n");
    EXPECT_EQ(run({"set", "2026-01-05", "Dentist"}), "0 ");
    EXPECT_EQ(run({"sync"}), "0 User1: 1 sent, 0 received, 0 deleted here, 0 deleted there, 0 merged\n");
    EXPECT_EQ(run({"set", "2026-01-05", "Dentist 9am"}), "0 ");
    EXPECT_EQ(run({"sync", "--all", "--dry-run"}), "0 User1: 1 sent, 0 received, 0 deleted here, 0 deleted there, 0 merged\n");
    EXPECT_EQ(viewOf(*server, c).days.at(day(4)), "Dentist");
    EXPECT_EQ(run({"sync"}), "0 User1: 1 sent, 0 received, 0 deleted here, 0 deleted there, 0 merged\n");

    rawRequest(*server, "DELETE", c);
    EXPECT_EQ(run({"sync"}, &err), "2 ");
    EXPECT_NE(err.find("404"), std::string::npos) << err;
    EXPECT_NE(err.find("--force-delete"), std::string::npos) << err;
    EXPECT_EQ(run({"show", "2026-01-05"}), "0 Dentist 9am\n");

    EXPECT_EQ(run({"sync-remove"}), "0 ");
    EXPECT_FALSE(folder.exists("Data/User1.sync"));
    EXPECT_EQ(folder.read("Orvella.INI").find("CalDAV"), std::string::npos);
    EXPECT_EQ(run({"sync"}, &err), "2 ");
    EXPECT_EQ(run({"show", "2026-01-05"}), "0 Dentist 9am\n");
}

// Without a password file the password is typed once (here: piped in) and kept in the desktop's keyring.
TEST_P(ServerTest, PasswordInTheKeyring) {
    // One for the whole run: the bus library keeps its first connection to the session bus.
    static std::string why;
    static const auto keyring = SessionKeyring::start(&why);
    if (!keyring) GTEST_SKIP() << "skipped: " << why;
    TempDir folder;
    folder.write("CalUsers.DAT", "User1\r\n");
    const std::string c = collection();
    const auto run = [&](std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--folder", folder.path()});
        std::istringstream in(input);
        std::streambuf* const old = std::cin.rdbuf(in.rdbuf());
        std::ostringstream out, err;
        const int status = cli::run(args, out, err);
        std::cin.rdbuf(old);
        return std::to_string(status) + " " + out.str() + err.str();
    };
    // Xandikos takes any credentials: a password is kept and sent all the same.
    const std::string user = server->user().empty() ? "ann" : server->user();
    const std::string password = server->password().empty() ? "any" : server->password();
    if (!server->user().empty()) {
        EXPECT_EQ(run({"sync-setup", c, "--user", user}, "not it\n").substr(0, 2), "2 ");
        EXPECT_FALSE(sync::keyringPassword(c, user));
    }
    EXPECT_EQ(run({"sync-setup", c, "--user", user}, password + "\n"), "0 " + c + "\n");
    EXPECT_EQ(sync::keyringPassword(c, user), password);
    EXPECT_EQ(folder.read("Orvella.INI").find(password), std::string::npos);
    EXPECT_EQ(run({"set", "2026-01-05", "Dentist"}), "0 ");
    EXPECT_EQ(run({"sync"}), "0 User1: 1 sent, 0 received, 0 deleted here, 0 deleted there, 0 merged\n");
    EXPECT_EQ(run({"sync-remove"}), "0 ");
    EXPECT_FALSE(sync::keyringPassword(c, user));
}

// A server with a certificate of its own: refused with a message, taken with its CA given.
TEST(SyncCertificates, RefusedUnlessTheirCaIsGiven) {
    std::string why;
    const auto server = CalDavServer::start(CalDavServer::Kind::Radicale, &why, true);
    if (!server) GTEST_SKIP() << "skipped: " << why;
    const std::string c = server->makeCollection("secure");
    try {
        sync::findCollection(c, server->user(), server->password(), {}, {});
        ADD_FAILURE() << "a certificate of its own was taken";
    } catch (const SyncError& e) {
        EXPECT_EQ(e.kind(), SyncError::Kind::Connection);
        EXPECT_NE(std::string(e.what()).find("--ca-file"), std::string::npos) << e.what();
    }
    EXPECT_EQ(sync::findCollection(c, server->user(), server->password(), server->caFile(), {}).url, c);
    Computer a(*server, c);
    a.set(day(1), "secure");
    EXPECT_THROW(a.sync(), SyncError);
    EXPECT_TRUE(viewOf(*server, c).byUid.empty());
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerTest, ::testing::Values(CalDavServer::Kind::Radicale, CalDavServer::Kind::Xandikos),
                         [](const auto& info) {
                             return std::string(info.param == CalDavServer::Kind::Radicale ? "Radicale" : "Xandikos");
                         });

}  // namespace
}  // namespace orv::test
