#pragma once
// The sync tests' world: a test server, computers (program folders with one calendar each, synced with one
// collection through the engine), a phone (python3-caldav) and raw requests for what a phone never does.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/caldav_server.h"
#include "support/temp_dir.h"
#include "sync/calendar_sync.h"

namespace orv::test {

constexpr int kToday = 46023;  // 2026-01-01
inline int day(int n) { return kToday + n; }

class Computer {
public:
    Computer(const CalDavServer& server, std::string collection, std::string calendar = "User1");

    void set(int day, const std::string& text);  // empty deletes
    std::map<int, std::string> days() const;
    std::string text(int day) const;
    std::string archive() const;  // the archive file's bytes
    void setYearly(const std::string& eventsFileText) const;
    std::string calendarFile() const;
    void forgetState() const;
    // Renames the calendar as the Users window does, its account going with it.
    void rename(const std::string& newName);

    // Syncs through base (a proxy's) or the server itself; throws SyncError.
    sync::SyncReport sync(sync::SyncRunOptions options = {}, const std::string& base = {},
                          sync::HttpOptions tuning = {}) const;

private:
    const CalDavServer& server_;
    std::string collection_;
    std::string calendar_;
    TempDir dir_;
};

// What the collection holds: each object's identifier (every one, duplicates included) and data.
struct ServerView {
    std::multimap<std::string, std::string> byUid;
    std::map<std::string, std::string> dataByHref;
    // The days' own texts of calendar User1's day events.
    std::map<int, std::string> days;
    bool hasDuplicates() const;
};
ServerView viewOf(const CalDavServer& server, const std::string& collection);

// A request with the server's credentials; returns the status.
long rawRequest(const CalDavServer& server, const std::string& method, const std::string& url,
                const std::string& body = {}, const std::string& ifMatch = {});

// Runs the phone with its operations ("put", ICS, "replace", UID, ICS, "summary", UID, TEXT, "delete", UID;
// each ICS an iCalendar text, handed over in a file). Fails the test when the phone fails.
void phone(const CalDavServer& server, const std::string& collection, std::vector<std::string> ops);

// An event as a phone makes it; start and end are iCalendar date-times or dates (VALUE=DATE when 8 digits).
std::string phoneEvent(const std::string& uid, const std::string& summary, const std::string& start,
                       const std::string& end, const std::string& extra = {});

}  // namespace orv::test
