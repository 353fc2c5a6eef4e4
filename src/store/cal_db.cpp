#include "store/cal_db.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/day_number.h"
#include "common/file_replacement.h"
#include "common/file_util.h"
#include "common/io_error.h"
#include "common/stored_text.h"
#include "common/sys_file.h"
#include "store/calendar_list.h"

namespace orv {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);

// ---------------------------------------------------------------------------------------------------------
// ReminderRecord

std::string ReminderRecord::storedText() const {
    const void* zero = std::memchr(Text.data(), 0, Text.size());
    const size_t n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - Text.data()) : Text.size();
    return std::string(Text.data(), n);
}

std::string ReminderRecord::text() const { return decodeStoredText(storedText()); }

void ReminderRecord::setText(std::string_view text) {
    Text.fill(0);
    // The last byte always stays zero, so the stored text ends where the reader expects it.
    const std::string bytes = encodeStoredText(fitStoredText(text, kMaxStoredChars));
    std::memcpy(Text.data(), bytes.data(), std::min(bytes.size(), static_cast<size_t>(kMaxStoredChars)));
}

void ReminderRecord::clear() {
    Date = 0;
    Text.fill(0);
}

std::array<char, kRecordSize> ReminderRecord::toBytes() const {
    std::array<char, kRecordSize> out{};
    const auto bits = std::bit_cast<std::uint64_t>(Date);
    for (int b = 0; b < 8; ++b) out[static_cast<size_t>(b)] = static_cast<char>((bits >> (8 * b)) & 0xFFu);
    std::memcpy(out.data() + 8, Text.data(), kTextSize);
    return out;
}

ReminderRecord ReminderRecord::fromBytes(const char* bytes) {
    std::uint64_t bits = 0;
    for (int b = 0; b < 8; ++b) bits |= std::uint64_t{static_cast<unsigned char>(bytes[b])} << (8 * b);
    ReminderRecord r;
    r.Date = std::bit_cast<double>(bits);
    std::memcpy(r.Text.data(), bytes + 8, kTextSize);
    return r;
}

// ---------------------------------------------------------------------------------------------------------
// KeyList

int KeyList::indexOf(const std::string& key) const {
    if (key.empty()) return -1;
    const auto it = index_.find(key);
    return it == index_.end() ? -1 : it->second.first;
}

int KeyList::add(std::string key) {
    const int pos = size();
    if (key.empty()) {
        ++emptyCount_;
    } else {
        auto [it, inserted] = index_.try_emplace(key, Where{pos, 0});
        ++it->second.count;
    }
    keys_.push_back(std::move(key));
    return pos;
}

void KeyList::clearAt(int i) {
    if (i < 0 || i >= size()) return;
    std::string& key = keys_[static_cast<size_t>(i)];
    if (key.empty()) return;
    const auto it = index_.find(key);
    if (--it->second.count == 0) {
        index_.erase(it);
    } else if (it->second.first == i) {
        // Only a file with one day twice gets here; the next occurrence takes over.
        int next = i + 1;
        while (next < size() && keys_[static_cast<size_t>(next)] != key) ++next;
        it->second.first = next;
    }
    key.clear();
    ++emptyCount_;
}

void KeyList::removeLast() {
    if (keys_.empty()) return;
    const std::string& key = keys_.back();
    if (key.empty()) {
        --emptyCount_;
    } else {
        const auto it = index_.find(key);
        if (--it->second.count == 0) index_.erase(it);
    }
    keys_.pop_back();
}

void KeyList::clear() {
    std::vector<std::string>().swap(keys_);
    std::unordered_map<std::string, Where>().swap(index_);
    emptyCount_ = 0;
}

// ---------------------------------------------------------------------------------------------------------
// File access: every operation opens, works and closes; every result is checked.

namespace {

// Records in a file of size bytes. A cut last record still counts while its date is whole: its text is
// completed with zero bytes when the file is next written.
std::int64_t recordsIn(std::int64_t size) { return size / kRecordSize + (size % kRecordSize >= 8 ? 1 : 0); }

std::int64_t recordOffset(std::int64_t i) { return i * kRecordSize; }

// Records read or written with one call: a megabyte.
constexpr std::int64_t kBlockRecords = 1024;

[[noreturn]] void throwBeyondEnd(std::int64_t i, const std::string& path) {
    throw IoError("Record " + std::to_string(i) + " lies outside \"" + path + "\"", path);
}

double dateOf(const char* record) {
    std::uint64_t bits = 0;
    for (int b = 0; b < 8; ++b) bits |= std::uint64_t{static_cast<unsigned char>(record[b])} << (8 * b);
    return std::bit_cast<double>(bits);
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    return a.size() < b.size();
}

// Reads the records of a calendar file front to back, a block at a time; a cut last record comes out
// completed with zero bytes.
class RecordReader {
public:
    RecordReader(const SysFile& file, std::int64_t records) : file_(file), records_(records) {}

    const char* record(std::int64_t i) {
        if (i < first_ || i >= first_ + count_) {
            first_ = i;
            count_ = std::min<std::int64_t>(kBlockRecords, records_ - i);
            if (count_ <= 0) throwBeyondEnd(i, file_.path());
            block_.assign(static_cast<size_t>(count_ * kRecordSize), 0);
            const size_t got = file_.readAt(block_.data(), block_.size(), recordOffset(i));
            if (got < block_.size() - (kRecordSize - 8))
                throwBeyondEnd(i + static_cast<std::int64_t>(got) / kRecordSize, file_.path());
        }
        return block_.data() + (i - first_) * kRecordSize;
    }

private:
    const SysFile& file_;
    std::int64_t records_;
    std::int64_t first_ = 0;
    std::int64_t count_ = 0;
    std::vector<char> block_;
};

}  // namespace

std::string compactionTempName(const std::string& fileName) {
    std::string temp = withExtension(fileName, ".$$$");
    // A calendar file that already ends in ".$$$" must never be its own temporary file.
    if (temp == fileName) temp += ".$$$";
    return temp;
}

std::string purgeArchiveName(const std::string& fileName) {
    std::string archive = withExtension(fileName, ".purged");
    if (archive == fileName) archive += ".purged";
    return archive;
}

std::string purgeMessage(int days, const std::string& archive) {
    return "The calendar had grown to its limit of " + std::to_string(kPurgeThreshold - 1) + " days, so its " +
           std::to_string(days) + (days == 1 ? " oldest day was" : " oldest days were") + " moved to the file \"" +
           archive + "\".";
}

// ---------------------------------------------------------------------------------------------------------
// Reading the keys

namespace {

// The keys of a calendar file, read while the caller holds its lock.
CalendarKeys readKeysOf(const std::string& fileName) {
    CalendarKeys loaded;
    loaded.fileName = fileName;
    SysFile file = SysFile::openExisting(fileName, O_RDONLY);
    if (!file.valid()) return loaded;
    loaded.found = true;
    loaded.status = file.status();
    const std::int64_t maxBytes = std::int64_t{kMaxLoadedRecords} * kRecordSize + (kRecordSize - 1);
    const auto size = static_cast<std::int64_t>(loaded.status.st_size);
    if (size > maxBytes) throwTooLarge(fileName, maxBytes);
    const auto records = recordsIn(size);
    loaded.keys.reserve(static_cast<int>(records));

    // Read by blocks up to the end actually found. A small calendar gets a block of its own size (and one
    // record more, to see it grow).
    const std::int64_t blockRecords = std::min<std::int64_t>(kBlockRecords, records + 1);
    // Not zero-filled: a megabyte of zeros costs more than the read itself, and only what was read is used.
    const auto blockBytes = static_cast<size_t>(blockRecords * kRecordSize);
    const std::unique_ptr<char[]> block(new char[blockBytes]);
    std::int64_t at = 0;
    for (;;) {
        const size_t got = file.readAt(block.get(), blockBytes, at);
        if (at + static_cast<std::int64_t>(got) > maxBytes) throwTooLarge(fileName, maxBytes);
        const size_t whole = got / kRecordSize;
        size_t count = whole;
        if (got < blockBytes && got % kRecordSize >= 8) {
            // The cut last record: complete it with zero bytes.
            std::fill(block.get() + got, block.get() + (whole + 1) * kRecordSize, 0);
            ++count;
        }
        for (size_t k = 0; k < count; ++k) {
            const char* rec = block.get() + k * kRecordSize;
            // A record without text holds no day (a deleted one, or one never filled in): its entry stays
            // empty, so that it is found by no lookup and dropped by the next compaction.
            loaded.keys.add(rec[8] == 0 ? std::string() : dateKey(dateOf(rec)));
        }
        if (count > 0) loaded.last = ReminderRecord::fromBytes(block.get() + (count - 1) * kRecordSize);
        at += static_cast<std::int64_t>(got);
        if (got < blockBytes) break;
    }
    file.close();
    return loaded;
}

const std::array<char, kTextSize> kNoText{};

}  // namespace

CalendarKeys readCalendarKeys(const std::string& fileName) {
    const CalendarLock lock(fileName, CalendarLock::Mode::Shared);
    CalendarKeys keys = readKeysOf(fileName);
    keys.changes = lock.changes();
    return keys;
}

// ---------------------------------------------------------------------------------------------------------
// Holding the lock

CalDb::Hold::Hold(CalDb& db, bool exclusive, const std::string& fileName, bool checkKeys)
    : db_(&db), exclusive_(exclusive), uncaught_(std::uncaught_exceptions()) {
    if (fileName.empty()) return;  // no calendar was ever opened: nothing to lock
    const auto mode = exclusive ? CalendarLock::Mode::Exclusive : CalendarLock::Mode::Shared;
    if (db.lockDepth_ > 0) {
        if (db.lockFile_ != fileName) {
            other_.emplace(fileName, mode, db.lockWait_);
            role_ = Role::Other;
            return;
        }
        // A lock is never changed from shared to exclusive: two programs doing so at once would wait for
        // each other.
        if (exclusive && db.lock_.mode() != CalendarLock::Mode::Exclusive)
            throw std::logic_error("A change was asked for while the calendar was held for reading");
        ++db.lockDepth_;
        role_ = Role::Nested;
        return;
    }
    db.lock_ = CalendarLock(fileName, mode, db.lockWait_);
    db.lockFile_ = fileName;
    db.lockDepth_ = 1;
    db.counted_ = false;
    db.written_.reset();
    role_ = Role::Outer;
    try {
        if (checkKeys && fileName == db.CurrentFileName) db.checkKeys();
    } catch (...) {
        db.lockDepth_ = 0;
        db.lock_.release();
        db.lockFile_.clear();
        role_ = Role::None;
        throw;
    }
}

CalDb::Hold::Hold(Hold&& other) noexcept
    : db_(other.db_),
      role_(std::exchange(other.role_, Role::None)),
      exclusive_(other.exclusive_),
      uncaught_(other.uncaught_),
      other_(std::move(other.other_)) {}

CalDb::Hold::~Hold() {
    if (role_ == Role::Nested) --db_->lockDepth_;
    if (role_ != Role::Outer) return;
    CalDb& db = *db_;
    if (exclusive_ && db.counted_) {
        // The keys describe the file as this operation's last record write left it, unless it failed part
        // way (a rewrite leaves them to be read again, or reads them itself).
        if (std::uncaught_exceptions() > uncaught_) db.keysState_.reset();
        else if (db.written_ && db.keysState_) db.keysState_ = FileState{true, *db.written_, db.lock_.changes()};
    }
    const bool changed = exclusive_ && db.counted_ && std::uncaught_exceptions() <= uncaught_;
    db.lockDepth_ = 0;
    db.lock_.release();
    db.lockFile_.clear();
    if (changed && db.onChanged) db.onChanged();
}

CalDb::Hold CalDb::holdForReading() { return hold(false); }

CalDb::Hold CalDb::holdForWriting() {
    refuseWriting(CurrentFileName);
    return hold(true);
}

CalDb::~CalDb() { changesHold_.reset(); }

CalDb::FileState CalDb::stateNow() const {
    FileState state;
    if (const auto st = statPath(CurrentFileName)) {
        state.exists = true;
        state.status = *st;
    }
    state.changes = lock_.changes();
    return state;
}

void CalDb::checkKeys() {
    if (!loaded_ || collecting_) return;
    if (keysState_) {
        const FileState now = stateNow();
        const FileState& then = *keysState_;
        if (now.exists == then.exists && now.changes == then.changes &&
            (!now.exists || sameFileState(now.status, then.status)))
            return;
    }
    rereadKeys();
}

bool CalDb::refresh() {
    if (!loaded_ || collecting_ || CurrentFileName.empty()) return false;
    const std::optional<FileState> before = keysState_;
    const Hold op = hold(false);
    return !before || !keysState_ || keysState_->changes != before->changes ||
           keysState_->exists != before->exists || !sameFileState(keysState_->status, before->status);
}

void CalDb::aboutToChange() {
    if (counted_ || lockDepth_ == 0 || lockFile_ != CurrentFileName) return;
    lock_.countChange();
    counted_ = true;
}

void CalDb::refuseWriting(const std::string& fileName) const {
    if (readOnly) throw std::logic_error("The calendar was opened for reading only");
    if (!loaded_ && fileName == CurrentFileName)
        throw IoError("The days of \"" + fileName + "\" are not loaded; the file is left as it is", fileName);
}

// ---------------------------------------------------------------------------------------------------------
// CalDb

std::string CalDb::CalendarFileName(int index) const {
    if (!calendars_) throw std::logic_error("The calendar store has no calendar list");
    return calendars_->CalendarFileName(index);
}

void CalDb::SetCurrentCalendarFile() {
    if (!calendars_) throw std::logic_error("The calendar store has no calendar list");
    CurrentFileName = CalendarFileName(calendars_->CurrentCalendarIndex);
}

void CalDb::OpenCurrentCalendar() {
    try {
        SetCurrentCalendarFile();
    } catch (...) {
        // The keys still belong to the previous calendar; nothing may be written by them now.
        loaded_ = false;
        throw;
    }
    LoadStore(CurrentFileName);
}

void CalDb::LoadStore(const std::string& fileName) {
    changesHold_.reset();
    if (lockDepth_ > 0 && lockFile_ != fileName)
        throw std::logic_error("A calendar was loaded while another one was held");
    CurrentFileName = fileName;
    loaded_ = false;
    {
        const Hold op(*this, false, fileName, false);
        readKeys(fileName, true);
        loaded_ = true;
    }
    if (readOnly || LoadedCount < kPurgeThreshold) return;
    // Purged under the exclusive lock, by keys read again under it: of two programs loading the full
    // calendar at once only the first purges, and the archive gets each day once.
    const Hold op(*this, true, fileName, true);
    if (LoadedCount >= kPurgeThreshold) purge(fileName, false);
}

void CalDb::readKeys(const std::string& fileName, bool asLoad) {
    keyList.clear();
    keysState_.reset();
    LoadedCount = 0;
    if (asLoad) {
        pending_.clear();
        collecting_ = false;
    }
    std::optional<CalendarKeys> ahead = asLoad ? takeKeysReadAhead(fileName) : std::nullopt;
    CalendarKeys loaded = ahead ? std::move(*ahead) : readKeysOf(fileName);
    keyList = std::move(loaded.keys);
    // A load leaves the last record in the buffer; keys read again within an operation leave the buffer
    // to the caller who filled it.
    if (asLoad && loaded.last) CurrentRecord = *loaded.last;
    LoadedCount = keyList.size();
    keysState_ = FileState{loaded.found, loaded.status, lock_.changes()};
}

void CalDb::rereadKeys() { readKeys(CurrentFileName, false); }

void CalDb::offerKeysReadAhead(std::future<std::optional<CalendarKeys>> keys) { keysAhead_ = std::move(keys); }

std::optional<CalendarKeys> CalDb::takeKeysReadAhead(const std::string& fileName) {
    if (!keysAhead_.valid()) return std::nullopt;
    try {
        std::optional<CalendarKeys> ahead = keysAhead_.get();
        if (!ahead || !ahead->found || ahead->fileName != fileName || ahead->changes != lock_.changes())
            return std::nullopt;
        const auto now = statPath(fileName);
        if (!now || !sameFileState(*now, ahead->status)) return std::nullopt;
        return ahead;
    } catch (...) {
        return std::nullopt;  // read the file as if nothing had been read ahead
    }
}

void CalDb::PurgeOldestDays(const std::string& fileName) {
    const Hold op(*this, true, fileName, true);
    purge(fileName, true);
}

// Drops the 500 oldest days, and again while 10000 or more records would stay; works out every round in
// memory first, so that the archive gets all the dropped days and the file is rewritten once.
int CalDb::purge(const std::string& fileName, bool atLeastOnce) {
    refuseWriting(fileName);
    const int n = keyList.size();

    // Records of each key, the keys in the order a purge takes them.
    std::unordered_map<std::string, std::vector<int>> byKey;
    for (int i = 0; i < n; ++i)
        if (!keyList[i].empty()) byKey[keyList[i]].push_back(i);
    std::vector<std::pair<const std::string*, std::vector<int>*>> order;
    order.reserve(byKey.size());
    for (auto& [key, positions] : byKey) order.emplace_back(&key, &positions);
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return lessIgnoringCase(*a.first, *b.first); });
    std::vector<size_t> head(order.size(), 0);

    std::vector<char> purged(static_cast<size_t>(n), 0);
    std::vector<char> gone(static_cast<size_t>(n), 0);  // purged, or left behind by a compaction
    int remaining = n;
    size_t firstLive = 0;
    for (bool first = true; first ? (atLeastOnce || remaining >= kPurgeThreshold) : remaining >= kPurgeThreshold;
         first = false) {
        int taken = 0;
        for (size_t g = firstLive; g < order.size() && taken < kPurgeCount; ++g) {
            const std::vector<int>& positions = *order[g].second;
            while (head[g] < positions.size() && gone[static_cast<size_t>(positions[head[g]])]) ++head[g];
            if (head[g] == positions.size()) {
                if (g == firstLive) ++firstLive;
                continue;
            }
            const int victim = positions[head[g]++];
            purged[static_cast<size_t>(victim)] = 1;
            gone[static_cast<size_t>(victim)] = 1;
            --remaining;
            ++taken;
        }
        if (taken == 0) break;
        // The compaction after the first round drops the records without text as well.
        if (first) {
            for (int i = 0; i < n; ++i) {
                if (!gone[static_cast<size_t>(i)] && keyList[i].empty()) {
                    gone[static_cast<size_t>(i)] = 1;
                    --remaining;
                }
            }
        }
    }

    int days = 0;
    for (int i = 0; i < n; ++i) {
        if (!purged[static_cast<size_t>(i)]) continue;
        keyList.clearAt(i);
        ++days;
    }
    try {
        rewrite(fileName, &purged);
    } catch (...) {
        // The file is as it was; so are the keys again, lest a later flush drop the days unarchived.
        try {
            readKeys(fileName, true);
        } catch (...) {
        }
        throw;
    }
    readKeys(fileName, true);
    if (days > 0 && onPurged) onPurged(days, purgeArchiveName(fileName));
    return days;
}

bool CalDb::findKey(const std::string& key) {
    const int i = keyList.indexOf(key);
    if (i < 0) return false;
    CurrentIndex = i;
    return true;
}

bool CalDb::FindDay(double date) {
    const Hold op = hold(false);
    return findKey(dateKey(date));
}

bool CalDb::FetchDay(double date) {
    const Hold op = hold(false);
    CurrentRecord.clear();
    const std::string key = dateKey(date);
    const std::int32_t previous = CurrentIndex;
    // A record that does not hold the day asked for shows keys that missed a change: they are read again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!findKey(key)) break;
        if (readRecordOf(CurrentIndex, key)) return true;
        if (collecting_) break;
        rereadKeys();
    }
    CurrentRecord.clear();
    CurrentIndex = previous;
    return false;
}

// Reads record i into the buffer; true when it holds the day of key and a text.
bool CalDb::readRecordOf(int i, const std::string& key) {
    if (collecting_) {
        if (const auto it = pending_.find(i); it != pending_.end()) {
            CurrentRecord = ReminderRecord::fromBytes(it->second.data());
            return true;
        }
    }
    SysFile file = SysFile::openExisting(CurrentFileName, O_RDONLY);
    if (!file.valid() || i < 0) return false;
    char buf[kRecordSize] = {};
    // A cut last record reads completed with zero bytes.
    const size_t got = file.readAt(buf, sizeof buf, recordOffset(i));
    file.close();
    if (got < 8) return false;
    CurrentRecord = ReminderRecord::fromBytes(buf);
    return buf[8] != 0 && dateKey(CurrentRecord.Date) == key;
}

void CalDb::StoreDay() {
    refuseWriting(CurrentFileName);
    const Hold op = hold(true);
    const int i = keyList.indexOf(dateKey(CurrentRecord.Date));
    if (i < 0) {
        appendRecord(dateKey(CurrentRecord.Date));
        return;
    }
    CurrentIndex = i;
    WriteRecordAt(i);
}

void CalDb::AppendDay() {
    refuseWriting(CurrentFileName);
    const Hold op = hold(true);
    // A day another program added since the caller looked it up is written into its record, not twice.
    std::string key = dateKey(CurrentRecord.Date);
    if (const int i = keyList.indexOf(key); i >= 0) {
        CurrentIndex = i;
        WriteRecordAt(i);
        return;
    }
    appendRecord(std::move(key));
}

// Adds the buffer, the day of key, as a new record at the end of the file as it is now.
void CalDb::appendRecord(std::string key) {
    for (int attempt = 0;; ++attempt) {
        const std::int32_t previous = CurrentIndex;
        CurrentIndex = keyList.add(key);
        bool written = true;
        try {
            if (collecting_) pending_[CurrentIndex] = CurrentRecord.toBytes();
            else written = writeRecord(CurrentIndex, true);
        } catch (...) {
            // A key without its record would shift every later append onto the wrong record.
            keyList.removeLast();
            CurrentIndex = previous;
            throw;
        }
        if (written) return;
        // The file is longer or shorter than the keys say: they missed a change.
        keyList.removeLast();
        CurrentIndex = previous;
        if (attempt > 0)
            throw IoError("\"" + CurrentFileName + "\" changed while it was being written; nothing has been changed",
                          CurrentFileName);
        rereadKeys();
        if (const int i = keyList.indexOf(key); i >= 0) {
            CurrentIndex = i;
            WriteRecordAt(i);
            return;
        }
    }
}

void CalDb::DeleteCurrentDay() {
    const int wanted = CurrentIndex;
    const std::string key = wanted >= 0 && wanted < keyList.size() ? keyList[wanted] : std::string();
    CurrentRecord.clear();
    CurrentIndex = -1;
    // Without a current day (index -1 after an earlier deletion) there is nothing to mark.
    if (key.empty()) return;
    if (collecting_) {
        keyList.clearAt(wanted);
        return;
    }
    refuseWriting(CurrentFileName);
    const Hold op = hold(true);
    // The day the caller found, wherever the keys read again (should another program have changed the file
    // since) put it.
    const int i = wanted < keyList.size() && keyList[wanted] == key ? wanted : keyList.indexOf(key);
    if (i < 0) return;  // deleted meanwhile
    // Written at once, so that another program sees the day gone and a reload does not bring it back: the
    // record's text is blanked in place, which the next compaction drops.
    blankRecord(i);
    keyList.clearAt(i);
}

void CalDb::blankRecord(int i) {
    SysFile file = SysFile::openExisting(CurrentFileName, O_WRONLY);
    if (!file.valid()) return;  // nothing there to delete
    if (i >= recordsIn(file.size())) throwBeyondEnd(i, CurrentFileName);
    aboutToChange();
    file.writeAt(kNoText.data(), kNoText.size(), recordOffset(i) + 8);
    written_ = file.status();
    file.close();
}

void CalDb::ReadRecordAt(int i) {
    const Hold op = hold(false);
    if (collecting_) {
        if (const auto it = pending_.find(i); it != pending_.end()) {
            CurrentRecord = ReminderRecord::fromBytes(it->second.data());
            return;
        }
    }
    SysFile file = SysFile::openExisting(CurrentFileName, O_RDONLY);
    if (!file.valid()) return;
    if (i < 0) throwBeyondEnd(i, CurrentFileName);
    char buf[kRecordSize] = {};
    // A cut last record reads completed with zero bytes.
    if (file.readAt(buf, sizeof buf, recordOffset(i)) < 8) throwBeyondEnd(i, CurrentFileName);
    file.close();
    CurrentRecord = ReminderRecord::fromBytes(buf);
}

void CalDb::WriteRecordAt(int i) {
    refuseWriting(CurrentFileName);
    const Hold op = hold(true);
    if (i < 0) throwBeyondEnd(i, CurrentFileName);
    if (collecting_) {
        if (i >= keyList.size()) throwBeyondEnd(i, CurrentFileName);
        pending_[i] = CurrentRecord.toBytes();
        return;
    }
    writeRecord(i, false);
}

// Writes the buffer as record i. With append, i must be the record just past the end of the file as it is
// now: false (nothing written) when it is not.
bool CalDb::writeRecord(int i, bool append) {
    const auto bytes = CurrentRecord.toBytes();
    SysFile file = SysFile::openExisting(CurrentFileName, O_WRONLY);
    const bool created = !file.valid();
    if (append && created && i != 0) return false;
    aboutToChange();
    // Not exclusive: a calendar that is a link to a missing file is made at the link's target.
    if (created) file = SysFile::create(CurrentFileName, O_WRONLY, 0, 0666);
    std::int64_t oldSize = -1;  // not known yet: nothing to cut back
    std::int64_t at = 0;
    try {
        oldSize = file.size();
        const std::int64_t records = recordsIn(oldSize);
        if (append && i != records) {
            file.close();
            return false;
        }
        // A new (empty) file gets the record as its first, whatever i is. Otherwise i may at most be the
        // record just past the end: a gap would fill with records nobody wrote.
        if (oldSize > 0) {
            if (i > records) throwBeyondEnd(i, CurrentFileName);
            at = i;
        }
        file.writeAt(bytes.data(), bytes.size(), recordOffset(at));
        written_ = file.status();
        file.close();
    } catch (...) {
        // A record that did not get written whole must not stay as a piece at the end of the file.
        file = SysFile();
        try {
            if (created) removePath(resolveLinks(CurrentFileName));
            else if (oldSize >= 0 && recordOffset(at) + kRecordSize > oldSize) truncatePath(CurrentFileName, oldSize);
        } catch (...) {
        }
        throw;
    }
    return true;
}

void CalDb::CompactStore(const std::string& fileName) { rewrite(fileName, nullptr); }

// Writes the calendar anew without deleted and empty records (and with the records collected since
// beginChanges()); the days marked in archived are first appended to the purge archive. The file is
// replaced only by a complete, flushed copy; until then it stays as it was, so a failure or a crash at any
// point loses nothing.
void CalDb::rewrite(const std::string& fileName, const std::vector<char>* archived) {
    if (fileName.empty()) return;  // no calendar was ever opened
    const Hold op(*this, true, fileName, true);
    const std::string target = resolveLinks(fileName);
    const std::string temp = compactionTempName(target);

    const auto existing = statPath(target);
    if (!existing && pending_.empty()) {
        removeAbandonedTemporaries(temp);
        return;
    }
    refuseWriting(fileName);
    if (keyList.empty()) {
        aboutToChange();
        removeAbandonedTemporaries(temp);
        // The keys were read under this lock: the file holds no record at all. A calendar behind a link is
        // emptied at the link's target; the link stays and reads as empty.
        removePath(target);
        if (fileName == CurrentFileName) keysState_.reset();
        return;
    }

    SysFile source;
    std::int64_t sourceRecords = 0;
    if (existing) {
        source = SysFile::openExisting(target, O_RDONLY);
        if (!source.valid()) throwIoError("Cannot open", fileName, ENOENT);
        sourceRecords = recordsIn(source.size());
    }
    RecordReader reader(source, sourceRecords);
    aboutToChange();

    // The purged days go to the archive before the calendar loses them; should the calendar not be
    // replaced after all, the archive is cut back to what it was (nobody else writes it meanwhile: it is
    // written under the calendar's exclusive lock only).
    const bool archiving = archived && std::find(archived->begin(), archived->end(), 1) != archived->end();
    const std::string archiveName = purgeArchiveName(fileName);
    std::int64_t archiveOldSize = -1;
    try {
        FileReplacement out(target, [&](const std::string&) { return temp; });
        SysFile archive;
        std::int64_t archiveAt = 0;
        std::vector<char> toArchive;
        const auto archiveBlock = [&] {
            archive.writeAt(toArchive.data(), toArchive.size(), archiveAt);
            archiveAt += static_cast<std::int64_t>(toArchive.size());
            toArchive.clear();
        };
        if (archiving) {
            archive = SysFile::create(archiveName, O_WRONLY, 0, existing ? (existing->st_mode & 07777) : 0666);
            archiveOldSize = archive.size();
            // Whole records: a cut one at its end is completed with zero bytes first.
            archiveAt = (archiveOldSize + kRecordSize - 1) / kRecordSize * kRecordSize;
        }
        bool anySurvivor = false;
        for (int n = 0; n < keyList.size(); ++n) {
            const auto it = pending_.find(n);
            const char* rec = it != pending_.end() ? it->second.data() : reader.record(n);
            // The buffer ends on the last record, as the rewrite passes every record through it.
            if (n == keyList.size() - 1) CurrentRecord = ReminderRecord::fromBytes(rec);
            if (archiving && (*archived)[static_cast<size_t>(n)]) {
                toArchive.insert(toArchive.end(), rec, rec + kRecordSize);
                if (toArchive.size() >= static_cast<size_t>(kBlockRecords * kRecordSize)) archiveBlock();
                continue;
            }
            if (keyList[n].empty() || rec[8] == 0) continue;
            out.write(rec, kRecordSize);
            anySurvivor = true;
        }
        if (archiving) {
            archiveBlock();
            archive.sync();
            archive.close();
        }
        if (source.valid()) source.close();
        if (anySurvivor) {
            out.commit();
        } else {
            out.discard();
            removePath(target);
        }
    } catch (...) {
        if (archiveOldSize >= 0) {
            try {
                truncatePath(archiveName, archiveOldSize);
            } catch (...) {
            }
        }
        throw;
    }
    pending_.clear();
    if (fileName == CurrentFileName) keysState_.reset();
}

// Appends whole records to the archive beside the calendar, flushed to disk before anything else changes.
// A failed append leaves the archive as it was (and none where there was none), so that the day, still as
// before, is the text's one place. Runs under the calendar's exclusive lock, as every append to it does.
void CalDb::archive(const std::string& fileName, const std::string& records) {
    const std::string name = purgeArchiveName(fileName);
    SysFile file = SysFile::openExisting(name, O_WRONLY);
    const bool made = !file.valid();
    if (made) file = SysFile::create(name, O_WRONLY, O_EXCL, 0666);
    std::optional<std::int64_t> size;
    try {
        size = file.size();
        file.writeAt(records.data(), records.size(), (*size + kRecordSize - 1) / kRecordSize * kRecordSize);
        file.sync();
        file.close();
    } catch (const IoError&) {
        try {
            if (size && !made) file.truncate(*size);
            file = SysFile();
            if (made) removePath(name);
        } catch (const IoError&) {
            // The first failure is the one to tell; a torn tail is no record.
        }
        throw;
    }
}

void CalDb::CompactStoreIfNeeded(const std::string& fileName) {
    if (fileName.empty()) return;
    // Decided on the keys as the file is now, under the lock the compaction runs in.
    const Hold op(*this, true, fileName, true);
    if (keyList.empty() || keyList.hasEmptyEntry() || !pending_.empty()) CompactStore(fileName);
}

void CalDb::FlushCurrentCalendar() { CompactStoreIfNeeded(CurrentFileName); }

void CalDb::FreeStore() {
    changesHold_.reset();
    keyList.clear();
    pending_.clear();
    collecting_ = false;
    // An empty list would read as "delete the calendar" to a later flush.
    loaded_ = false;
    keysState_.reset();
}

void CalDb::beginChanges() {
    refuseWriting(CurrentFileName);
    changesHold_.reset();
    changesHold_.emplace(hold(true));
    pending_.clear();
    collecting_ = true;
}

void CalDb::commitChanges() {
    if (!collecting_) return;
    try {
        if (!pending_.empty() || keyList.hasEmptyEntry()) {
            rewrite(CurrentFileName, nullptr);
            collecting_ = false;
            readKeys(CurrentFileName, true);
        }
    } catch (...) {
        discardChanges();
        throw;
    }
    collecting_ = false;
    changesHold_.reset();
}

void CalDb::discardChanges() noexcept {
    collecting_ = false;
    pending_.clear();
    try {
        const Hold op = hold(false);
        readKeys(CurrentFileName, true);
    } catch (...) {
        // readKeys has left the keys to be read again before they are used.
    }
    changesHold_.reset();
}

std::optional<std::string> CalDb::readDay(double date) {
    if (!FetchDay(date)) return std::nullopt;
    return CurrentRecord.text();
}

void CalDb::writeDay(double date, std::string_view text) {
    refuseWriting(CurrentFileName);
    // A record keeps its text up to a zero byte: a text that would keep nothing clears the day rather
    // than leave a record that no lookup finds.
    text = text.substr(0, text.find('\0'));
    const Hold op = hold(true);
    const std::string key = dateKey(date);
    const bool known = findKey(key);
    if (text.empty()) {
        if (known) DeleteCurrentDay();
        return;
    }
    if (known) {
        // A day of an earlier version whose bytes read as another spelling of this text keeps its bytes.
        CurrentRecord.clear();
        if (readRecordOf(CurrentIndex, key) && CurrentRecord.text() == text) {
            WriteRecordAt(CurrentIndex);
            return;
        }
    }
    CurrentRecord.clear();
    CurrentRecord.Date = date;
    CurrentRecord.setText(text);
    if (known) WriteRecordAt(CurrentIndex);
    else appendRecord(key);
}

SavedDay CalDb::saveDay(double date, std::string_view shown, std::string_view text, std::size_t room) {
    refuseWriting(CurrentFileName);
    const Hold op = hold(true);
    const std::string stored = readDay(date).value_or(std::string());
    SavedDay saved;
    saved.text = std::string(text);
    saved.before = stored;
    if (stored == shown || stored == text) {
        if (stored != text) writeDay(date, text);
        return saved;
    }
    // Another program changed the day since the editor showed it: neither text is lost.
    saved.outcome = SavedDay::Outcome::Merged;
    if (text.empty() || stored.empty()) {
        saved.text = text.empty() ? stored : std::string(text);
    } else {
        std::string both = stored;
        if (!both.ends_with("\r\n")) both += "\r\n";
        both += text;
        if (both.size() <= room) {
            saved.text = std::move(both);
        } else {
            ReminderRecord other;
            other.Date = date;
            other.setText(stored);
            const auto bytes = other.toBytes();
            archive(CurrentFileName, std::string(bytes.data(), bytes.size()));
            saved.outcome = SavedDay::Outcome::Archived;
        }
    }
    if (saved.text != stored) writeDay(date, saved.text);
    return saved;
}

std::optional<StoredDay> CalDb::readRecord(int i) {
    const Hold op = hold(false);
    if (i < 0 || i >= keyList.size() || keyList[i].empty()) return std::nullopt;
    CurrentRecord.clear();
    if (!readRecordOf(i, keyList[i])) return std::nullopt;
    return StoredDay{CurrentRecord.Date, CurrentRecord.text()};
}

void CalDb::rewriteRecord(int i, double date, std::string_view text) {
    CurrentIndex = i;
    if (text.empty()) {
        DeleteCurrentDay();
        return;
    }
    CurrentRecord.clear();
    CurrentRecord.Date = date;
    CurrentRecord.setText(text);
    WriteRecordAt(i);
}

}  // namespace orv
