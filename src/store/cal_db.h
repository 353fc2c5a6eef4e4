#pragma once
// The calendar store: one calendar file of 1028-byte records open at a time, its date keys in memory,
// and the single record buffer every read and write passes through. Every record access opens and
// closes the file; nothing is held open between operations.

#include <array>
#include <cstdint>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <sys/stat.h>

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
// the windows are built: the key of every record, which records have no text, the last record.
struct CalendarKeys {
    std::string fileName;
    bool found = false;     // the file exists
    struct stat status {};  // taken before the records were read
    KeyList keys;
    std::vector<char> blankText;
    std::optional<ReminderRecord> last;
};

// Throws IoError for a file that cannot be read or is too large to be a calendar.
CalendarKeys readCalendarKeys(const std::string& fileName);

// One record as read from the file: its date and its text.
struct StoredDay {
    double date = 0;
    std::string text;
};

class CalDb {
public:
    CalDb() = default;
    CalDb(const CalDb&) = delete;
    CalDb& operator=(const CalDb&) = delete;

    // The calendars whose files the store opens (names, current index, data folder).
    void setCalendars(const CalendarList* calendars) { calendars_ = calendars; }

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

    // Record by record, for passes over every day of the file (records 0 .. recordCount() - 1, those loaded
    // and those appended since): nullopt for a deleted record. rewriteRecord writes record i itself, so that
    // a file holding a day twice keeps its other record; an empty text deletes the record.
    int recordCount() const { return keyList.size(); }
    std::optional<StoredDay> readRecord(int i);
    void rewriteRecord(int i, double date, std::string_view text);

    // Changes made between beginChanges() and commitChanges() are kept in memory; the commit writes the
    // calendar file anew with all of them, deletions included, and puts it in place with one rename, then
    // reloads the keys. So the file holds every change or none, whatever fails or stops the process.
    // discardChanges() forgets them and reloads. Stamping and removals of entry lines run this way.
    void beginChanges();
    void commitChanges();
    void discardChanges() noexcept;

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

private:
    void loadKeys(const std::string& fileName);
    std::optional<CalendarKeys> takeKeysReadAhead(const std::string& fileName);
    int purge(const std::string& fileName, bool atLeastOnce);
    void rewrite(const std::string& fileName, const std::vector<char>* archived);
    void refuseWhenStale(const std::string& fileName) const;

    const CalendarList* calendars_ = nullptr;
    // Per record of the last load: its text is empty (such a record leaves at the next compaction).
    std::vector<char> blankText_;
    // Records written while changes are collected, by record number.
    bool collecting_ = false;
    std::unordered_map<int, std::array<char, kRecordSize>> pending_;
    // Set while keyList does not describe CurrentFileName record for record: before the first load,
    // after a load that failed, after a compaction changed the file and after FreeStore. Writing or
    // compacting by such a list would overwrite or delete days it never saw, so both are refused.
    bool keysStale_ = true;
    std::future<std::optional<CalendarKeys>> keysAhead_;
};

// The compaction's temporary twin of a calendar file: its extension replaced by ".$$$".
std::string compactionTempName(const std::string& fileName);
// Where a purge keeps the days it takes out of a calendar: its extension replaced by ".purged" (never
// matched by "*.dbx"); records as in the calendar, appended.
std::string purgeArchiveName(const std::string& fileName);
// What the user is told after a purge.
std::string purgeMessage(int days, const std::string& archive);

}  // namespace orv
