#pragma once
// The header row of the yearly dates grid. Its columns are too narrow for a sort arrow beside the
// caption ("Month" fills its 42 pixels), so the arrow of the sorted column sits above the caption, a
// small triangle at the top edge, pointing up for ascending and down for descending.

#include <QHeaderView>

namespace orv {

class BirthdayGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit BirthdayGridHeader(QWidget* parent = nullptr);

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

}  // namespace orv
