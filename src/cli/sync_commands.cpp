// sync-setup, sync and sync-remove: a calendar kept in step with a CalDAV server, from cron or a timer.

#include <iostream>
#include <optional>
#include <ostream>

#include <termios.h>
#include <unistd.h>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/date_format.h"
#include "common/file_util.h"
#include "sync/calendar_sync.h"
#include "sync/sync_account.h"

namespace orv::cli {
namespace {

std::string absolute(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return path;
    return joinPath(cwd, path);
}

// One line from the terminal without echo, or from standard input in a script.
std::string askPassword(std::ostream& err) {
    std::string line;
    if (isatty(STDIN_FILENO)) {
        termios old{};
        tcgetattr(STDIN_FILENO, &old);
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        err << "Password: " << std::flush;
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
        std::getline(std::cin, line);
        tcsetattr(STDIN_FILENO, TCSANOW, &old);
        err << '\n';
    } else {
        std::getline(std::cin, line);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) throw DataError("no password given (use --password-file FILE or type it)");
    return line;
}

std::string guardHint(const sync::SyncError& e) {
    return e.kind() == sync::SyncError::Kind::Guard ? std::string(e.what()) + "; sync --force-delete goes on"
                                                    : std::string(e.what());
}

}  // namespace

int cmdSyncSetup(CliContext& ctx, const Args& args) {
    const char* const usage =
        "sync-setup URL [--user USER] [--password-file FILE] [--ca-file FILE] [--collection NAME]";
    std::optional<std::string> url;
    std::string user, passwordFile, caFile, collection;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--user" || a == "--password-file" || a == "--ca-file" || a == "--collection") {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            std::string& target = a == "--user" ? user : a == "--password-file" ? passwordFile
                                                     : a == "--ca-file"       ? caFile
                                                                               : collection;
            target = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a + "; " + usage);
        } else if (!url) {
            url = a;
        } else {
            throw UsageError(usage);
        }
    }
    if (!url) throw UsageError(usage);
    ctx.openCalendarForReading();
    const std::string name = ctx.program.calendars.currentName();

    std::string password;
    bool toKeyring = false;
    try {
        if (!passwordFile.empty()) {
            passwordFile = absolute(passwordFile);
            password = sync::readPasswordFile(passwordFile);
        } else if (!user.empty()) {
            // The keyring's password for this server, else one typed now and kept there once it works.
            const auto known = sync::keyringPassword(*url, user);
            if (known) password = *known;
            else {
                password = askPassword(ctx.err);
                toKeyring = true;
            }
        }
        if (!caFile.empty()) {
            caFile = absolute(caFile);
            if (!fileExists(caFile)) throw DataError("the CA file " + caFile + " does not exist");
        }
        const sync::FoundCollection found = sync::findCollection(*url, user, password, caFile, collection);
        if (toKeyring) sync::storeKeyringPassword(found.url, user, password);
        else if (passwordFile.empty() && !user.empty() && found.url != *url)
            sync::storeKeyringPassword(found.url, user, password);
        // A calendar set up again keeps the name its events were made under.
        const auto before = sync::loadSyncAccount(ctx.program.settingsFile(), name);
        const std::string identity = before && !before->identity.empty() ? before->identity : name;
        sync::saveSyncAccount(ctx.program.settingsFile(), name, {found.url, user, passwordFile, caFile, identity});
        ctx.out << found.url << '\n';
    } catch (const sync::AccountError& e) {
        throw DataError(e.what());
    } catch (const sync::SyncError& e) {
        throw DataError(e.what());
    }
    return 0;
}

int cmdSync(CliContext& ctx, const Args& args) {
    bool all = false;
    sync::SyncRunOptions options;
    for (const std::string& a : args) {
        if (a == "--all") all = true;
        else if (a == "--dry-run") options.dryRun = true;
        else if (a == "--force-delete") options.forceDelete = true;
        else throw UsageError("unknown argument " + a + "; sync [--all] [--dry-run] [--force-delete]");
    }
    if (all && ctx.calendarOption) throw UsageError("--all syncs every calendar with an account; leave out --calendar");
    ctx.openCalendarForReading();
    const CalendarList& calendars = ctx.program.calendars;
    std::vector<int> chosen;
    if (all) {
        for (int i = 0; i < calendars.size(); ++i)
            if (sync::loadSyncAccount(ctx.program.settingsFile(), calendars.Names[static_cast<size_t>(i)]))
                chosen.push_back(i);
        if (chosen.empty()) throw DataError("no calendar has a CalDAV account (sync-setup sets one up)");
    } else {
        chosen.push_back(calendars.CurrentCalendarIndex);
    }

    int failures = 0;
    for (const int index : chosen) {
        const std::string& stored = calendars.Names[static_cast<size_t>(index)];
        const std::string& name = stored;
        try {
            const auto account = sync::loadSyncAccount(ctx.program.settingsFile(), stored);
            if (!account) throw DataError("the calendar " + name + " has no CalDAV account (sync-setup sets one up)");
            const sync::SyncReport r = sync::syncCalendar(sync::syncTargetFor(ctx.program, index), *account,
                                                          sync::accountPassword(*account), options);
            ctx.out << name << ": " << r.sent << " sent, " << r.received << " received, " << r.deletedHere
                    << " deleted here, " << r.deletedThere << " deleted there, " << r.mergedDays.size() << " merged\n";
            for (const int day : r.mergedDays) ctx.out << "merged " << isoDate(day) << '\n';
            for (const int day : r.restoredDays)
                ctx.err << "orvella-cli: " << name << ": " << isoDate(day)
                        << " was deleted on one side and changed on the other; the change was kept\n";
            for (const std::string& m : r.messages) ctx.err << "orvella-cli: " << name << ": " << m << '\n';
        } catch (const sync::SyncError& e) {
            ctx.err << "orvella-cli: " << name << ": " << guardHint(e) << '\n';
            ++failures;
        } catch (const sync::AccountError& e) {
            ctx.err << "orvella-cli: " << name << ": " << e.what() << '\n';
            ++failures;
        } catch (const DataError& e) {
            if (!all) throw;
            ctx.err << "orvella-cli: " << e.what() << '\n';
            ++failures;
        }
    }
    return failures ? 2 : 0;
}

int cmdSyncRemove(CliContext& ctx, const Args& args) {
    if (!args.empty()) throw UsageError("sync-remove takes no arguments");
    ctx.openCalendarForReading();
    const std::string stored = ctx.program.calendars.currentName();
    const auto account = sync::loadSyncAccount(ctx.program.settingsFile(), stored);
    if (!account) throw DataError("the calendar " + stored + " has no CalDAV account");
    sync::removeSyncAccount(ctx.program.settingsFile(), stored);
    sync::forgetSyncState(ctx.program.calendars.CalendarFileName(ctx.program.calendars.CurrentCalendarIndex));
    if (account->passwordFile.empty() && !account->user.empty()) {
        try {
            sync::clearKeyringPassword(account->url, account->user);
        } catch (const sync::AccountError& e) {
            ctx.err << "orvella-cli: warning: the password stays in the keyring: " << e.what() << '\n';
        }
    }
    return 0;
}

}  // namespace orv::cli
