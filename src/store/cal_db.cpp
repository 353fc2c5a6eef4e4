#include "store/cal_db.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "common/day_number.h"
#include "common/file_util.h"
#include "common/io_error.h"
#include "store/calendar_list.h"

namespace orv {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);

// ---------------------------------------------------------------------------------------------------------
// ReminderRecord

std::string ReminderRecord::text() const {
    const void* zero = std::memchr(Text.data(), 0, Text.size());
    const size_t n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - Text.data()) : Text.size();
    return std::string(Text.data(), n);
}

void ReminderRecord::setText(std::string_view text) {
    Text.fill(0);
    // The last byte always stays zero, so the stored text ends where the reader expects it.
    const size_t n = std::min(text.size(), static_cast<size_t>(kMaxStoredChars));
    std::memcpy(Text.data(), text.data(), n);
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

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

    // Closing can report a write that failed late, so its result counts like any other.
    void close(const std::string& path) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throwIoError("Cannot close", path, errno);
    }

private:
    int fd_;
};

// An open file, or an invalid Fd when it does not exist.
Fd openExisting(const std::string& path, int flags) {
    int fd;
    do fd = ::open(path.c_str(), flags | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno != ENOENT) throwIoError("Cannot open", path, errno);
    return Fd(fd);
}

Fd openNew(const std::string& path, int flags) {
    int fd;
    do fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) throwIoError("Cannot create", path, errno);
    return Fd(fd);
}

off_t recordOffset(std::int64_t i) { return static_cast<off_t>(i * kRecordSize); }

// Reads up to n bytes; fewer only at the end of the file.
size_t readAt(int fd, char* buf, size_t n, off_t offset, const std::string& path) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd, buf + done, n - done, offset + static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR) continue;
            throwIoError("Cannot read", path, errno);
        }
        if (r == 0) break;
        done += static_cast<size_t>(r);
    }
    return done;
}

void writeAt(int fd, const char* buf, size_t n, off_t offset, const std::string& path) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pwrite(fd, buf + done, n - done, offset + static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR) continue;
            throwIoError("Cannot write", path, errno);
        }
        if (r == 0) throwIoError("Cannot write", path, ENOSPC);
        done += static_cast<size_t>(r);
    }
}

[[noreturn]] void throwBeyondEnd(std::int64_t i, const std::string& path) {
    throw IoError("Record " + std::to_string(i) + " lies outside \"" + path + "\"", path);
}

void removeIfPresent(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) throwIoError("Cannot delete", path, errno);
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

constexpr size_t kLoadChunkRecords = 256;

}  // namespace

std::string compactionTempName(const std::string& fileName) {
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    std::string temp = (hasExtension ? fileName.substr(0, dot) : fileName) + ".$$$";
    // A calendar file that already ends in ".$$$" must never be its own temporary file.
    if (temp == fileName) temp += ".$$$";
    return temp;
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
        keysStale_ = true;
        throw;
    }
    LoadStore(CurrentFileName);
}

void CalDb::LoadStore(const std::string& fileName) {
    loadKeys(fileName);
    while (LoadedCount >= kPurgeThreshold) purgeOnce(fileName);
}

void CalDb::loadKeys(const std::string& fileName) {
    CurrentFileName = fileName;
    LoadedCount = 0;
    keyList.clear();
    keysStale_ = true;
    try {
        Fd fd = openExisting(fileName, O_RDONLY);
        if (!fd.valid()) {
            keysStale_ = false;
            return;
        }
        struct stat st {};
        if (::fstat(fd.get(), &st) == 0 && st.st_size / kRecordSize < INT_MAX)
            keyList.reserve(static_cast<int>(st.st_size / kRecordSize));

        std::vector<char> buf(kLoadChunkRecords * kRecordSize);
        std::int64_t records = 0;
        for (;;) {
            const size_t got = readAt(fd.get(), buf.data(), buf.size(), recordOffset(records), fileName);
            const size_t whole = got / kRecordSize;  // a trailing partial record is not a record
            if (records + static_cast<std::int64_t>(whole) >= INT_MAX)
                throw IoError("Too many records in \"" + fileName + "\"", fileName);
            for (size_t k = 0; k < whole; ++k) {
                std::uint64_t bits = 0;
                const char* rec = buf.data() + k * kRecordSize;
                for (int b = 0; b < 8; ++b)
                    bits |= std::uint64_t{static_cast<unsigned char>(rec[b])} << (8 * b);
                keyList.add(dateKey(std::bit_cast<double>(bits)));
            }
            if (whole > 0) CurrentRecord = ReminderRecord::fromBytes(buf.data() + (whole - 1) * kRecordSize);
            records += static_cast<std::int64_t>(whole);
            if (got < buf.size()) break;
        }
        fd.close(fileName);
        LoadedCount = keyList.size();
    } catch (...) {
        keyList.clear();
        LoadedCount = 0;
        throw;
    }
    keysStale_ = false;
}

void CalDb::PurgeOldestDays(const std::string& fileName) {
    purgeOnce(fileName);
    while (LoadedCount >= kPurgeThreshold) purgeOnce(fileName);
}

void CalDb::purgeOnce(const std::string& fileName) {
    std::vector<std::string> sorted = keyList.keys();
    std::sort(sorted.begin(), sorted.end(), lessIgnoringCase);
    sorted.erase(std::unique(sorted.begin(), sorted.end(),
                             [](const std::string& a, const std::string& b) { return equalsIgnoringAsciiCase(a, b); }),
                 sorted.end());
    const size_t n = std::min(sorted.size(), static_cast<size_t>(kPurgeCount));
    for (size_t j = 0; j < n; ++j) keyList.clearAt(keyList.indexOf(sorted[j]));
    sorted = {};
    CompactStore(fileName);
    loadKeys(fileName);
}

bool CalDb::FindDay(double date) {
    const int i = keyList.indexOf(dateKey(date));
    if (i < 0) return false;
    CurrentIndex = i;
    return true;
}

bool CalDb::FetchDay(double date) {
    CurrentRecord.clear();
    if (!FindDay(date)) return false;
    ReadRecordAt(CurrentIndex);
    return true;
}

void CalDb::StoreDay() {
    const int i = keyList.indexOf(dateKey(CurrentRecord.Date));
    if (i < 0) {
        AppendDay();
        return;
    }
    CurrentIndex = i;
    WriteRecordAt(i);
}

void CalDb::AppendDay() {
    refuseWhenStale(CurrentFileName);
    const std::int32_t previous = CurrentIndex;
    CurrentIndex = keyList.add(dateKey(CurrentRecord.Date));
    try {
        WriteRecordAt(CurrentIndex);
    } catch (...) {
        // A key without its record would shift every later append onto the wrong record.
        keyList.removeLast();
        CurrentIndex = previous;
        throw;
    }
}

void CalDb::DeleteCurrentDay() {
    // Without a current day (index -1 after an earlier deletion) there is nothing to mark.
    keyList.clearAt(CurrentIndex);
    CurrentRecord.clear();
    CurrentIndex = -1;
}

void CalDb::ReadRecordAt(int i) {
    Fd fd = openExisting(CurrentFileName, O_RDONLY);
    if (!fd.valid()) return;
    if (i < 0) throwBeyondEnd(i, CurrentFileName);
    char buf[kRecordSize];
    if (readAt(fd.get(), buf, sizeof buf, recordOffset(i), CurrentFileName) < sizeof buf)
        throwBeyondEnd(i, CurrentFileName);
    fd.close(CurrentFileName);
    CurrentRecord = ReminderRecord::fromBytes(buf);
}

void CalDb::WriteRecordAt(int i) {
    refuseWhenStale(CurrentFileName);
    if (i < 0) throwBeyondEnd(i, CurrentFileName);
    const auto bytes = CurrentRecord.toBytes();
    Fd fd = openNew(CurrentFileName, O_WRONLY | O_CREAT);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throwIoError("Cannot read the size of", CurrentFileName, errno);
    // A new (empty) file gets the record as its first, whatever i is. Otherwise i may at most be the
    // record just past the end: a gap would fill with records nobody wrote.
    std::int64_t at = 0;
    if (st.st_size > 0) {
        if (i > st.st_size / kRecordSize) throwBeyondEnd(i, CurrentFileName);
        at = i;
    }
    writeAt(fd.get(), bytes.data(), bytes.size(), recordOffset(at), CurrentFileName);
    fd.close(CurrentFileName);
}

void CalDb::CompactStore(const std::string& fileName) {
    if (fileName.empty()) return;  // no calendar was ever opened
    const std::string temp = compactionTempName(fileName);
    const auto removeTemp = [&] {
        step("remove-temp");
        removeIfPresent(temp);
    };
    const auto deleteCalendar = [&] {
        step("delete");
        removeIfPresent(fileName);
        if (fileName == CurrentFileName) keysStale_ = true;
    };

    // The calendar file is replaced only by a complete, flushed copy; until the rename it stays as it
    // was, so a failure or a crash at any point loses nothing.
    try {
        if (!fileExists(fileName)) {
            removeTemp();
            return;
        }
        refuseWhenStale(fileName);
        if (keyList.empty()) {
            removeTemp();
            deleteCalendar();
            return;
        }
        removeTemp();
        step("open-source");
        Fd source = openExisting(fileName, O_RDONLY);
        if (!source.valid()) throwIoError("Cannot open", fileName, ENOENT);
        step("create-temp");
        Fd target = openNew(temp, O_WRONLY | O_CREAT | O_EXCL);

        bool anySurvivor = false;
        std::int64_t written = 0;
        char buf[kRecordSize];
        for (int n = 0; n < keyList.size(); ++n) {
            step("read");
            if (readAt(source.get(), buf, sizeof buf, recordOffset(n), fileName) < sizeof buf)
                throwBeyondEnd(n, fileName);
            CurrentRecord = ReminderRecord::fromBytes(buf);
            if (keyList[n].empty() || CurrentRecord.Text[0] == 0) continue;
            step("write");
            writeAt(target.get(), buf, sizeof buf, recordOffset(written++), temp);
            anySurvivor = true;
        }
        source.close(fileName);

        if (!anySurvivor) {
            target.close(temp);
            removeIfPresent(temp);
            deleteCalendar();
            return;
        }
        step("flush");
        if (::fsync(target.get()) != 0) throwIoError("Cannot flush", temp, errno);
        step("close");
        target.close(temp);
        step("rename");
        if (::rename(temp.c_str(), fileName.c_str()) != 0) throwIoError("Cannot replace", fileName, errno);
        if (fileName == CurrentFileName) keysStale_ = true;
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}

void CalDb::CompactStoreIfNeeded(const std::string& fileName) {
    if (keyList.empty() || keyList.hasEmptyEntry()) CompactStore(fileName);
}

void CalDb::FlushCurrentCalendar() { CompactStoreIfNeeded(CurrentFileName); }

void CalDb::FreeStore() {
    keyList.clear();
    // An empty list would read as "delete the calendar" to a later flush.
    keysStale_ = true;
}

void CalDb::refuseWhenStale(const std::string& fileName) const {
    if (keysStale_ && fileName == CurrentFileName)
        throw IoError("The days of \"" + fileName + "\" are not loaded; the file is left as it is", fileName);
}

std::optional<std::string> CalDb::readDay(double date) {
    if (!FetchDay(date)) return std::nullopt;
    return CurrentRecord.text();
}

void CalDb::writeDay(double date, std::string_view text) {
    if (text.empty()) {
        if (FindDay(date)) DeleteCurrentDay();
        return;
    }
    const bool known = FindDay(date);
    CurrentRecord.clear();
    CurrentRecord.Date = date;
    CurrentRecord.setText(text);
    if (known) StoreDay();
    else AppendDay();
}

std::optional<StoredDay> CalDb::readRecord(int i) {
    if (i < 0 || i >= keyList.size() || keyList[i].empty()) return std::nullopt;
    CurrentRecord.clear();
    ReadRecordAt(i);
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
