#pragma once
// The check window's list of dates, written out only for the rows on screen: a daily repetition over
// many years gives hundreds of thousands of them.

#include <QAbstractListModel>
#include <vector>

#include "common/date_format.h"

namespace orv {

class OccurrenceListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit OccurrenceListModel(QObject* parent = nullptr);

    void setDates(std::vector<int> dates, DateNames names);
    const std::vector<int>& dates() const { return dates_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<int> dates_;
    DateNames names_;
};

}  // namespace orv
