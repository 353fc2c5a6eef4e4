#pragma once
// What the last sync of a calendar saw, for the three-way decisions of the next: the collection, its
// sync token or ctag, and per server object its address, its ETag as received and hashes of the day's
// text here and of the server's text. Kept beside the calendar ("<name>.sync"), written whole through a
// temporary file at the end of a sync, and between, after every write the server confirmed, one record
// appended to its journal ("<name>.sync-journal"), so that an interrupted sync loses no confirmed write.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "events/entry_stamper.h"

namespace orv::sync {

enum class EntryKind : char {
    Day = 'D',      // the event of a day's own text
    Foreign = 'F',  // an event made elsewhere, shown as entry lines
    Yearly = 'Y',   // a yearly date, sent one way
    Other = 'O',    // anything else (a task, an object that cannot be read): left alone
};

struct StateEntry {
    EntryKind kind = EntryKind::Other;
    std::string etag;
    int day = 0;             // Day
    std::string uid;         // Foreign
    std::string localHash;   // Day: the day's own text here; Yearly: what was sent
    std::string serverHash;  // Day: the server's text of the day; Foreign: the object
    bool recurring = false;  // Foreign
    bool asSent = false;     // Day: the server holds the event as this client made it, unchanged since
    std::vector<StampItem> lines;  // Foreign: the entry lines it put into days (CR LF included)
    std::set<int> suppressed;      // Foreign: days whose line was removed here
};

class SyncState {
public:
    std::string collection;  // the collection's address these entries belong to
    std::string syncToken;
    std::string ctag;
    int yearlyFrom = 0;  // the first day of the yearly dates sent
    std::map<std::string, StateEntry> entries;  // by decoded href

    // nullopt when neither file exists. A damaged state file is an IoError (CorruptFileError); the journal
    // counts up to its first record that is cut short or does not read.
    static std::optional<SyncState> load(const std::string& calendarFile);
    // Writes the whole state and removes the journal.
    void save(const std::string& calendarFile) const;
    // Appends the entry of href (or its removal when it is not in entries) and the sync token to the journal.
    void journal(const std::string& calendarFile, const std::string& href) const;
    // Removes both files.
    static void forget(const std::string& calendarFile);

    static std::string stateFileName(const std::string& calendarFile);
    static std::string journalFileName(const std::string& calendarFile);
};

// A hash of a text for change detection: 16 hexadecimal digits.
std::string textHash(std::string_view text);

}  // namespace orv::sync
