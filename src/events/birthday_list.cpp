#include "events/birthday_list.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <set>

#include "common/file_util.h"
#include "common/grid_text.h"
#include "common/io_error.h"
#include "common/sys_file.h"

namespace orv {

std::optional<int> parseWholeNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

BirthdayList::BirthdayList() : rows_(1) {}

std::string BirthdayList::cell(int column, int row) const {
    if (column == colNo) return row >= 1 && row <= rowCount() ? std::to_string(row) : std::string();
    if (!validCell(column, row)) return {};
    return at(rows_[static_cast<size_t>(row - 1)], column);
}

void BirthdayList::setCell(int column, int row, std::string_view text) {
    if (!validCell(column, row)) return;
    std::string clean(text);
    for (char& c : clean)
        if (c == '\r' || c == '\n' || c == '\t' || c == '\b') c = ' ';
    at(rows_[static_cast<size_t>(row - 1)], column) = std::move(clean);
}

bool BirthdayList::isChecked(int column, int row) const {
    return (column == colCard || column == colGift) && cell(column, row) == "Y";
}

void BirthdayList::toggleCheck(int column, int row) {
    if ((column != colCard && column != colGift) || !validCell(column, row)) return;
    setCell(column, row, isChecked(column, row) ? "N" : "Y");
}

void BirthdayList::clearAllChecks() {
    for (auto& r : rows_) {
        at(r, colCard) = "N";
        at(r, colGift) = "N";
    }
}

bool BirthdayList::isComplete(int row) const {
    return validCell(colMonth, row) && !cell(colMonth, row).empty() && !cell(colDay, row).empty();
}

bool BirthdayList::hasCompleteRow() const {
    for (int r = 1; r <= rowCount(); ++r)
        if (isComplete(r)) return true;
    return false;
}

void BirthdayList::appendRow() { rows_.emplace_back(); }

void BirthdayList::insertRow(int row) {
    const int at = std::clamp(row, 1, rowCount() + 1);
    rows_.insert(rows_.begin() + (at - 1), Row{});
}

void BirthdayList::removeRow(int row) {
    if (row < 1 || row > rowCount()) return;
    if (rowCount() == 1) rows_[0] = Row{};
    else rows_.erase(rows_.begin() + (row - 1));
}

void BirthdayList::purgeIncomplete() {
    for (int r = rowCount(); r >= 1; --r)
        if (!isComplete(r)) removeRow(r);
}

bool BirthdayList::canSort(int column) const { return column >= colName && column <= colDay && rowCount() >= 2; }

namespace {

int compareCells(int column, const std::string& a, const std::string& b) {
    if (column == BirthdayList::colMonth || column == BirthdayList::colDay) {
        const auto na = parseWholeNumber(a);
        const auto nb = parseWholeNumber(b);
        if (na && nb) return *na < *nb ? -1 : (*na > *nb ? 1 : 0);
        if (na) return -1;
        if (nb) return 1;
    }
    const int c = a.compare(b);  // byte order, as the character codes
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

bool BirthdayList::sortBy(int column) {
    if (!canSort(column)) return false;
    purgeIncomplete();
    if (column == sortColumn_) {
        ascending_ = !ascending_;
    } else {
        sortColumn_ = column;
        ascending_ = true;
    }
    const bool ascending = ascending_;
    std::stable_sort(rows_.begin(), rows_.end(), [column, ascending](const Row& a, const Row& b) {
        for (int c = column; c <= colGift; ++c) {
            const int order = compareCells(c, at(a, c), at(b, c));
            if (order != 0) return ascending ? order < 0 : order > 0;
        }
        return false;
    });
    return true;
}

int BirthdayList::width(int column) const {
    return column >= 0 && column < kColumnCount ? widths_[static_cast<size_t>(column)] : 0;
}

void BirthdayList::setWidth(int column, int width) {
    if (column < 0 || column >= kColumnCount || width < kMinWidth || width > kMaxWidth) return;
    widths_[static_cast<size_t>(column)] = width;
}

std::string BirthdayList::entryLine(int row) const {
    return "<" + cell(colName, row) + " " + cell(colEvent, row) + ">\r\n";
}

GridText BirthdayList::toGridText() const {
    GridText table(kColumnCount, rowCount() + 1);
    for (int c = 0; c < kColumnCount; ++c) table.setWidth(c, width(c));
    for (int r = 1; r <= rowCount(); ++r)
        for (int c = colName; c <= colGift; ++c) table.setCell(c, r, cell(c, r));
    return table;
}

void BirthdayList::assignFrom(const GridText& table) {
    rows_.assign(static_cast<size_t>(std::max(0, table.rows() - 1)), Row{});
    for (int c = 0; c < kColumnCount && c < table.columns(); ++c)
        if (table.width(c) != 0) setWidth(c, table.width(c));
    for (int r = 1; r <= rowCount(); ++r) {
        for (int c = colName; c <= colGift; ++c) {
            const std::string& text = table.cell(c, r);
            // Cells are single-line: only the text before the first line break counts.
            at(rows_[static_cast<size_t>(r - 1)], c) = text.substr(0, text.find_first_of("\r\n"));
        }
    }
}

std::optional<std::string> BirthdayList::LoadEventsFile(const std::string& path) {
    std::optional<std::string> failure;
    rows_.clear();
    std::optional<struct stat> st;
    try {
        st = statPath(path);
    } catch (const IoError&) {
        failure = "File " + path + " not found";
    }
    // A FIFO would never end and a folder is no list: refused, and left where it is until the list changes.
    if (st && !S_ISREG(st->st_mode)) {
        failure = notRegularFileMessage(path);
    } else if (st) {
        std::optional<std::string> bytes;
        try {
            bytes = readWholeFile(path);
        } catch (const CorruptFileError& e) {
            failure = e.what();
        } catch (const IoError&) {
            failure = "File " + path + " not found";
        }
        if (bytes) {
            const GridTextRead read = readGridText(*bytes, 1);
            assignFrom(read.table);
            if (read.status != GridTextStatus::Ok) failure = "File contains no data or corrupt file " + path;
        }
    }
    appendRow();
    asReadFromDamaged_.reset();
    if (failure) asReadFromDamaged_ = savedForm();
    return failure;
}

std::string BirthdayList::savedForm() const {
    BirthdayList purged = *this;
    purged.purgeIncomplete();
    return purged.hasCompleteRow() ? writeGridText(purged.toGridText(), 1) : std::string();
}

int BirthdayList::addMissingRows(const BirthdayList& other) {
    const auto key = [](const Row& r) {
        return std::array<std::string, 4>{at(r, colName), at(r, colEvent), at(r, colMonth), at(r, colDay)};
    };
    purgeIncomplete();
    std::set<std::array<std::string, 4>> present;
    for (const Row& r : rows_)
        if (!at(r, colMonth).empty() && !at(r, colDay).empty()) present.insert(key(r));
    int added = 0;
    for (int i = 1; i <= other.rowCount(); ++i) {
        const Row& r = other.rows_[static_cast<size_t>(i - 1)];
        if (!other.isComplete(i) || !present.insert(key(r)).second) continue;
        // The one blank row a list keeps gives way to the first row added.
        if (!hasCompleteRow()) rows_.clear();
        rows_.push_back(r);
        ++added;
    }
    return added;
}

void BirthdayList::SaveEventsFile(const std::string& path) {
    purgeIncomplete();
    if (asReadFromDamaged_) {
        // Writing back what could be read would lose the rest; a list read as empty would delete it all.
        if (savedForm() == *asReadFromDamaged_) return;
        if (statPath(path)) renamePath(path, damagedCopyOf(path));
        asReadFromDamaged_.reset();
    }
    if (!hasCompleteRow()) {
        removePath(path);
        return;
    }
    writeFileAtomically(path, writeGridText(toGridText(), 1));
}

}  // namespace orv
