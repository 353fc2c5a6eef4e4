#include "app/month_grid_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <array>

#include "app/rx_calendar_ex.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/qt_text.h"

namespace orv {
namespace {

constexpr int kDayRows = kGridRows - 1;
constexpr int kCells = kGridRows * kGridColumns;  // header row first, then the six rows of days

int dayOfCell(const TRxCalendarEx* grid, int row, int column) {
    return grid->cellText(row, column).toInt();  // 0 for an empty cell
}

QString cellName(const TRxCalendarEx* grid, int row, int column) {
    const DateNames names = systemDateNames();
    if (row == 0)
        return QString::fromStdString(names.longDays[static_cast<size_t>(headerWeekday(column, grid->StartOfWeek()))]);
    const int day = dayOfCell(grid, row, column);
    if (day == 0) return {};
    const int date = dayNumber(grid->Year(), grid->Month(), day);
    QString name = QString::fromStdString(formatDate("dddd d mmmm yyyy", date, names));
    if (grid->GetMark(day) != TRxCalendarEx::kNoMark) name += QStringLiteral(", reminders");
    return name;
}

class GridAccessible;

// One cell of the grid by its place; what it shows is read from the grid when asked.
class CellAccessible : public QAccessibleInterface,
                       public QAccessibleTableCellInterface,
                       public QAccessibleActionInterface {
public:
    CellAccessible(TRxCalendarEx* grid, int row, int column) : grid_(grid), row_(row), column_(column) {}

    bool isValid() const override { return !grid_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!grid_) return {};
        switch (t) {
            case QAccessible::Name: return cellName(grid_, row_, column_);
            case QAccessible::Value: return row_ == 0 ? QString() : grid_->cellText(row_, column_);
            default: return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!grid_) return {};
        const QRect r = grid_->cellRect(row_, column_);
        return QRect(grid_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return row_ == 0 ? QAccessible::ColumnHeader : QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!grid_) {
            s.invalid = true;
            return s;
        }
        s.readOnly = true;
        if (row_ == 0) return s;
        if (grid_->canSelect(row_, column_)) {
            s.selectable = true;
            s.focusable = true;
        }
        const GridCell current = grid_->currentCell();
        if (current.row == row_ && current.column == column_) {
            s.selected = true;
            s.focused = grid_->hasFocus();
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface && row_ > 0) return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    // Table cell.
    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_ - 1; }  // the header row is no row of the table
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // Pressing a day selects it, as a click does.
    QStringList actionNames() const override {
        if (!grid_ || !grid_->canSelect(row_, column_)) return {};
        return {pressAction(), setFocusAction()};
    }
    void doAction(const QString& name) override {
        if (!grid_ || !actionNames().contains(name)) return;
        grid_->SetDatePart(kPartDay, dayOfCell(grid_, row_, column_));
        if (name == setFocusAction()) grid_->setFocus(Qt::OtherFocusReason);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TRxCalendarEx> grid_;
    int row_;
    int column_;
};

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(TRxCalendarEx* grid) : QAccessibleWidget(grid, QAccessible::Table) {
        // Selection and names follow the grid's date.
        QObject::connect(grid, &TRxCalendarEx::OnChange, grid, [grid, shown = monthOf(grid)]() mutable {
            const int month = monthOf(grid);
            announceChange(grid, month != shown);
            shown = month;
        });
    }
    ~GridAccessible() override {
        for (const QAccessible::Id id : cells_)
            if (id) QAccessible::deleteAccessibleInterface(id);
    }

    TRxCalendarEx* grid() const { return static_cast<TRxCalendarEx*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && grid()->accessibleName().isEmpty())
            return QString::fromStdString(monthName(grid()->Month())) + QLatin1Char(' ') +
                   QString::number(grid()->Year());
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return kCells; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= kCells) return nullptr;
        QAccessible::Id& id = cells_[static_cast<size_t>(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new CellAccessible(grid(), index / kGridColumns, index % kGridColumns));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < kCells; ++i)
            if (cells_[static_cast<size_t>(i)] &&
                QAccessible::accessibleInterface(cells_[static_cast<size_t>(i)]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = grid()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < kCells; ++i)
            if (grid()->cellRect(i / kGridColumns, i % kGridColumns).contains(p)) return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        if (!grid()->hasFocus()) return nullptr;
        const GridCell c = grid()->currentCell();
        return child(c.row * kGridColumns + c.column);
    }

    // Table: six rows of days under one row of column headers.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= kDayRows || column < 0 || column >= kGridColumns) return nullptr;
        return child((row + 1) * kGridColumns + column);
    }
    int rowCount() const override { return kDayRows; }
    int columnCount() const override { return kGridColumns; }
    QString columnDescription(int column) const override {
        return child(column) ? child(column)->text(QAccessible::Name) : QString();
    }
    QString rowDescription(int) const override { return {}; }
    int selectedCellCount() const override { return 1; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override {
        const GridCell c = grid()->currentCell();
        return {child(c.row * kGridColumns + c.column)};
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    static int monthOf(const TRxCalendarEx* grid) { return grid->Year() * 12 + grid->Month(); }

    static void announceChange(TRxCalendarEx* grid, bool otherMonth) {
        // Another month: every cell has a new name.
        for (int i = kGridColumns; otherMonth && i < kCells; ++i) {
            QAccessibleEvent named(grid, QAccessible::NameChanged);
            named.setChild(i);
            QAccessible::updateAccessibility(&named);
        }
        const GridCell c = grid->currentCell();
        QAccessibleEvent selected(grid, QAccessible::Selection);
        selected.setChild(c.row * kGridColumns + c.column);
        QAccessible::updateAccessibility(&selected);
        if (grid->hasFocus()) {
            QAccessibleEvent focused(grid, QAccessible::Focus);
            focused.setChild(c.row * kGridColumns + c.column);
            QAccessible::updateAccessibility(&focused);
        }
    }

    mutable std::array<QAccessible::Id, kCells> cells_{};
};

QList<QAccessibleInterface*> CellAccessible::columnHeaderCells() const {
    if (!grid_ || row_ == 0) return {};
    QAccessibleInterface* table = parent();
    return table ? QList<QAccessibleInterface*>{table->child(column_)} : QList<QAccessibleInterface*>{};
}

}  // namespace

QAccessibleInterface* monthGridAccessibleFactory(const QString&, QObject* object) {
    if (auto* grid = qobject_cast<TRxCalendarEx*>(object)) return new GridAccessible(grid);
    return nullptr;
}

void installMonthGridAccessibility() { QAccessible::installFactory(monthGridAccessibleFactory); }

}  // namespace orv
