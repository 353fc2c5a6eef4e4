#pragma once
// The calendar store: one calendar file of 1028-byte records open at a time, its date keys in memory,
// and the single record buffer every read and write passes through. Every record access opens and
// closes the file; nothing is held open between operations.

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <sys/stat.h>

#include "common/sys_file.h"
#include "store/calendar_lock.h"

namespace orv {

class CalendarList;

constexpr int kRecordSize = 1028;
constexpr int kTextSize = 1020;
constexpr int kMaxStoredChars = 1019;  // bytes: the text plus its terminating zero fill Text
constexpr int kPurgeThreshold = 10000;
constexpr int kPurgeCount = 500;
// A calendar file of more records than this is refused as corrupt: far more than a calendar ever holds
// (joined files and purges included), far less than would exhaust the memory.
constexpr int kMaxLoadedRecords = 10 * kPurgeThreshold;

struct ReminderRecord {
    double Date = 0;
    std::array<char, kTextSize> Text{};

    // The text (UTF-8) that the bytes up to the first zero byte hold (all 1020 bytes when there is none).
    std::string text() const;
    // Fills Text with zero bytes, then stores the text (UTF-8) in at most kMaxStoredChars bytes, cut before
    // a character that would not fit whole.
    void setText(std::string_view text);
    // The bytes up to the first zero byte, as the file holds them.
    std::string storedText() const;
    void clear();

    std::array<char, kRecordSize> toBytes() const;  // little-endian double, then Text
    static ReminderRecord fromBytes(const char* bytes);
};

// The date keys of the open calendar in file order; entry i belongs to record i, an empty entry marks a
// deleted record. An index from key to first position keeps lookups from scanning the list.
class KeyList {
public:
    int size() const { return static_cast<int>(keys_.size()); }
    bool empty() const { return keys_.empty(); }
    const std::string& operator[](int i) const { return keys_[static_cast<size_t>(i)]; }
    const std::vector<std::string>& keys() const { return keys_; }

    int indexOf(const std::string& key) const;  // first position, -1 when absent; empty keys never match
    int add(std::string key);                   // appends, returns the new position
    void clearAt(int i);                        // marks entry i deleted (empty); nothing outside the list
    void removeLast();                          // takes back the last add
    void reserve(int n) {
        keys_.reserve(static_cast<size_t>(n));
        index_.reserve(static_cast<size_t>(n));
    }
    bool hasEmptyEntry() const { return emptyCount_ > 0; }
    void clear();

private:
    struct Where {
        int first = 0;  // position of the first occurrence
        int count = 0;  // occurrences; a later one becomes first when the first is cleared
    };
    std::vector<std::string> keys_;
    std::unordered_map<std::string, Where> index_;
    int emptyCount_ = 0;
};

// A calendar file as a load reads it, apart from any store, so that it can be read on another thread while
// the windows are built: the key of every record (empty for a record without text, which is no day), the
// last record, and the file's state when it was read.
struct CalendarKeys {
    std::string fileName;
    bool found = false;     // the file exists
    struct stat status {};  // taken before the records were read
    std::uint64_t changes = 0;  // the lock file's change count then
    KeyList keys;
    std::optional<ReminderRecord> last;
};

// Reads under the calendar's shared lock. Throws IoError for a file that cannot be read or is too large to
// be a calendar, or that another program keeps locked.
CalendarKeys readCalendarKeys(const std::string& fileName);

// One record as read from the file: its date and its text.
struct StoredDay {
    double date = 0;
    std::string text;
};

// What an editor's save did to its day (CalDb::saveDay).
struct SavedDay {
    enum class Outcome {
        Written,   // the calendar held the text the editor had shown: it now holds the editor's
        Merged,    // another program had changed the day: it now holds both texts, the other one first
        Archived,  // both did not fit into one day: the day holds the editor's, the other went to the archive
    };
    Outcome outcome = Outcome::Written;
    std::string text;    // what the day holds now (empty: no record)
    std::string before;  // what it held before the save
};

// The store of the current calendar. Every operation takes the calendar's lock (CalendarLock) for its
// own length, shared to read and exclusive to write, and before it uses its keys compares the calendar
// file with the state they were read from, reading them again where another program changed it. So a
// second window program, orvella-cli or a restore may work on the same calendar at the same time.
class CalDb {
public:
    CalDb() = default;
    CalDb(const CalDb&) = delete;
    CalDb& operator=(const CalDb&) = delete;
    ~CalDb();

    // The calendars whose files the store opens (names, current index, data folder).
    void setCalendars(const CalendarList* calendars) { calendars_ = calendars; }
    // How long an operation waits for another program's lock before it fails.
    void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

    std::string CalendarFileName(int index) const;
    void SetCurrentCalendarFile();
    void LoadStore(const std::string& fileName);
    void OpenCurrentCalendar();
    bool FindDay(double date);
    bool FetchDay(double date);
    void StoreDay();
    void AppendDay();
    void DeleteCurrentDay();
    void ReadRecordAt(int i);
    void WriteRecordAt(int i);
    void CompactStore(const std::string& fileName);
    void CompactStoreIfNeeded(const std::string& fileName);
    void FlushCurrentCalendar();
    void PurgeOldestDays(const std::string& fileName);
    void FreeStore();

    // A day's text by value (UTF-8), for every read-modify-write outside the store: nullopt when the calendar
    // does not hold the day. Writing an empty text deletes the day; a known day is rewritten in its record, a
    // new one appended. A day written with the text it holds keeps its bytes.
    std::optional<std::string> readDay(double date);
    void writeDay(double date, std::string_view text);
    // An editor's save, in one operation: text is what the user made of shown, the text the editor showed
    // for the day. Where the calendar still holds shown, or already holds text, text is written as writeDay
    // writes it. Where another program changed the day meanwhile, nothing is lost: the day holds the stored
    // text, then text on a line of its own; where the two do not fit into room characters, the day holds text
    // and the stored text is appended to the archive (purgeArchiveName).
    SavedDay saveDay(double date, std::string_view shown, std::string_view text, std::size_t room);

    // Record by record, for passes over every day of the file (records 0 .. recordCount() - 1, those loaded
    // and those appended since): nullopt for a deleted record. rewriteRecord writes record i itself, so that
    // a file holding a day twice keeps its other record; an empty text deletes the record.
    int recordCount() const { return keyList.size(); }
    std::optional<StoredDay> readRecord(int i);
    void rewriteRecord(int i, double date, std::string_view text);

    // Changes made between beginChanges() and commitChanges() are kept in memory; the commit writes the
    // calendar file anew with all of them, deletions included, and puts it in place with one rename, then
    // reloads the keys. So the file holds every change or none, whatever fails or stops the process. The
    // calendar's exclusive lock is held from beginChanges() to the commit or discardChanges(), which
    // forgets the changes and reloads. Stamping and removals of entry lines run this way.
    void beginChanges();
    void commitChanges();
    void discardChanges() noexcept;

    // Several operations that other programs see as one: the calendar's lock is taken, and the keys checked
    // against the file, once for all of them (the day marks of a month, the cells of the week page, a pass
    // over every day). Shared for reading, exclusive for writing (a write under a shared hold is refused);
    // held until the object goes.
    class Hold {
    public:
        Hold(Hold&& other) noexcept;
        Hold& operator=(Hold&&) = delete;
        ~Hold();

    private:
        friend class CalDb;
        enum class Role {
            None,    // nothing to lock (no calendar yet), or moved away
            Outer,   // took the lock
            Nested,  // within a hold of the same calendar
            Other,   // within a hold of another calendar: a lock of its own
        };
        Hold(CalDb& db, bool exclusive, const std::string& fileName, bool checkKeys);
        CalDb* db_;
        Role role_ = Role::None;
        bool exclusive_;
        int uncaught_;
        std::optional<CalendarLock> other_;
    };
    [[nodiscard]] Hold holdForReading();
    [[nodiscard]] Hold holdForWriting();

    // Reads the keys again when another program changed the calendar file since they were read; true when
    // it did (the windows then show the days anew). Nothing before the first load.
    bool refresh();

    // Keys read ahead on another thread: the next load takes them in place of reading the file when they
    // are of the same file and its status has not changed since they were read. Used by that load or not
    // at all; nullopt stands for a read-ahead that failed.
    void offerKeysReadAhead(std::future<std::optional<CalendarKeys>> keys);

    KeyList keyList;
    ReminderRecord CurrentRecord;
    std::int32_t CurrentIndex = 0;
    std::int32_t LoadedCount = 0;
    std::string CurrentFileName;

    // For commands that only read: loading never drops days and nothing is ever written.
    bool readOnly = false;
    // Told after a load moved the oldest days of a full calendar into its archive file (purgeArchiveName):
    // how many days and the archive's name.
    std::function<void(int days, const std::string& archive)> onPurged;
    // Told after an operation of this store changed the calendar file (a day saved, deleted, stamped); on
    // the thread of the operation, never for another program's changes. It must not throw.
    std::function<void()> onChanged;

private:
    // The calendar file as the keys were read from it.
    struct FileState {
        bool exists = false;
        struct stat status {};
        std::uint64_t changes = 0;
    };

    Hold hold(bool exclusive) { return Hold(*this, exclusive, CurrentFileName, true); }
    FileState stateNow() const;
    void checkKeys();
    void readKeys(const std::string& fileName, bool asLoad);
    void rereadKeys();
    std::optional<CalendarKeys> takeKeysReadAhead(const std::string& fileName);
    bool findKey(const std::string& key);
    bool readRecordOf(int i, const std::string& key);
    void appendRecord(std::string key);
    bool writeRecord(int i, bool append);
    void blankRecord(int i);
    void aboutToChange();
    int purge(const std::string& fileName, bool atLeastOnce);
    void rewrite(const std::string& fileName, const std::vector<char>* archived);
    void archive(const std::string& fileName, const std::string& records);
    void refuseWriting(const std::string& fileName) const;

    const CalendarList* calendars_ = nullptr;
    std::chrono::milliseconds lockWait_ = CalendarLock::kWait;
    // The lock of the operation running now, on lockFile_; lockDepth_ counts the holds within it.
    CalendarLock lock_;
    std::string lockFile_;
    int lockDepth_ = 0;
    bool counted_ = false;  // the running operation has counted its change
    std::optional<struct stat> written_;  // the calendar file as its last write in the operation left it
    // The keys belong to CurrentFileName: a load succeeded and no FreeStore came since. Until then nothing is
    // written or compacted by them, lest days they never saw be overwritten or deleted.
    bool loaded_ = false;
    // The file as the keys were read from it; nullopt when they are to be read again before they are used
    // (after a compaction, a failed write, a failed reading).
    std::optional<FileState> keysState_;
    // Records written while changes are collected, by record number, and the lock held meanwhile.
    bool collecting_ = false;
    std::unordered_map<int, std::array<char, kRecordSize>> pending_;
    std::optional<Hold> changesHold_;
    std::future<std::optional<CalendarKeys>> keysAhead_;
};

// The compaction's temporary twin of a calendar file: its extension replaced by ".$$$", then a part of its own
// for each compaction (FileReplacement).
std::string compactionTempName(const std::string& fileName);
// Where a purge keeps the days it takes out of a calendar: its extension replaced by ".purged" (never
// matched by "*.dbx"); records as in the calendar, appended.
std::string purgeArchiveName(const std::string& fileName);
// What the user is told after a purge.
std::string purgeMessage(int days, const std::string& archive);

}  // namespace orv
