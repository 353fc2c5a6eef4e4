#include "backup/backup_set.h"

#include <cstdint>
#include <set>

#include "common/cp1252.h"
#include "common/file_util.h"
#include "common/grid_text.h"
#include "store/calendar_list.h"

namespace orv {
namespace {

// Plain decimal digits only, no sign, no blank, no overflow.
std::optional<std::uint64_t> readLength(std::string_view text) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

std::string foldedName(std::string_view utf8) { return foldCalendarName(utf8); }

}  // namespace

std::string diskInfBytes(int diskCount) {
    const auto v = static_cast<std::uint32_t>(diskCount);
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
            static_cast<char>((v >> 24) & 0xFF)};
}

std::optional<int> readDiskInf(std::string_view bytes) {
    if (bytes.size() != 4) return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
    const auto n = static_cast<std::int32_t>(v);
    if (n < 1) return std::nullopt;
    return n;
}

std::string backupInfBytes(const std::vector<BackupPiece>& pieces) {
    GridText table(3, static_cast<int>(pieces.size()));
    for (int c = 0; c < 3; ++c) table.setWidth(c, kBackupInfWidths[c]);
    for (size_t r = 0; r < pieces.size(); ++r) {
        const int row = static_cast<int>(r);
        table.setCell(0, row, pieces[r].name);
        table.setCell(1, row, std::to_string(pieces[r].length));
        table.setCell(2, row, std::to_string(pieces[r].disk));
    }
    return writeGridText(table, 0);
}

std::optional<std::vector<BackupPiece>> readBackupInf(std::string_view bytes, int diskCount) {
    const GridTextRead read = readGridText(bytes, 0);
    if (read.status != GridTextStatus::Ok) return std::nullopt;
    const GridText& table = read.table;
    if (table.columns() != 3 || table.rows() < 1) return std::nullopt;

    std::vector<BackupPiece> pieces;
    std::set<std::string> started;  // folded names of every run so far
    int lastDisk = 0;
    for (int r = 0; r < table.rows(); ++r) {
        BackupPiece piece;
        piece.name = table.cell(0, r);
        const auto length = readLength(table.cell(1, r));
        const auto disk = readLength(table.cell(2, r));
        if (!isCalendarFileName(piece.name) || !length || !disk) return std::nullopt;
        if (*disk >= static_cast<std::uint64_t>(diskCount) || static_cast<int>(*disk) < lastDisk) return std::nullopt;
        piece.length = *length;
        piece.disk = static_cast<int>(*disk);
        if (!pieces.empty() && pieces.back().name == piece.name) {
            if (piece.disk == pieces.back().disk) return std::nullopt;  // one name twice on one disk
        } else if (!started.insert(foldedName(piece.name)).second) {
            return std::nullopt;  // a second run of a file, or a case twin
        }
        lastDisk = piece.disk;
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

bool isCalendarFileName(std::string_view utf8Name) {
    if (utf8Name.size() <= 4 || !wildcardMatch(kCalendarPattern, utf8Name)) return false;
    if (utf8Name.find('/') != std::string_view::npos) return false;
    const std::string_view stem = utf8Name.substr(0, utf8Name.size() - 4);
    return !stem.empty() && !calendarNameProblem(stem);
}

std::optional<std::string> fatNameProblem(std::string_view name) {
    const auto refused = [&](const char* why) {
        return "The file \"" + (isValidUtf8(name) ? std::string(name) : cp1252ToUtf8(name)) +
               "\" cannot be backed up: a FAT disk cannot hold its name (" + why +
               "). Please rename the calendar.";
    };
    if (!isValidUtf8(name)) return refused("it is not UTF-8 text");
    size_t units = 0;  // UTF-16 code units, of which a long name holds 255
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) return refused("it holds a control character");
        if (std::string_view("*?:<>|\"\\/").find(ch) != std::string_view::npos)
            return refused("it holds one of * ? : < > | \" \\ /");
        if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
    }
    if (units > 255) return refused("it is longer than 255 characters");
    if (name.back() == '.' || name.back() == ' ') return refused("it ends in a full stop or a blank");
    return std::nullopt;
}

bool sameFileName(std::string_view utf8A, std::string_view utf8B) { return foldedName(utf8A) == foldedName(utf8B); }

std::string fileNameKey(std::string_view utf8Name) { return foldedName(utf8Name); }

}  // namespace orv
