#include "sync/sync_state.h"

#include <charconv>

#include <fcntl.h>

#include "common/file_util.h"
#include "common/io_error.h"
#include "common/sys_file.h"

namespace orv::sync {
namespace {

constexpr const char* kHeader = "orvella-sync 1";
// Ten thousand days with a few foreign events each stay far below this.
constexpr std::size_t kMaxStateBytes = 256 * 1024 * 1024;

std::string escaped(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) return std::nullopt;
        switch (s[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return out;
        start = tab + 1;
    }
}

std::optional<int> number(std::string_view s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

void writeEntry(std::string& out, const std::string& href, const StateEntry& e) {
    out += "E\t";
    out += static_cast<char>(e.kind);
    out += '\t' + escaped(href) + '\t' + escaped(e.etag) + '\t' + std::to_string(e.day) + '\t' + escaped(e.uid) + '\t' +
           e.localHash + '\t' + e.serverHash + '\t' + (e.recurring ? "1" : "0") + '\t' + (e.asSent ? "1" : "0") + '\n';
    for (const StampItem& l : e.lines) out += "L\t" + std::to_string(l.date) + '\t' + escaped(l.line) + '\n';
    for (const int d : e.suppressed) out += "S\t" + std::to_string(d) + '\n';
}

struct Reader {
    Reader(const std::string& path, SyncState& state) : path(path), state(state) {}
    const std::string& path;
    SyncState& state;
    StateEntry* current = nullptr;

    [[noreturn]] void damaged(size_t lineNo) const {
        throw CorruptFileError("The sync state \"" + path + "\" is damaged at line " + std::to_string(lineNo) +
                                   "; remove it and the next sync compares every day afresh",
                               path);
    }

    // One line of the state or of a journal record; false when it is no line of the format.
    bool take(std::string_view line) {
        const std::vector<std::string_view> f = fields(line);
        const auto text = [&](size_t i) { return i < f.size() ? unescaped(f[i]) : std::nullopt; };
        if (f[0] == "C" || f[0] == "T" || f[0] == "G") {
            const auto v = text(1);
            if (!v || f.size() != 2) return false;
            (f[0] == "C" ? state.collection : f[0] == "T" ? state.syncToken : state.ctag) = *v;
            return true;
        }
        if (f[0] == "A") {
            const auto v = f.size() == 2 ? number(f[1]) : std::nullopt;
            if (!v) return false;
            state.yearlyFrom = *v;
            return true;
        }
        if (f[0] == "E") {
            if (f.size() != 10 || f[1].size() != 1) return false;
            const auto href = text(2), etag = text(3), uid = text(5);
            const auto day = number(f[4]);
            const char kind = f[1][0];
            if (!href || !etag || !uid || !day || std::string_view("DFYO").find(kind) == std::string_view::npos)
                return false;
            StateEntry e;
            e.kind = static_cast<EntryKind>(kind);
            e.etag = *etag;
            e.day = *day;
            e.uid = *uid;
            e.localHash = std::string(f[6]);
            e.serverHash = std::string(f[7]);
            e.recurring = f[8] == "1";
            e.asSent = f[9] == "1";
            current = &(state.entries[*href] = std::move(e));
            return true;
        }
        if (f[0] == "L" || f[0] == "S") {
            const auto day = f.size() >= 2 ? number(f[1]) : std::nullopt;
            if (!current || !day) return false;
            if (f[0] == "S") {
                if (f.size() != 2) return false;
                current->suppressed.insert(*day);
                return true;
            }
            const auto l = text(2);
            if (!l || f.size() != 3) return false;
            current->lines.push_back({*day, *l});
            return true;
        }
        if (f[0] == "-") {
            const auto href = text(1);
            if (!href || f.size() != 2) return false;
            state.entries.erase(*href);
            current = nullptr;
            return true;
        }
        return false;
    }
};

std::vector<std::string_view> linesOf(std::string_view text, bool* cutShort) {
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t nl = text.find('\n', start);
        if (nl == std::string_view::npos) {
            if (cutShort) *cutShort = true;
            break;
        }
        out.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return out;
}

}  // namespace

std::string textHash(std::string_view text) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    static const char* kHex = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) out[static_cast<size_t>(i)] = kHex[h & 15];
    return out;
}

std::string SyncState::stateFileName(const std::string& calendarFile) {
    const size_t dot = calendarFile.rfind('.');
    const size_t slash = calendarFile.rfind('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? calendarFile.substr(0, dot) : calendarFile) + ".sync";
}

std::string SyncState::journalFileName(const std::string& calendarFile) {
    return stateFileName(calendarFile) + "-journal";
}

std::optional<SyncState> SyncState::load(const std::string& calendarFile) {
    const std::string path = stateFileName(calendarFile);
    const std::string journalPath = journalFileName(calendarFile);
    const std::optional<std::string> whole = readWholeFile(path, kMaxStateBytes);
    const std::optional<std::string> journal = readWholeFile(journalPath, kMaxStateBytes);
    if (!whole && !journal) return std::nullopt;
    SyncState state;
    if (whole) {
        Reader reader(path, state);
        bool cutShort = false;
        const std::vector<std::string_view> lines = linesOf(*whole, &cutShort);
        if (lines.empty() || lines[0] != kHeader || cutShort) reader.damaged(1);
        for (size_t i = 1; i < lines.size(); ++i)
            if (!reader.take(lines[i])) reader.damaged(i + 1);
    }
    if (journal) {
        // Records end with a line "."; one without it was cut short by a crash and never counted, and so is
        // everything from a record that does not read (what a power cut leaves of the journal's end). A write
        // whose record is lost is found again by its text at the next sync.
        const std::vector<std::string_view> lines = linesOf(*journal, nullptr);
        size_t recordStart = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] != ".") continue;
            SyncState scratch;
            Reader check(journalPath, scratch);
            bool whole = true;
            for (size_t j = recordStart; j < i && whole; ++j) whole = check.take(lines[j]);
            if (!whole) break;
            Reader reader(journalPath, state);
            for (size_t j = recordStart; j < i; ++j) reader.take(lines[j]);
            recordStart = i + 1;
        }
    }
    return state;
}

void SyncState::save(const std::string& calendarFile) const {
    std::string out = std::string(kHeader) + '\n';
    out += "C\t" + escaped(collection) + '\n';
    out += "T\t" + escaped(syncToken) + '\n';
    out += "G\t" + escaped(ctag) + '\n';
    out += "A\t" + std::to_string(yearlyFrom) + '\n';
    for (const auto& [href, e] : entries) writeEntry(out, href, e);
    writeFileAtomically(stateFileName(calendarFile), out);
    removePath(journalFileName(calendarFile));
}

void SyncState::journal(const std::string& calendarFile, const std::string& href) const {
    std::string record = "T\t" + escaped(syncToken) + '\n';
    if (const auto it = entries.find(href); it != entries.end()) writeEntry(record, href, it->second);
    else record += "-\t" + escaped(href) + '\n';
    record += ".\n";
    const std::string path = journalFileName(calendarFile);
    const bool existed = statPath(path).has_value();
    SysFile file = SysFile::create(path, O_WRONLY, 0, 0666);
    std::int64_t oldSize = 0;
    try {
        oldSize = file.size();
        // Not flushed to the disk: a record lost with the power costs a comparison, a flush per write costs
        // more than some servers take for the write itself.
        file.writeAt(record.data(), record.size(), oldSize);
        file.close();
    } catch (...) {
        // The journal as it was: a record either whole and flushed, or not at all.
        try {
            if (existed) truncatePath(path, oldSize);
            else removePath(path);
        } catch (...) {
        }
        throw;
    }
}

void SyncState::forget(const std::string& calendarFile) {
    removePath(journalFileName(calendarFile));
    removePath(stateFileName(calendarFile));
}

}  // namespace orv::sync
