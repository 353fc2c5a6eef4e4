#pragma once
// One calendar kept in step with one CalDAV collection, both ways, three-way against the state of the
// last sync. Headless and self-contained: a run opens the calendar file in a store of its own, so that a
// window can drive it from a worker thread (progress and cancel through the options) while the windows
// keep theirs; afterwards the windows reload the calendar.

#include <atomic>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "sync/http_client.h"

namespace orv::sync {

// Where a calendar's collection is and how to log in; the password itself is never part of it.
struct SyncAccount {
    std::string url;           // the collection's address
    std::string user;
    std::string passwordFile;  // empty: the desktop's keyring
    std::string caFile;        // trusted beside the system's certificates; empty for none
    // The calendar's name when the account was set up: its events' identifiers keep it, so that a calendar
    // renamed later still knows them. Empty: the calendar's name.
    std::string identity;
};

// The calendar a run works on.
struct SyncTarget {
    std::string calendarName;  // as stored
    std::string calendarFile;  // its ".DBX"
    std::string eventsFile;    // the yearly dates ("Events.dat"); missing is an empty list
    int today = 0;
};

struct SyncProgress {
    enum class Step { Listing, Fetching, SavingDays, Sending, Finishing } step = Step::Listing;
    int done = 0;
    int total = 0;  // 0 when not known
};

struct SyncRunOptions {
    bool dryRun = false;       // decide and report, change nothing on either side
    bool forceDelete = false;  // go past the guards against mass deletion
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const SyncProgress&)> progress;  // called on the run's thread
    std::time_t now = 0;  // time stamp of the events written; 0: the clock's
};

struct SyncReport {
    int sent = 0;          // objects written to the server (days, yearly dates)
    int received = 0;      // days here changed from the server's events
    int deletedHere = 0;   // days (or event lines) removed here because the server deleted them
    int deletedThere = 0;  // objects deleted on the server
    std::vector<int> mergedDays;    // changed on both sides differently: texts joined
    std::vector<int> restoredDays;  // deleted on one side and changed on the other: the change kept
    std::vector<std::string> messages;  // what the user should know (UTF-8), each once
    int requests = 0;                   // HTTP requests made
    bool changedHere = false;           // the calendar file was changed: windows reload it
};

// A sync that stopped. Nothing beyond the writes the server confirmed has changed; a rerun goes on.
class SyncError : public std::runtime_error {
public:
    enum class Kind {
        Guard,       // it would delete too much, or the collection is empty or missing: forceDelete goes on
        Connection,  // no answer, a certificate refused, a time-out
        Server,      // an answer that cannot be used
        Local,       // the calendar or the state file
        Cancelled,
    };
    SyncError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// Runs the sync. Throws SyncError; the report of a run that stopped is lost, its confirmed writes not.
SyncReport syncCalendar(const SyncTarget& target, const SyncAccount& account, const std::string& password,
                        const SyncRunOptions& options, HttpOptions tuning = {});

// The HTTP options of an account (credentials, CA file) on top of tuning (caps, time-outs).
HttpOptions httpOptionsFor(const SyncAccount& account, const std::string& password, HttpOptions tuning = {});

// Forgets what the last syncs of the calendar saw (after its account was removed or changed).
void forgetSyncState(const std::string& calendarFile);

}  // namespace orv::sync
