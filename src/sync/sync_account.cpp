#include "sync/sync_account.h"

#include <algorithm>
#include <cstdio>

#include <libsecret/secret.h>
#include <unistd.h>

#include "common/file_util.h"
#include "common/ini_file.h"
#include "common/sys_file.h"
#include "program/program.h"
#include "sync/caldav_client.h"
#include "sync/dav_xml.h"
#include "sync/sync_state.h"

namespace orv::sync {
namespace {

// A calendar's name may hold anything a section name cannot: brackets, "%" and control characters are
// written as %XX.
std::string sectionOf(std::string_view calendarName) {
    std::string out = "CalDAV ";
    for (const char ch : calendarName) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == '[' || c == ']' || c == '%' || c == 0x7F) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out;
}

const SecretSchema* passwordSchema() {
    static const SecretSchema schema = {"org.orvella.CalDAV",
                                        SECRET_SCHEMA_NONE,
                                        {{"url", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return &schema;
}

[[noreturn]] void keyringFailed(GError* error) {
    const std::string why = error && error->message ? error->message : "no answer";
    if (error) g_error_free(error);
    throw AccountError("the desktop's keyring cannot be reached (" + why +
                       "); give the password in a file that only you can read (--password-file)");
}

bool sameName(std::string_view a, std::string_view b) { return equalsIgnoringAsciiCase(a, b); }

std::string lastSegment(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

SyncTarget syncTargetFor(const Program& program, int calendarIndex) {
    const CalendarList& list = program.calendars;
    return {list.Names.at(static_cast<size_t>(calendarIndex)), list.CalendarFileName(calendarIndex),
            program.eventsFile(), program.today()};
}

std::optional<SyncAccount> loadSyncAccount(const std::string& settingsFile, std::string_view calendarName) {
    IniFile ini;
    ini.load(settingsFile);
    const std::string section = sectionOf(calendarName);
    SyncAccount a;
    a.url = ini.readString(section, "URL", "");
    if (a.url.empty()) return std::nullopt;
    a.user = ini.readString(section, "User", "");
    a.identity = ini.readString(section, "Identity", "");
    // File names are bytes.
    a.passwordFile = ini.value(section, "Password File").value_or("");
    a.caFile = ini.value(section, "CA File").value_or("");
    return a;
}

void saveSyncAccount(const std::string& settingsFile, std::string_view calendarName, const SyncAccount& account) {
    IniFile ini;
    ini.load(settingsFile);
    const std::string section = sectionOf(calendarName);
    ini.deleteSection(section);
    ini.writeString(section, "URL", account.url);
    ini.writeString(section, "User", account.user);
    if (!account.identity.empty()) ini.writeString(section, "Identity", account.identity);
    if (!account.passwordFile.empty()) ini.writeValue(section, "Password File", account.passwordFile);
    if (!account.caFile.empty()) ini.writeValue(section, "CA File", account.caFile);
    ini.save(settingsFile);
}

bool removeSyncAccount(const std::string& settingsFile, std::string_view calendarName) {
    IniFile ini;
    if (!ini.load(settingsFile)) return false;
    const std::string section = sectionOf(calendarName);
    if (!ini.hasSection(section)) return false;
    ini.deleteSection(section);
    ini.save(settingsFile);
    return true;
}

bool renameSyncAccount(const std::string& settingsFile, std::string_view oldName, std::string_view newName,
                       const std::string& oldCalendarFile, const std::string& newCalendarFile) {
    auto account = loadSyncAccount(settingsFile, oldName);
    if (!account) return false;
    if (account->identity.empty()) account->identity = std::string(oldName);
    for (const auto& fileOf : {SyncState::stateFileName, SyncState::journalFileName})
        if (statPath(fileOf(oldCalendarFile))) renameWithoutReplacing(fileOf(oldCalendarFile), fileOf(newCalendarFile));
    IniFile ini;
    ini.load(settingsFile);
    ini.deleteSection(sectionOf(oldName));
    ini.save(settingsFile);
    saveSyncAccount(settingsFile, newName, *account);
    return true;
}

std::string readPasswordFile(const std::string& path) {
    const auto status = statPath(path);
    if (!status) throw AccountError("the password file " + path + " does not exist");
    if (!S_ISREG(status->st_mode)) throw AccountError("the password file " + path + " is no regular file");
    if (status->st_uid != geteuid()) throw AccountError("the password file " + path + " belongs to another user; refused");
    if ((status->st_mode & 077) != 0)
        throw AccountError("the password file " + path + " can be read by others; refused (make it private: chmod 600 " +
                           path + ")");
    const std::optional<std::string> bytes = readWholeFile(path, 64 * 1024);
    if (!bytes) throw AccountError("the password file " + path + " does not exist");
    std::string password = bytes->substr(0, bytes->find_first_of("\r\n"));
    if (password.empty()) throw AccountError("the password file " + path + " holds no password on its first line");
    return password;
}

void storeKeyringPassword(const std::string& url, const std::string& user, const std::string& password) {
    GError* error = nullptr;
    const std::string label = "Orvella: " + user + " at " + displayAddress(url);
    if (!secret_password_store_sync(passwordSchema(), SECRET_COLLECTION_DEFAULT, label.c_str(), password.c_str(),
                                    nullptr, &error, "url", url.c_str(), "user", user.c_str(), nullptr))
        keyringFailed(error);
}

std::optional<std::string> keyringPassword(const std::string& url, const std::string& user) {
    GError* error = nullptr;
    gchar* found = secret_password_lookup_sync(passwordSchema(), nullptr, &error, "url", url.c_str(), "user",
                                               user.c_str(), nullptr);
    if (error) keyringFailed(error);
    if (!found) return std::nullopt;
    std::string out = found;
    secret_password_free(found);
    return out;
}

void clearKeyringPassword(const std::string& url, const std::string& user) {
    GError* error = nullptr;
    secret_password_clear_sync(passwordSchema(), nullptr, &error, "url", url.c_str(), "user", user.c_str(), nullptr);
    if (error) keyringFailed(error);
}

std::string accountPassword(const SyncAccount& account) {
    if (!account.passwordFile.empty()) return readPasswordFile(account.passwordFile);
    if (account.user.empty()) return {};
    if (auto p = keyringPassword(account.url, account.user)) return *p;
    throw AccountError("the desktop's keyring holds no password for " + account.user + " at " +
                       displayAddress(account.url) + "; set the account up again");
}

std::vector<FoundCollection> listCollections(const std::string& url, const std::string& user,
                                             const std::string& password, const std::string& caFile,
                                             HttpOptions tuning) {
    try {
        const SyncAccount account{url, user, {}, caFile, {}};
        HttpClient http(httpOptionsFor(account, password, std::move(tuning)));
        CalDavClient dav(http);
        std::vector<FoundCollection> out;
        for (const CollectionInfo& c : dav.discover(url))
            out.push_back({c.url.ends_with('/') ? c.url : c.url + "/",
                           c.displayName.empty() ? lastSegment(decodedPath(c.url)) : c.displayName});
        return out;
    } catch (const HttpError& e) {
        throw SyncError(SyncError::Kind::Connection, e.what());
    } catch (const DavError& e) {
        throw SyncError(SyncError::Kind::Server, e.what());
    }
}

int loadSyncInterval(const std::string& settingsFile) {
    IniFile ini;
    ini.load(settingsFile);
    return std::clamp(ini.readInteger("CalDAV", "Interval", kDefaultSyncInterval), 0, kMaxSyncInterval);
}

void saveSyncInterval(const std::string& settingsFile, int minutes) {
    IniFile ini;
    ini.load(settingsFile);
    ini.writeInteger("CalDAV", "Interval", std::clamp(minutes, 0, kMaxSyncInterval));
    ini.save(settingsFile);
}

FoundCollection findCollection(const std::string& url, const std::string& user, const std::string& password,
                               const std::string& caFile, const std::string& collectionName, HttpOptions tuning) {
    try {
        const SyncAccount account{url, user, {}, caFile, {}};
        HttpClient http(httpOptionsFor(account, password, std::move(tuning)));
        CalDavClient dav(http);
        const std::vector<CollectionInfo> found = dav.discover(url);
        if (found.empty()) throw AccountError("the server at " + displayAddress(url) + " has no calendar for this user");
        const CollectionInfo* chosen = &found.front();
        if (!collectionName.empty()) {
            const auto it = std::find_if(found.begin(), found.end(), [&](const CollectionInfo& c) {
                return sameName(c.displayName, collectionName) || sameName(lastSegment(decodedPath(c.url)), collectionName);
            });
            if (it == found.end()) {
                std::string names;
                for (const CollectionInfo& c : found)
                    names += (names.empty() ? "" : ", ") + (c.displayName.empty() ? lastSegment(c.url) : c.displayName);
                throw AccountError("the server has no calendar named \"" + collectionName + "\" (it has: " + names + ")");
            }
            chosen = &*it;
        }
        // The collection itself must answer, with these credentials, as a calendar.
        const CollectionState state = dav.collectionState(chosen->url);
        if (!state.found || !state.calendar)
            throw AccountError("the address " + displayAddress(chosen->url) + " is no calendar collection");
        return {chosen->url.ends_with('/') ? chosen->url : chosen->url + "/", chosen->displayName};
    } catch (const HttpError& e) {
        throw SyncError(SyncError::Kind::Connection, e.what());
    } catch (const DavError& e) {
        throw SyncError(SyncError::Kind::Server, e.what());
    }
}

}  // namespace orv::sync
