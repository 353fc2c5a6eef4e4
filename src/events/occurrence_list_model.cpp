#include "events/occurrence_list_model.h"

#include "common/qt_text.h"

namespace orv {

OccurrenceListModel::OccurrenceListModel(QObject* parent) : QAbstractListModel(parent), names_(englishDateNames()) {}

void OccurrenceListModel::setDates(std::vector<int> dates, DateNames names) {
    beginResetModel();
    dates_ = std::move(dates);
    names_ = std::move(names);
    endResetModel();
}

int OccurrenceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(dates_.size());
}

QVariant OccurrenceListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return fromText(formatDate("dddd, d mmmm yyyy", dates_[static_cast<size_t>(index.row())], names_));
}

}  // namespace orv
