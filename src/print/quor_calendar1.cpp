#include "print/quor_calendar1.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "common/clock.h"

namespace orv {
namespace {

const QColor kWeekdayBlue(0, 0, 255);
const QColor kWeekendRed(255, 0, 0);
const QColor kGridLine(192, 192, 192);
const QColor kBorder(0, 0, 0);

}  // namespace

TQuorCalendar1::TQuorCalendar1(const Clock& clock, QWidget* parent)
    : QWidget(parent), clock_(clock), grid_(clock.today(), 0) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    grid_.changed = [this](bool) {
        layOut();
        emit OnChange();
    };
    resize(sizeHint());
    layOut();
}

DateMove TQuorCalendar1::SetCalendarDate(int date) { return grid_.SetCalendarDate(date); }

DateMove TQuorCalendar1::setPart(int kind, int value) { return grid_.SetDatePart(kind, value, false); }

void TQuorCalendar1::SetStartOfWeek(int value) {
    if (grid_.SetStartOfWeek(value)) layOut();
}

void TQuorCalendar1::SetUseCurrentDate(bool value) {
    grid_.UseCurrentDate = value;
    if (value) SetCalendarDate(clock_.today());
}

void TQuorCalendar1::SetColor(const QColor& colour) {
    colour_ = colour;
    update();
}

void TQuorCalendar1::SetGridLineWidth(int width) {
    gridLineWidth_ = std::max(0, width);
    update();
}

QColor TQuorCalendar1::columnColour(int column) {
    return column == 0 || column == kGridColumns - 1 ? kWeekendRed : kWeekdayBlue;
}

bool TQuorCalendar1::canSelect(int row, int column) const {
    return grid_.cellDay(row, column) != 0 && (updating_ || !readOnly_);
}

bool TQuorCalendar1::selectCell(int row, int column) {
    if (!canSelect(row, column)) return false;
    current_ = {row, column};
    return true;
}

void TQuorCalendar1::layOut() {
    updating_ = true;
    const GridCell cell = grid_.currentCell();
    selectCell(cell.row, cell.column);
    update();
    updating_ = false;
}

int TQuorCalendar1::columnWidth() const { return std::max(0, (width() - 2 * kBorderWidth - 6 * gridLineWidth_) / 7); }

int TQuorCalendar1::rowHeight() const { return std::max(0, (height() - 2 * kBorderWidth - 6 * gridLineWidth_) / 7); }

QRect TQuorCalendar1::cellRect(int row, int column) const {
    const int w = columnWidth();
    const int h = rowHeight();
    return {kBorderWidth + column * (w + gridLineWidth_), kBorderWidth + row * (h + gridLineWidth_), w, h};
}

GridCell TQuorCalendar1::cellAt(const QPoint& pos) const {
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            if (cellRect(row, column).contains(pos)) return {row, column};
    return {-1, -1};
}

QString TQuorCalendar1::cellText(int row, int column) const {
    if (row == 0) {
        const int weekday = headerWeekday(column, grid_.StartOfWeek());
        return QLocale::system().dayName(weekday == 0 ? 7 : weekday, QLocale::ShortFormat);
    }
    const int day = grid_.cellDay(row, column);
    return day ? QString::number(day) : QString();
}

void TQuorCalendar1::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kGridLine);
    p.setFont(font());
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column) drawCell(p, row, column);
    p.setPen(kBorder);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TQuorCalendar1::drawCell(QPainter& p, int row, int column) {
    const QRect r = cellRect(row, column);
    p.fillRect(r, colour_);
    const QString text = cellText(row, column);
    if (text.isEmpty()) return;
    // Measured on the device painted on, so that a printout places its texts as exactly as the screen.
    const QFontMetrics fm = p.fontMetrics();
    const int textWidth = fm.horizontalAdvance(text);
    p.setPen(columnColour(column));
    if (row == 0) {
        const int x = r.left() + (r.width() - textWidth) / 2;
        const int y = r.top() + (r.height() - fm.height()) / 2;
        p.drawText(x, y + fm.ascent(), text);
        return;
    }
    p.save();
    p.setClipRect(r);
    p.drawText(r.left() + r.width() - textWidth - 2, r.top() + fm.ascent(), text);
    p.restore();
}

void TQuorCalendar1::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const GridCell cell = cellAt(event->position().toPoint());
    if (selectCell(cell.row, cell.column)) SetDay(grid_.cellDay(cell.row, cell.column));
}

void TQuorCalendar1::moveCurrent(int rowStep, int columnStep) {
    const int row = current_.row + rowStep;
    const int column = current_.column + columnStep;
    if (selectCell(row, column)) SetDay(grid_.cellDay(row, column));
}

void TQuorCalendar1::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left: moveCurrent(0, -1); return;
        case Qt::Key_Right: moveCurrent(0, +1); return;
        case Qt::Key_Up: moveCurrent(-1, 0); return;
        case Qt::Key_Down: moveCurrent(+1, 0); return;
        default: QWidget::keyPressEvent(event);
    }
}

}  // namespace orv
