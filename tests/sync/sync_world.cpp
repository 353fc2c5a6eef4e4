#include "sync/sync_world.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/day_number.h"
#include "store/cal_db.h"
#include "sync/caldav_client.h"
#include "sync/calendar_objects.h"
#include "sync/dav_xml.h"
#include "sync/sync_account.h"
#include "sync/sync_state.h"

namespace orv::test {

Computer::Computer(const CalDavServer& server, std::string collection, std::string calendar)
    : server_(server), collection_(std::move(collection)), calendar_(std::move(calendar)) {
    dir_.write("CalUsers.DAT", calendar_ + "\r\n");
    dir_.write("Data/.keep", "");
    sync::saveSyncAccount(dir_.file("Orvella.INI"), calendar_, {collection_, server_.user(), {}, {}, calendar_});
}

void Computer::rename(const std::string& newName) {
    const std::string oldFile = calendarFile();
    const std::string oldName = calendar_;
    calendar_ = newName;
    std::filesystem::rename(oldFile, calendarFile());
    sync::renameSyncAccount(dir_.file("Orvella.INI"), oldName, newName, oldFile, calendarFile());
}

std::string Computer::calendarFile() const { return dir_.file("Data/" + calendar_ + ".DBX"); }

void Computer::set(int d, const std::string& text) {
    CalDb store;
    store.LoadStore(calendarFile());
    store.writeDay(d, text);
    store.FlushCurrentCalendar();
}

std::map<int, std::string> Computer::days() const {
    CalDb store;
    store.readOnly = true;
    store.LoadStore(calendarFile());
    std::map<int, std::string> out;
    for (int i = 0; i < store.recordCount(); ++i)
        if (const auto r = store.readRecord(i); r && !r->text.empty()) out.emplace(static_cast<int>(r->date), r->text);
    return out;
}

std::string Computer::text(int d) const {
    const auto all = days();
    const auto it = all.find(d);
    return it == all.end() ? std::string() : it->second;
}

std::string Computer::archive() const { return dir_.read("Data/" + calendar_ + ".purged"); }

void Computer::setYearly(const std::string& eventsFileText) const { dir_.write("Events.dat", eventsFileText); }

void Computer::forgetState() const { sync::forgetSyncState(calendarFile()); }

sync::SyncReport Computer::sync(sync::SyncRunOptions options, const std::string& base, sync::HttpOptions tuning) const {
    std::string url = collection_;
    if (!base.empty()) url = base + url.substr(url.find('/', url.find("://") + 3));
    const sync::SyncTarget target{calendar_, calendarFile(), dir_.file("Events.dat"), kToday};
    sync::SyncAccount account = *sync::loadSyncAccount(dir_.file("Orvella.INI"), calendar_);
    account.url = url;
    if (options.now == 0) options.now = 1767225600;  // 2026-01-01
    return sync::syncCalendar(target, account, server_.password(), options, tuning);
}

bool ServerView::hasDuplicates() const {
    for (auto it = byUid.begin(); it != byUid.end(); ++it)
        if (byUid.count(it->first) > 1) return true;
    return false;
}

ServerView viewOf(const CalDavServer& server, const std::string& collection) {
    sync::HttpOptions o;
    o.user = server.user();
    o.password = server.password();
    o.caFile = server.caFile();
    sync::HttpClient http(o);
    sync::CalDavClient dav(http);
    std::vector<std::string> hrefs;
    for (const sync::Member& m : dav.listMembers(collection).changed) hrefs.push_back(m.href);
    ServerView view;
    for (const sync::FetchedObject& f : dav.multiget(collection, hrefs, 1 << 24)) {
        const sync::ServerObject obj = sync::readServerObject(f.data, "User1", kToday - 400, kToday + 2000);
        view.byUid.emplace(obj.uid, f.data);
        view.dataByHref[f.href] = f.data;
        if (obj.kind == sync::ServerObject::Kind::Day) view.days[obj.day] = obj.text;
    }
    return view;
}

long rawRequest(const CalDavServer& server, const std::string& method, const std::string& url, const std::string& body,
                const std::string& ifMatch) {
    sync::HttpOptions o;
    o.user = server.user();
    o.password = server.password();
    sync::HttpClient http(o);
    std::vector<std::pair<std::string, std::string>> headers;
    if (!body.empty()) headers.emplace_back("Content-Type", "text/calendar; charset=utf-8");
    if (!ifMatch.empty()) headers.emplace_back("If-Match", ifMatch);
    return http.send({method, url, headers, body}).status;
}

void phone(const CalDavServer& server, const std::string& collection, std::vector<std::string> ops) {
    TempDir files;
    std::string command = "/usr/bin/python3 '" ORVELLA_SOURCE_DIR "/tests/sync/phone.py' '" + collection + "' '" +
                          server.user() + "' '" + server.password() + "'";
    for (size_t i = 0; i < ops.size(); ++i) {
        std::string arg = ops[i];
        if ((ops[i] == "put" && i + 1 < ops.size()) || (ops[i] == "replace" && i + 2 < ops.size())) {
            const bool put = ops[i] == "put";
            const std::string name = "event" + std::to_string(i) + ".ics";
            files.write(name, ops[i + (put ? 1 : 2)]);
            command += put ? " put '" + files.file(name) + "'" : " replace '" + ops[i + 1] + "' '" + files.file(name) + "'";
            i += put ? 1 : 2;
            continue;
        }
        std::string quoted;
        for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += " '" + quoted + "'";
    }
    command += " > '" + files.file("out") + "' 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_EQ(status, 0) << "the phone failed: " << files.read("out");
}

std::string phoneEvent(const std::string& uid, const std::string& summary, const std::string& start,
                       const std::string& end, const std::string& extra) {
    const auto prop = [](const char* name, const std::string& value) {
        if (value.size() == 8) return std::string(name) + ";VALUE=DATE:" + value + "\r\n";
        if (value.find(':') != std::string::npos) return std::string(name) + ";" + value + "\r\n";  // TZID=...:time
        return std::string(name) + ":" + value + "\r\n";
    };
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test Phone//EN\r\n"
           "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
           "BEGIN:STANDARD\r\nDTSTART:19701101T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
           "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\n"
           "BEGIN:DAYLIGHT\r\nDTSTART:19700308T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
           "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n"
           "BEGIN:VEVENT\r\nUID:" +
           uid + "\r\nDTSTAMP:20251220T100000Z\r\n" + prop("DTSTART", start) + prop("DTEND", end) +
           "SUMMARY:" + summary + "\r\n" + extra + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

}  // namespace orv::test
