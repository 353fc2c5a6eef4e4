#include "events/birthday_table_model.h"

#include <QBrush>
#include <algorithm>

#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "events/birthday_list.h"

namespace orv {
namespace {

using B = BirthdayList;

bool isCheckColumn(int column) { return column == B::colCard || column == B::colGift; }

}  // namespace

BirthdayTableModel::BirthdayTableModel(BirthdayList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

int BirthdayTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : list_.rowCount(); }

int BirthdayTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : B::kColumnCount; }

QVariant BirthdayTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int column = index.column();
    const int row = index.row() + 1;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (isCheckColumn(column)) return {};
            return fromText(list_.cell(column, row));
        case Qt::CheckStateRole:
            if (!isCheckColumn(column)) return {};
            return list_.isChecked(column, row) ? Qt::Checked : Qt::Unchecked;
        case Qt::TextAlignmentRole:
            if (column == B::colNo || column == B::colMonth || column == B::colDay)
                return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            if (isCheckColumn(column)) return QVariant(Qt::AlignCenter);
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::BackgroundRole: return QBrush(column == B::colNo ? kFixedBackground : kDataBackground);
        case Qt::ForegroundRole: return QBrush(column == B::colNo ? QColor(Qt::black) : QColor(Qt::blue));
        case Qt::FontRole: return column == B::colNo ? QVariant() : QVariant(arialFont(kDataFontPixels));
        default: return {};
    }
}

QVariant BirthdayTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    static const char* const kHeaders[] = {"No", "Name", "Event", "Month", "Day", "Card", "Gift"};
    if (role == Qt::DisplayRole && section >= 0 && section < B::kColumnCount)
        return QString::fromLatin1(kHeaders[section]);
    if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags BirthdayTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (index.column() == B::colNo) return Qt::ItemIsEnabled;  // the fixed column never takes the cursor
    if (isCheckColumn(index.column())) return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool BirthdayTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid()) return false;
    const int column = index.column();
    const int row = index.row() + 1;
    if (role == Qt::CheckStateRole && isCheckColumn(column)) {
        const bool tick = value.toInt() == Qt::Checked;
        list_.setCell(column, row, tick ? "Y" : "N");
    } else if (role == Qt::EditRole && column >= B::colName && column <= B::colDay) {
        list_.setCell(column, row, toText(value.toString()));
    } else {
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

void BirthdayTableModel::appendRow() {
    const int at = list_.rowCount();
    beginInsertRows({}, at, at);
    list_.appendRow();
    endInsertRows();
}

void BirthdayTableModel::insertRowAt(int gridRow) {
    const int at = std::clamp(gridRow, 0, list_.rowCount());
    beginInsertRows({}, at, at);
    list_.insertRow(at + 1);
    endInsertRows();
    // The row numbers below it change.
    emit dataChanged(index(at, 0), index(list_.rowCount() - 1, 0));
}

void BirthdayTableModel::removeRowAt(int gridRow) {
    if (gridRow < 0 || gridRow >= list_.rowCount()) return;
    if (list_.rowCount() == 1) {
        list_.removeRow(1);  // cleared, not removed
        emit dataChanged(index(0, 0), index(0, B::kColumnCount - 1));
        return;
    }
    beginRemoveRows({}, gridRow, gridRow);
    list_.removeRow(gridRow + 1);
    endRemoveRows();
    if (gridRow < list_.rowCount()) emit dataChanged(index(gridRow, 0), index(list_.rowCount() - 1, 0));
}

void BirthdayTableModel::toggleCheck(const QModelIndex& index) {
    if (!index.isValid() || !isCheckColumn(index.column())) return;
    list_.toggleCheck(index.column(), index.row() + 1);
    emit dataChanged(index, index);
}

void BirthdayTableModel::clearAllChecks() {
    list_.clearAllChecks();
    emit dataChanged(index(0, B::colCard), index(list_.rowCount() - 1, B::colGift));
}

bool BirthdayTableModel::sortBy(int column) {
    if (!list_.canSort(column)) return false;
    beginResetModel();
    list_.sortBy(column);
    endResetModel();
    return true;
}

void BirthdayTableModel::purgeIncomplete() {
    beginResetModel();
    list_.purgeIncomplete();
    endResetModel();
}

void BirthdayTableModel::reset() {
    beginResetModel();
    endResetModel();
}

}  // namespace orv
