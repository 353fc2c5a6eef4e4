#pragma once
// The birthday list: the yearly dates (birthdays, anniversaries) the user keeps in "Events.dat", as the
// repeating-events window edits them, the ticker reads them and the birthday stamping writes them into a
// calendar. Texts are UTF-8; the list always has at least one data row.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class GridText;

// The whole-number conversion of the Month and Day cells: optional leading blanks, an optional sign and
// digits, nothing after them, within 32 bits.
std::optional<int> parseWholeNumber(std::string_view text);

class BirthdayList {
public:
    // Grid columns; 0 is the fixed column of row numbers, which is never stored.
    enum Column : int { colNo = 0, colName = 1, colEvent = 2, colMonth = 3, colDay = 4, colCard = 5, colGift = 6 };
    static constexpr int kColumnCount = 7;
    static constexpr std::array<int, kColumnCount> kDefaultWidths{35, 156, 153, 42, 34, 32, 40};
    // A stored width outside this range would hide a column or push the others off the window.
    static constexpr int kMinWidth = 1;
    static constexpr int kMaxWidth = 2000;

    BirthdayList();  // one blank row, default widths

    // Data rows are numbered from 1, as in the grid.
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Column 0 gives the row number; a cell outside the list is empty.
    std::string cell(int column, int row) const;
    // Cells are single-line: CR, LF, TAB and backspace become blanks (the file would turn them into line
    // breaks). Columns 1..6 only.
    void setCell(int column, int row, std::string_view text);

    // Card and Gift: ticked exactly when the text is "Y"; toggling writes "Y" or "N".
    bool isChecked(int column, int row) const;
    void toggleCheck(int column, int row);
    void clearAllChecks();  // every Card and Gift becomes "N"

    bool isComplete(int row) const;  // Month and Day both non-empty
    bool hasCompleteRow() const;

    void appendRow();
    void insertRow(int row);  // a blank row at that position (appended past the end)
    // Removes the row; the only remaining row is cleared instead, so the list keeps one row.
    void removeRow(int row);

    // From the last row to the first, removes rows without Month or Day while another row remains; the
    // only remaining one is cleared instead.
    void purgeIncomplete();

    // Header-click sorting: columns 1..4 with at least two rows.
    bool canSort(int column) const;
    // Purges incomplete rows, then sorts: ascending on a new column, the other way round on the column
    // sorted last. Name and Event compare by character codes, Month and Day as numbers (a cell that is
    // no number after all numbers); equal rows are ordered by the columns to the right. Descending is
    // the exact reverse of ascending. False (nothing done) when the column cannot be sorted.
    bool sortBy(int column);
    int sortColumn() const { return sortColumn_; }  // -1 before the first sort
    bool sortAscending() const { return ascending_; }

    int width(int column) const;
    void setWidth(int column, int width);  // ignored outside kMinWidth..kMaxWidth

    // The entry line a row stamps into a calendar: "<" + Name + " " + Event + ">" + CR LF.
    std::string entryLine(int row) const;

    // Replaces the list by the file's rows (when the file exists) and adds one blank row. Returns the
    // failure message (UTF-8): "File <name> not found" when it cannot be read, "File contains no data or
    // corrupt file <name>" for a corrupt or too large one, a refusal naming it for a FIFO, device or folder;
    // the rows that could be read are kept either way.
    std::optional<std::string> LoadEventsFile(const std::string& path);
    // Purges incomplete rows, then writes the file through a temporary one, or deletes it when no
    // complete row remains. After a failed load the file is left alone while the list is as it was read;
    // once the list has changed, the file is first kept aside as its damaged copy. Throws IoError.
    void SaveEventsFile(const std::string& path);
    // Whether the last load failed and its file has not been replaced since.
    bool keepsDamagedFile() const { return asReadFromDamaged_.has_value(); }
    // Where a file that failed to load is kept once the list replaces it.
    static std::string damagedCopyOf(const std::string& path) { return path + ".damaged"; }

    // The grid text form: one fixed row and column, six data columns.
    GridText toGridText() const;
    // What saving the list would write (empty when it would delete the file).
    std::string savedForm() const;

    // Appends each complete row of other whose name, event, month and day no row here has (ticks are a
    // row's state, not its identity); returns how many.
    int addMissingRows(const BirthdayList& other);
    // Rows and widths from a table read with one fixed row and column; texts end at their first line break.
    void assignFrom(const GridText& table);

private:
    using Row = std::array<std::string, kColumnCount - 1>;  // columns 1..6
    static std::string& at(Row& r, int column) { return r[static_cast<size_t>(column - 1)]; }
    static const std::string& at(const Row& r, int column) { return r[static_cast<size_t>(column - 1)]; }
    bool validCell(int column, int row) const {
        return column >= colName && column <= colGift && row >= 1 && row <= rowCount();
    }

    std::vector<Row> rows_;
    std::array<int, kColumnCount> widths_ = kDefaultWidths;
    // After a failed load: what saving the list as read would have written.
    std::optional<std::string> asReadFromDamaged_;
    int sortColumn_ = -1;
    bool ascending_ = true;
};

}  // namespace orv
