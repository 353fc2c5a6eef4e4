#include "backup/restore_journal.h"

#include <algorithm>

#include "backup/backup_set.h"
#include "backup/disk_files.h"
#include "backup/restore_run.h"
#include "backup/set_identity.h"
#include "common/date_format.h"
#include "common/file_util.h"
#include "common/io_error.h"
#include "common/sys_file.h"
#include "store/calendar_lock.h"

namespace orv {
namespace {

constexpr std::string_view kHeading = "Orvella restore journal";
constexpr std::string_view kJournalSuffix = ".restore-journal";
constexpr std::string_view kCopyTemp = ".orvella-copy.tmp";
constexpr std::size_t kMaxJournalBytes = 1 << 20;

bool plainName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

bool listFileName(std::string_view name) {
    return equalsIgnoringAsciiCase(name, kUsersFileName) || equalsIgnoringAsciiCase(name, kEventsFileName);
}

std::string stripSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string baseName(const std::string& folder) {
    const std::string f = stripSlashes(folder);
    const size_t slash = f.find_last_of('/');
    return slash == std::string::npos ? f : f.substr(slash + 1);
}

bool present(const std::string& path) { return statPath(path).has_value(); }

struct Paths {
    std::string staged, target, copy;
};

Paths pathsOf(const JournalEntry& e, const RestoreFolders& folders, const std::string& copies) {
    const std::string& folder = e.inData ? folders.data : folders.program;
    return {joinPath(folder, e.staged), joinPath(folder, e.target), joinPath(copies, e.target)};
}

// A second name where the file system has them, else a copy that is complete once it has its name.
void keepCopy(const std::string& from, const std::string& copy, const std::string& copies) {
    if (present(copy) || linkPath(from, copy)) return;
    const std::string temp = joinPath(copies, kCopyTemp);
    const auto size = statPath(from);
    if (!size) return;
    copyBytes(from, 0, static_cast<std::uint64_t>(size->st_size), temp);
    syncFile(temp);
    renamePath(temp, copy);
}

// The kept file back in its place: by its name, else (another file system) by a copy of its bytes.
void putBack(const std::string& copy, const std::string& target, const std::string& stagingFolder) {
    try {
        renamePath(copy, target);
    } catch (const IoError&) {
        const std::string temp = joinPath(stagingFolder, std::string(RestoreRun::kPutBackName));
        const auto size = statPath(copy);
        copyBytes(copy, 0, size ? static_cast<std::uint64_t>(size->st_size) : 0, temp);
        syncFile(temp);
        renamePath(temp, target);
    }
    // A second name of the very file the target has: the rename left it.
    removePath(copy);
}

void forward(const RestoreJournal& j, const RestoreFolders& folders) {
    const std::string copies = joinPath(folderAboveData(folders.data), j.copies);
    bool copied = false;
    for (const JournalEntry& e : j.entries) {
        const Paths p = pathsOf(e, folders, copies);
        if (!e.hadOld || !present(p.staged) || !present(p.target)) continue;
        if (!copied && !folderExists(copies)) makeFolders(copies);
        copied = true;
        keepCopy(p.target, p.copy, copies);
    }
    // Every old file kept for good before the first is replaced.
    if (copied) flushFolder(copies);
    bool inProgram = false;
    for (const JournalEntry& e : j.entries) {
        const Paths p = pathsOf(e, folders, copies);
        if (present(p.staged)) renamePath(p.staged, p.target);
        inProgram = inProgram || !e.inData;
    }
    flushFolder(folders.data);
    if (inProgram) flushFolder(folders.program);
}

void back(const RestoreJournal& j, const RestoreFolders& folders) {
    const std::string copies = joinPath(folderAboveData(folders.data), j.copies);
    for (const JournalEntry& e : j.entries) {
        const Paths p = pathsOf(e, folders, copies);
        const std::string& folder = e.inData ? folders.data : folders.program;
        if (present(p.staged)) {
            // Never put in place; a copy made of the file still there is not needed.
            removePath(p.staged);
            if (e.hadOld) removePath(p.copy);
        } else if (!e.hadOld) {
            removePath(p.target);
        } else if (present(p.copy)) {
            putBack(p.copy, p.target, folder);
        }
    }
    flushFolder(folders.data);
    flushFolder(folders.program);
    if (folderExists(copies)) {
        removePath(joinPath(copies, kCopyTemp));
        removeEmptyFolder(copies);
    }
}

// Every calendar the journal puts in place, locked for writing while its files move (in one order, so that
// two restores never wait on each other): no program reads a calendar half restored, nor writes into a
// file being replaced; each counts the change, so that keys read before are known to be stale.
std::vector<CalendarLock> lockCalendars(const RestoreJournal& j, const RestoreFolders& folders) {
    std::vector<std::string> files;
    for (const JournalEntry& e : j.entries)
        if (e.inData) files.push_back(joinPath(folders.data, e.target));
    std::sort(files.begin(), files.end());
    std::vector<CalendarLock> locks;
    for (const std::string& file : files) {
        locks.emplace_back(file, CalendarLock::Mode::Exclusive);
        locks.back().countChange();
    }
    return locks;
}

void carryOut(const RestoreJournal& j, const RestoreFolders& folders) {
    if (j.forward) forward(j, folders);
    else back(j, folders);
}

void writeJournal(const RestoreJournal& j, const std::string& dataFolder) {
    writeFileAtomically(journalPath(dataFolder), journalBytes(j));
    flushFolder(folderAboveData(dataFolder));
}

void removeJournal(const std::string& dataFolder) {
    removePath(journalPath(dataFolder));
    flushFolder(folderAboveData(dataFolder));
}

}  // namespace

std::string journalBytes(const RestoreJournal& j) {
    std::string out = std::string(kHeading) + "\r\n";
    out += std::string("Direction=") + (j.forward ? "Forward" : "Back") + "\r\n";
    out += "Copies=" + j.copies + "\r\n";
    for (const JournalEntry& e : j.entries)
        out += std::string(e.inData ? "Data=" : "Program=") + (e.hadOld ? "1|" : "0|") + e.staged + "|" + e.target +
               "\r\n";
    return out;
}

std::optional<RestoreJournal> readJournal(std::string_view bytes) {
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = bytes.find("\r\n", at);
        if (end == std::string_view::npos) return std::nullopt;
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    if (lines.size() < 3 || lines[0] != kHeading) return std::nullopt;
    RestoreJournal j;
    if (lines[1] == "Direction=Forward") j.forward = true;
    else if (lines[1] == "Direction=Back") j.forward = false;
    else return std::nullopt;
    if (!lines[2].starts_with("Copies=")) return std::nullopt;
    j.copies = std::string(lines[2].substr(7));
    if (!plainName(j.copies)) return std::nullopt;
    for (size_t i = 3; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        JournalEntry e;
        if (line.starts_with("Data=")) line.remove_prefix(5);
        else if (line.starts_with("Program=")) line.remove_prefix(8), e.inData = false;
        else return std::nullopt;
        if (line.size() < 2 || (line[0] != '0' && line[0] != '1') || line[1] != '|') return std::nullopt;
        e.hadOld = line[0] == '1';
        line.remove_prefix(2);
        const size_t bar = line.find('|');
        if (bar == std::string_view::npos) return std::nullopt;
        e.staged = std::string(line.substr(0, bar));
        e.target = std::string(line.substr(bar + 1));
        if (!RestoreRun::isStagingName(e.staged) || !plainName(e.staged)) return std::nullopt;
        if (e.inData ? !isCalendarFileName(e.target) : !listFileName(e.target)) return std::nullopt;
        j.entries.push_back(std::move(e));
    }
    return j;
}

std::string folderAboveData(const std::string& dataFolder) {
    const std::string f = stripSlashes(dataFolder);
    const size_t slash = f.find_last_of('/');
    if (f == "/" || f.empty()) throw IoError("The data folder \"" + dataFolder + "\" has no folder above it.", f);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : f.substr(0, slash);
}

std::string journalPath(const std::string& dataFolder) {
    return joinPath(folderAboveData(dataFolder), baseName(dataFolder) + std::string(kJournalSuffix));
}

std::string freeCopiesName(const std::string& dataFolder, int today) {
    std::string stem = baseName(dataFolder);
    for (char& c : stem)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
    stem += " before restore " + isoDate(today);
    const std::string above = folderAboveData(dataFolder);
    for (int n = 1;; ++n) {
        const std::string name = n == 1 ? stem : stem + " (" + std::to_string(n) + ")";
        if (!statPath(joinPath(above, name))) return name;
    }
}

std::optional<std::string> carryOutJournal(RestoreJournal journal, const RestoreFolders& folders) {
    const auto locks = lockCalendars(journal, folders);
    try {
        writeJournal(journal, folders.data);
    } catch (const IoError&) {
        // Perhaps written after all: nothing has moved yet, and nothing shall at the next start.
        try {
            removePath(journalPath(folders.data));
        } catch (const IoError&) {
        }
        throw;
    }
    try {
        carryOut(journal, folders);
    } catch (const IoError& failure) {
        journal.forward = false;
        try {
            writeJournal(journal, folders.data);
            carryOut(journal, folders);
            removeJournal(folders.data);
        } catch (const IoError& e) {
            throw IoError(std::string(failure.what()) +
                              " The restore could not be taken back at once either (" + e.what() +
                              "); the next start of Orvella puts your calendars back as they were.",
                          failure.path());
        }
        throw;
    }
    try {
        removeJournal(folders.data);
    } catch (const IoError& e) {
        return std::string("The calendars were restored, but the restore's journal could not be deleted (") +
               e.what() + "). The next start deletes it.";
    }
    return std::nullopt;
}

std::optional<std::string> completeInterruptedRestore(const RestoreFolders& folders) {
    std::string path;
    try {
        path = journalPath(folders.data);
    } catch (const IoError&) {
        return std::nullopt;  // no folder above the data folder: no restore could have begun
    }
    const auto bytes = readWholeFile(path, kMaxJournalBytes);
    if (!bytes) return std::nullopt;
    const auto journal = readJournal(*bytes);
    if (!journal)
        throw IoError("The journal of an interrupted restore, \"" + path +
                          "\", is damaged, so the restore can neither be completed nor taken back. Your "
                          "calendars may be partly restored. Please look at the data folder and delete the "
                          "journal.",
                      path);
    try {
        const auto locks = lockCalendars(*journal, folders);
        carryOut(*journal, folders);
        removeJournal(folders.data);
    } catch (const IoError& e) {
        throw IoError(std::string("A restore was interrupted and could not be ") +
                          (journal->forward ? "completed" : "taken back") + " now: " + e.what(),
                      path);
    }
    if (!journal->forward) return std::string("A restore that had failed was taken back: your calendars are as they "
                                              "were before it.");
    bool kept = false;
    for (const auto& e : journal->entries) kept = kept || e.hadOld;
    std::string message = "A restore that was interrupted has been completed.";
    if (kept)
        message += " The files it replaced are kept in \"" + joinPath(folderAboveData(folders.data), journal->copies) +
                   "\".";
    return message;
}

}  // namespace orv
