#pragma once
// The grid text format: a table of text cells (UTF-8; each stored as common/stored_text.h says) with
// `fixed` header rows and columns, written as
// CR LF lines: "<columns>,<rows>" without the fixed ones, one "cw <column>,<width>" line per column, then
// "<column>,<row>,<text>" for every non-empty non-fixed cell. CR and LF inside a text are stored as the
// bytes 9 and 8. "Events.dat" and "VEvents.dat" use it with one fixed row and column, "Backup.inf" with none.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// A file may not make the reader allocate more than this, whatever its count line says.
constexpr int kGridTextMaxRows = 100000;
constexpr int kGridTextMaxColumns = 64;

class GridText {
public:
    GridText() = default;
    GridText(int columns, int rows);  // whole table, fixed ones included

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    void resize(int columns, int rows);

    // Empty for a cell that was never set (or lies outside the table).
    const std::string& cell(int column, int row) const;
    void setCell(int column, int row, std::string text);  // ignored outside the table

    // 0 for a column whose width was never set.
    int width(int column) const;
    void setWidth(int column, int width);

private:
    int columns_ = 0;
    int rows_ = 0;
    std::vector<int> widths_;
    // Rows grow only as far as their last set cell, so a large declared table costs nothing until filled.
    std::vector<std::vector<std::string>> cells_;
};

enum class GridTextStatus {
    Ok,
    // An empty file, a count line without its two numbers, or counts beyond the bounds above. Whatever
    // lay within the bounds has still been read.
    Corrupt,
};

struct GridTextRead {
    GridText table;
    GridTextStatus status = GridTextStatus::Ok;
};

// Reads the format. Widths ("cw" lines) are applied for columns inside the table; cell lines outside it,
// or whose column or row is not a whole number, are ignored. Texts come back with 9 and 8 turned into CR
// and LF again.
GridTextRead readGridText(std::string_view bytes, int fixed);

// Writes the whole table in the format (CR and LF of texts encoded).
std::string writeGridText(const GridText& table, int fixed);

// The count line's number reading: leading blanks skipped, digits up to the first other character, 0
// when there is none; a value too large for int saturates. nullopt when there is no digit at all.
std::optional<long long> readLeadingNumber(std::string_view text);

}  // namespace orv
