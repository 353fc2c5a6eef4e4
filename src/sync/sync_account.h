#pragma once
// A calendar's CalDAV account: the collection's address, the user name, where the password is and an
// optional extra CA file, kept in the settings file in a section of the calendar's own ("CalDAV " and its
// name). The password itself is never there: it is in the desktop's keyring (the Secret Service, through
// libsecret), or in a file the user names that nobody else can read.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sync/calendar_sync.h"
#include "sync/http_client.h"

namespace orv {
class Program;
}

namespace orv::sync {

// An account that cannot be used as it stands (a password file others can read, no keyring). UTF-8.
class AccountError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The calendar at calendarIndex of the program's list as a sync works on it: its name, file, the yearly
// dates and today.
SyncTarget syncTargetFor(const Program& program, int calendarIndex);

// Throws IoError for a settings file that cannot be read or written.
std::optional<SyncAccount> loadSyncAccount(const std::string& settingsFile, std::string_view calendarName);
void saveSyncAccount(const std::string& settingsFile, std::string_view calendarName, const SyncAccount& account);
// Returns whether there was an account.
bool removeSyncAccount(const std::string& settingsFile, std::string_view calendarName);
// After a calendar was renamed: its account and the state of its last sync go with it, and its events keep
// their identifiers. Returns whether it had an account. Throws IoError.
bool renameSyncAccount(const std::string& settingsFile, std::string_view oldName, std::string_view newName,
                       const std::string& oldCalendarFile, const std::string& newCalendarFile);

// The password of a file that only its owner, this user, can read: its first line. Throws AccountError.
std::string readPasswordFile(const std::string& path);

// The desktop's keyring, by collection address and user name. Throw AccountError when no keyring answers.
void storeKeyringPassword(const std::string& url, const std::string& user, const std::string& password);
std::optional<std::string> keyringPassword(const std::string& url, const std::string& user);
void clearKeyringPassword(const std::string& url, const std::string& user);

// The account's password, from its file or the keyring. Throws AccountError.
std::string accountPassword(const SyncAccount& account);

struct FoundCollection {
    std::string url;
    std::string displayName;  // UTF-8
};

// The collection an address leads to: the address itself when it is a calendar collection, else the one
// named (by its display name or the last part of its address, ignoring case), else the first calendar
// found. Checks on the way that the server answers and takes the credentials. Throws AccountError (no
// such collection), SyncError (connection, server).
FoundCollection findCollection(const std::string& url, const std::string& user, const std::string& password,
                               const std::string& caFile, const std::string& collectionName, HttpOptions tuning = {});

// Every calendar collection the address leads to (as findCollection looks for them), for the user to choose
// one. Throws SyncError (connection, server).
std::vector<FoundCollection> listCollections(const std::string& url, const std::string& user,
                                             const std::string& password, const std::string& caFile,
                                             HttpOptions tuning = {});

// Minutes between the windows' syncs while the program runs (section "CalDAV", "Interval"); 0: none.
constexpr int kDefaultSyncInterval = 15;
constexpr int kMaxSyncInterval = 24 * 60;
int loadSyncInterval(const std::string& settingsFile);
void saveSyncInterval(const std::string& settingsFile, int minutes);

}  // namespace orv::sync
