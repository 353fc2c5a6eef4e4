#pragma once
// The journal of a restore putting its files in place, beside the data folder ("Data.restore-journal"):
// which staged file goes over which calendar (or list file of the program folder), and where the files
// it replaces are kept. Written whole before the first file moves and deleted after the last, it lets
// the next start of either program finish what a killed restore began, or take back what a failed one
// did, so the data folder always holds the old set or the new one. Every step can be run again: a start
// killed while it recovers recovers at the next.
//
//   Orvella restore journal
//   Direction=Forward | Back
//   Copies=<folder beside the data folder>
//   Data=<hadOld 0/1>|<staged name>|<target name>      (files of the data folder)
//   Program=<hadOld 0/1>|<staged name>|<target name>   (files of the program folder)

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

struct RestoreFolders {
    std::string data;     // the data folder
    std::string program;  // the program folder ("CalUsers.DAT", "Events.dat")
};

struct JournalEntry {
    bool inData = true;   // else in the program folder
    bool hadOld = false;  // a file was there before: it is kept in the copies folder first
    std::string staged;   // the complete new file, a staging name
    std::string target;
    bool operator==(const JournalEntry&) const = default;
};

struct RestoreJournal {
    bool forward = true;  // false: the restore failed and is being taken back
    std::string copies;   // folder name beside the data folder
    std::vector<JournalEntry> entries;
    bool operator==(const RestoreJournal&) const = default;
};

std::string journalBytes(const RestoreJournal& journal);
// nullopt unless every line is in its form and every name a plain name of its kind.
std::optional<RestoreJournal> readJournal(std::string_view bytes);

// The folder that holds the data folder; throws IoError for a data folder that has none ("/").
std::string folderAboveData(const std::string& dataFolder);
std::string journalPath(const std::string& dataFolder);
// "<data folder's name> before restore YYYY-MM-DD", with " (2)", " (3)", ... when that is taken.
std::string freeCopiesName(const std::string& dataFolder, int today);

// Locks every calendar it puts in place for writing, writes the journal and carries it out (the locks held
// to the end): forward, or (after a failure on the way) back again, leaving the
// folders as they were, and throws the failure; when the taking back fails too, the journal stays for the
// next start and the message says so. A warning (UTF-8) when all is in place but the journal could not be
// deleted.
std::optional<std::string> carryOutJournal(RestoreJournal journal, const RestoreFolders& folders);

// At the start of either program: finishes or takes back a restore that was stopped on its way, its calendars
// locked meanwhile. nullopt when there was none; else what the user is told (UTF-8). Throws IoError for a journal that cannot be read or
// carried out, naming it.
std::optional<std::string> completeInterruptedRestore(const RestoreFolders& folders);

}  // namespace orv
