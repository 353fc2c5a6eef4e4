#include "events/birthday_grid_header.h"

#include <QPainter>
#include <QPolygonF>
#include <QStyleOptionHeader>

namespace orv {
namespace {

constexpr qreal kArrowWidth = 7;
constexpr qreal kArrowHeight = 4;
constexpr qreal kArrowTop = 1;
const QColor kArrowColour(64, 64, 64);

}  // namespace

BirthdayGridHeader::BirthdayGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

void BirthdayGridHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    // The style would draw the arrow over the caption; paintSection draws it above.
    option->sortIndicator = QStyleOptionHeader::None;
}

void BirthdayGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    // The section's own painting leaves a clip behind; the arrow is drawn without it.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (!isSortIndicatorShown() || sortIndicatorSection() != logicalIndex || !rect.isValid()) return;
    const qreal centre = rect.left() + rect.width() / 2.0;
    const qreal top = rect.top() + kArrowTop;
    const qreal bottom = top + kArrowHeight;
    QPolygonF arrow;
    if (sortIndicatorOrder() == Qt::AscendingOrder)
        arrow << QPointF(centre - kArrowWidth / 2, bottom) << QPointF(centre + kArrowWidth / 2, bottom)
              << QPointF(centre, top);
    else
        arrow << QPointF(centre - kArrowWidth / 2, top) << QPointF(centre + kArrowWidth / 2, top)
              << QPointF(centre, bottom);
    painter->save();
    painter->setClipRect(rect);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(kArrowColour);
    painter->drawPolygon(arrow);
    painter->restore();
}

}  // namespace orv
