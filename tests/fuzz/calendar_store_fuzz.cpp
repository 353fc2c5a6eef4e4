// The calendar store on a calendar file of any bytes, driven by a list of operations and checked after
// each against a plain model: a list of records in file order, the first live one of a key answering.
//
// Input: two bytes (little-endian) giving the length of the calendar file, the file's bytes, then
// operations, each an operation byte and its operands:
//   0 read DAY | 1 write DAY LEN TEXT | 2 clear DAY | 3 flush and reload
//   4 stamp COUNT DAY... LEN TEXT (a repetition of "<TEXT>") | 5 remove DAY LEN TEXT (the entry "<TEXT>")
// A DAY byte below 192 is day 46000 + byte; from 192 on it names a record of the model (its date, whatever
// double that is).

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "common/day_number.h"
#include "common/stored_text.h"
#include "desk/entry_removal.h"
#include "events/entry_stamper.h"
#include "store/cal_db.h"

namespace orv {
namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "calendar store differs from its model: %s\n", what);
    std::abort();
}

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool has(size_t n) const { return size_ - at_ >= n; }
    uint8_t byte() { return data_[at_++]; }
    std::string bytes(size_t n) {
        n = std::min(n, size_ - at_);
        std::string out(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// What a record keeps of a written text: the text up to a zero byte, in at most 1019 stored bytes, read
// back. Cut before it is encoded: the bytes kept must read as the text they stood for.
std::string stored(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::string bytes = encodeStoredText(fitStoredText(text, kMaxStoredChars));
    return decodeStoredText(bytes.substr(0, bytes.find('\0')));
}

struct Model {
    struct Record {
        double date;
        std::string key;
        std::string text;
        bool deleted = false;
    };
    std::vector<Record> records;

    int find(const std::string& key) const {
        for (size_t i = 0; i < records.size(); ++i)
            if (!records[i].deleted && records[i].key == key) return static_cast<int>(i);
        return -1;
    }
    std::optional<std::string> read(double date) const {
        const int i = find(dateKey(date));
        if (i < 0) return std::nullopt;
        return records[static_cast<size_t>(i)].text;
    }
    void write(double date, std::string_view given) {
        const int i = find(dateKey(date));
        const std::string text = stored(given);
        if (text.empty()) {
            if (i >= 0) records[static_cast<size_t>(i)].deleted = true;
        } else if (i >= 0) {
            // The record takes the date as given, though its key is all that was compared.
            records[static_cast<size_t>(i)].date = date;
            records[static_cast<size_t>(i)].text = text;
        } else {
            records.push_back({date, dateKey(date), text});
        }
    }
    bool anyDeleted() const {
        for (const auto& r : records)
            if (r.deleted) return true;
        return false;
    }
    // A rewrite drops deleted records and those without text.
    void compact() {
        std::vector<Record> kept;
        for (auto& r : records)
            if (!r.deleted && !r.text.empty()) kept.push_back(std::move(r));
        records = std::move(kept);
    }
};

Model modelOf(const std::string& file) {
    Model m;
    for (size_t at = 0; at + 8 <= file.size(); at += kRecordSize) {
        char rec[kRecordSize] = {};
        std::memcpy(rec, file.data() + at, std::min<size_t>(kRecordSize, file.size() - at));
        const ReminderRecord r = ReminderRecord::fromBytes(rec);
        // A record without text holds no day.
        m.records.push_back({r.Date, dateKey(r.Date), r.text(), rec[8] == 0});
    }
    return m;
}

std::string readFile(const std::string& path) {
    std::string out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

// A folder of the process's own, removed when it ends (kept alive past the other statics for that).
const std::string& folder() {
    static const std::string& dir = *[] {
        const char* tmp = std::getenv("TMPDIR");
        auto* pattern = new std::string(std::string(tmp && *tmp ? tmp : "/tmp") + "/orvella-fuzz-XXXXXX");
        if (!::mkdtemp(pattern->data())) std::abort();
        std::atexit([] {
            for (const char* name : {"/Cal.DBX", "/Cal.$$$", "/Cal.purged"}) ::unlink((folder() + name).c_str());
            ::rmdir(folder().c_str());
        });
        return pattern;
    }();
    return dir;
}

// After a rewrite the file holds whole records only; before one, a cut record still counts as its model.
void compareWithFile(const Model& m, const std::string& path, bool rewritten) {
    const std::string bytes = readFile(path);
    const Model file = modelOf(bytes);
    check(!rewritten || bytes.size() % kRecordSize == 0, "the rewritten file holds a piece of a record");
    check(file.records.size() == m.records.size(), "record count of the file");
    for (size_t i = 0; i < m.records.size(); ++i) {
        check(std::memcmp(&file.records[i].date, &m.records[i].date, sizeof(double)) == 0, "a record's date");
        check(file.records[i].text == m.records[i].text, "a record's text");
    }
}

void compareLookups(CalDb& store, const Model& m) {
    check(store.recordCount() == static_cast<int>(m.records.size()), "record count");
    for (const auto& r : m.records) check(store.readDay(r.date) == m.read(r.date), "a day's text");
    for (int d = 46000; d < 46000 + 192; d += 17) check(store.readDay(d) == m.read(d), "a day's text");
}

}  // namespace
}  // namespace orv

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    Input in(data, size);
    if (!in.has(2)) return 0;
    const size_t length = in.byte() | (size_t{in.byte()} << 8);
    const std::string file = in.bytes(length);
    const std::string path = folder() + "/Cal.DBX";
    for (const char* name : {"/Cal.DBX", "/Cal.$$$", "/Cal.purged"}) ::unlink((folder() + name).c_str());
    if (!file.empty()) {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }

    CalDb store;
    store.LoadStore(path);
    Model m = modelOf(file);
    compareLookups(store, m);

    const auto day = [&](uint8_t b) -> double {
        if (b < 192 || m.records.empty()) return 46000 + b;
        return m.records[(b - 192) % m.records.size()].date;
    };
    while (in.has(1)) {
        const int op = in.byte() % 6;
        if (op == 0 && in.has(1)) {
            const double d = day(in.byte());
            check(store.readDay(d) == m.read(d), "read");
            continue;
        } else if (op == 1 && in.has(2)) {
            const double d = day(in.byte());
            const std::string text = decodeStoredText(in.bytes(in.byte()));  // texts are UTF-8
            store.writeDay(d, text);
            m.write(d, text);
            check(store.readDay(d) == m.read(d), "a day written");
            continue;
        } else if (op == 2 && in.has(1)) {
            const double d = day(in.byte());
            store.writeDay(d, "");
            m.write(d, "");
            check(store.readDay(d) == m.read(d), "a day cleared");
            continue;
        } else if (op == 3) {
            const bool compacts = m.records.empty() || m.anyDeleted();
            store.FlushCurrentCalendar();
            store.LoadStore(path);
            if (compacts) m.compact();
            compareWithFile(m, path, compacts);
        } else if (op == 4 && in.has(1)) {
            std::vector<int> dates;
            for (int n = in.byte() % 8 + 1; n > 0 && in.has(1); --n) dates.push_back(46000 + in.byte() % 192);
            const std::string line = "<" + decodeStoredText(in.bytes(in.has(1) ? in.byte() % 40 : 0)) + ">\r\n";
            const bool deletedBefore = m.anyDeleted();
            const StampResult r = stampRepetition(store, dates, line);
            bool added = false;
            for (const int d : dates) {
                const auto current = m.read(d);
                const std::string text = current ? textWithEntryLine(*current, line) : line;
                if (editorLength(text) > static_cast<size_t>(kMaxDayTextLength) ||
                    encodeStoredText(text).size() > static_cast<size_t>(kMaxStoredChars))
                    continue;
                m.write(d, text);
                added = true;
            }
            check(r.added.empty() != added, "what the stamping added");
            if (added || deletedBefore) m.compact();
            compareWithFile(m, path, added || deletedBefore);
        } else if (op == 5 && in.has(2)) {
            const double start = day(in.byte());
            const std::string marker = "<" + decodeStoredText(in.bytes(in.byte() % 40)) + ">";
            const bool deletedBefore = m.anyDeleted();
            const std::vector<int> changed = removeEntryLines(store, start, marker);
            std::vector<int> expected;
            bool rewritten = false;
            for (auto& r : m.records) {
                if (r.deleted || !isRepresentableDay(r.date) || r.date < start) continue;
                const auto text = withoutEntry(r.text, marker);
                if (!text) continue;
                if (text->empty()) {
                    r.deleted = true;
                } else {
                    r.text = stored(*text);
                    rewritten = true;
                }
                expected.push_back(static_cast<int>(r.date));
            }
            check(changed == expected, "the days a removal changed");
            const bool rewrite = rewritten || deletedBefore || !expected.empty();
            if (rewrite) m.compact();
            compareWithFile(m, path, rewrite);
        } else {
            break;
        }
        // Every day again after a rewrite.
        compareLookups(store, m);
    }
    compareLookups(store, m);
    return 0;
}
