#pragma once
// The birthday list as the grid sg1 shows it: the fixed "No" column, the texts, the Card and Gift check
// boxes, and the grid's colours, fonts and alignments. Every change goes to the list itself.

#include <QAbstractTableModel>
#include <QColor>

namespace orv {

class BirthdayList;

class BirthdayTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static inline const QColor kDataBackground{255, 255, 191};   // light yellow
    static inline const QColor kFixedBackground{192, 220, 192};  // light green
    static constexpr int kDataFontPixels = 11;                   // blue Arial

    BirthdayTableModel(BirthdayList& list, QObject* parent = nullptr);

    BirthdayList& list() { return list_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Check cells take Qt::CheckStateRole.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Row operations on the list; grid rows are list rows - 1.
    void appendRow();
    void insertRowAt(int gridRow);
    void removeRowAt(int gridRow);
    void toggleCheck(const QModelIndex& index);
    void clearAllChecks();
    bool sortBy(int column);
    void purgeIncomplete();
    // After the list was replaced as a whole (loading).
    void reset();

private:
    BirthdayList& list_;
};

}  // namespace orv
