#include "common/grid_text.h"

#include <algorithm>
#include <climits>

#include "common/stored_text.h"

namespace orv {
namespace {

const std::string kEmpty;

// Lines end with CR LF, or a lone CR or LF in a file edited by hand.
std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

// A cell line's column or row: a whole field of digits (leading blanks allowed), nothing else.
std::optional<long long> readIndex(std::string_view field) {
    size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    if (i == field.size()) return std::nullopt;
    for (size_t j = i; j < field.size(); ++j)
        if (field[j] < '0' || field[j] > '9') return std::nullopt;
    return readLeadingNumber(field);
}

std::string decodeText(std::string_view text) {
    std::string out = decodeStoredText(text);
    for (char& c : out) {
        if (c == '\t') c = '\r';
        else if (c == '\b') c = '\n';
    }
    return out;
}

std::string encodeText(std::string_view text) {
    std::string out = encodeStoredText(text);
    for (char& c : out) {
        if (c == '\r') c = '\t';
        else if (c == '\n') c = '\b';
    }
    return out;
}

}  // namespace

GridText::GridText(int columns, int rows) { resize(columns, rows); }

void GridText::resize(int columns, int rows) {
    columns_ = std::max(0, columns);
    rows_ = std::max(0, rows);
    widths_.resize(static_cast<size_t>(columns_), 0);
    if (cells_.size() > static_cast<size_t>(rows_)) cells_.resize(static_cast<size_t>(rows_));
    for (auto& row : cells_)
        if (row.size() > static_cast<size_t>(columns_)) row.resize(static_cast<size_t>(columns_));
}

const std::string& GridText::cell(int column, int row) const {
    if (row < 0 || column < 0 || static_cast<size_t>(row) >= cells_.size()) return kEmpty;
    const auto& r = cells_[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < r.size() ? r[static_cast<size_t>(column)] : kEmpty;
}

void GridText::setCell(int column, int row, std::string text) {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return;
    if (cells_.size() <= static_cast<size_t>(row)) cells_.resize(static_cast<size_t>(row) + 1);
    auto& r = cells_[static_cast<size_t>(row)];
    if (r.size() <= static_cast<size_t>(column)) r.resize(static_cast<size_t>(column) + 1);
    r[static_cast<size_t>(column)] = std::move(text);
}

int GridText::width(int column) const {
    return column >= 0 && column < columns_ ? widths_[static_cast<size_t>(column)] : 0;
}

void GridText::setWidth(int column, int width) {
    if (column >= 0 && column < columns_) widths_[static_cast<size_t>(column)] = width;
}

std::optional<long long> readLeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i == text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) value = INT_MAX;  // saturate; the callers bound it further
    }
    return value;
}

GridTextRead readGridText(std::string_view bytes, int fixed) {
    GridTextRead result;
    result.table.resize(fixed, fixed);
    const auto lines = splitLines(bytes);
    if (lines.empty()) {
        result.status = GridTextStatus::Corrupt;
        return result;
    }
    const std::string_view counts = lines[0];
    const size_t comma = counts.find(',');
    const auto columns = readLeadingNumber(counts.substr(0, comma));
    const auto rows = comma == std::string_view::npos ? std::nullopt : readLeadingNumber(counts.substr(comma + 1));
    if (!columns || !rows) {
        result.status = GridTextStatus::Corrupt;
        return result;
    }
    // Never trust the declared sizes beyond the bounds; an absurd table is read only as far as its real
    // lines go.
    const bool absurd = *columns > kGridTextMaxColumns || *rows > kGridTextMaxRows;
    if (absurd) result.status = GridTextStatus::Corrupt;
    const int columnCount = static_cast<int>(std::min<long long>(*columns, kGridTextMaxColumns)) + fixed;
    const int rowCount = static_cast<int>(std::min<long long>(*rows, kGridTextMaxRows)) + fixed;
    GridText& table = result.table;
    table.resize(columnCount, rowCount);

    int usedColumns = fixed;
    int usedRows = fixed;
    for (size_t n = 1; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        if (line.size() >= 2 && line[0] == 'c' && line[1] == 'w') {
            const size_t c = line.find(',', 2);
            if (c == std::string_view::npos) continue;
            const auto column = readLeadingNumber(line.substr(2, c - 2));
            const auto width = readLeadingNumber(line.substr(c + 1));
            if (column && width && *column < columnCount)
                table.setWidth(static_cast<int>(*column), static_cast<int>(*width));
            continue;
        }
        const size_t first = line.find(',');
        if (first == std::string_view::npos) continue;
        const size_t second = line.find(',', first + 1);
        if (second == std::string_view::npos) continue;
        const auto column = readIndex(line.substr(0, first));
        const auto row = readIndex(line.substr(first + 1, second - first - 1));
        if (!column || !row || *column >= columnCount || *row >= rowCount) continue;
        table.setCell(static_cast<int>(*column), static_cast<int>(*row), decodeText(line.substr(second + 1)));
        usedColumns = std::max(usedColumns, static_cast<int>(*column) + 1);
        usedRows = std::max(usedRows, static_cast<int>(*row) + 1);
    }
    if (absurd) {
        // Keep the widths of the columns that survive.
        table.resize(*columns > kGridTextMaxColumns ? usedColumns : columnCount,
                     *rows > kGridTextMaxRows ? usedRows : rowCount);
    }
    return result;
}

std::string writeGridText(const GridText& table, int fixed) {
    std::string out;
    out += std::to_string(std::max(0, table.columns() - fixed)) + "," +
           std::to_string(std::max(0, table.rows() - fixed)) + "\r\n";
    for (int c = 0; c < table.columns(); ++c)
        out += "cw " + std::to_string(c) + "," + std::to_string(table.width(c)) + "\r\n";
    for (int r = fixed; r < table.rows(); ++r) {
        for (int c = fixed; c < table.columns(); ++c) {
            const std::string& text = table.cell(c, r);
            if (text.empty()) continue;
            out += std::to_string(c) + "," + std::to_string(r) + "," + encodeText(text) + "\r\n";
        }
    }
    return out;
}

}  // namespace orv
