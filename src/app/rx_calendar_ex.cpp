#include "app/rx_calendar_ex.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

namespace orv {

TRxCalendarEx::TRxCalendarEx(int today, QWidget* parent) : QWidget(parent), grid_(today, 1) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    grid_.changed = [this](bool dayOnly) {
        layOut(dayOnly);
        emit OnChange();
    };
    resize(282, 127);
    layOut(false);
}

DateMove TRxCalendarEx::SetDatePart(int kind, int value) { return grid_.SetDatePart(kind, value); }

DateMove TRxCalendarEx::SetCalendarDate(int date) { return grid_.SetCalendarDate(date); }

void TRxCalendarEx::SetWeekends(unsigned weekends) {
    weekends_ = weekends & 0x7Fu;
    layOut(false);
}

void TRxCalendarEx::SetWeekendColor(const QColor& colour) {
    weekendColor_ = colour;
    update();
}

void TRxCalendarEx::SetMark(int day, int value) {
    // Entry 0 belongs to the header and the empty cells and never carries a dot.
    if (day < 1 || day > 31 || value < kNoMark || value > kGreenMark) return;
    marks_[static_cast<size_t>(day)] = static_cast<std::uint8_t>(value);
}

int TRxCalendarEx::GetMark(int day) const { return day >= 0 && day <= 31 ? marks_[static_cast<size_t>(day)] : 0; }

void TRxCalendarEx::SetStartOfWeek(int value) {
    if (grid_.SetStartOfWeek(value)) layOut(false);
}

bool TRxCalendarEx::canSelect(int row, int column) const {
    return grid_.cellDay(row, column) != 0 && (updating_ || !readOnly_);
}

bool TRxCalendarEx::selectCell(int row, int column) {
    if (!canSelect(row, column)) return false;
    current_ = {row, column};
    return true;
}

void TRxCalendarEx::layOut(bool dayOnly) {
    updating_ = true;
    const GridCell cell = grid_.currentCell();
    selectCell(cell.row, cell.column);
    if (dayOnly) repaint();
    else update();
    updating_ = false;
}

int TRxCalendarEx::columnWidth() const { return std::max(0, (width() - 2 * kBorderWidth - 6 * kGridLineWidth) / 7); }

int TRxCalendarEx::rowHeight() const { return std::max(0, (height() - 2 * kBorderWidth - 6 * kGridLineWidth) / 7); }

QRect TRxCalendarEx::cellRect(int row, int column) const {
    const int w = columnWidth();
    const int h = rowHeight();
    return {kBorderWidth + column * (w + kGridLineWidth), kBorderWidth + row * (h + kGridLineWidth), w, h};
}

QRect TRxCalendarEx::dotRect(const QRect& cell) {
    // From (left + 1, bottom - 5) to (left + 5, bottom - 1), bottom being the line just below the cell.
    const int bottom = cell.top() + cell.height();
    return {cell.left() + 1, bottom - 5, 4, 4};
}

GridCell TRxCalendarEx::cellAt(const QPoint& pos) const {
    const int cw = columnWidth();
    const int rh = rowHeight();
    const int stepX = cw + kGridLineWidth;
    const int stepY = rh + kGridLineWidth;
    if (stepX <= 0 || stepY <= 0) return {-1, -1};
    const int x = pos.x() - kBorderWidth;
    const int y = pos.y() - kBorderWidth;
    if (x < 0 || y < 0) return {-1, -1};
    const int column = x / stepX;
    const int row = y / stepY;
    // A click on a grid line, or past the last cell, hits no cell.
    if (column >= kGridColumns || row >= kGridRows || x % stepX >= cw || y % stepY >= rh) return {-1, -1};
    return {row, column};
}

QString TRxCalendarEx::headerText(int column) const {
    const int weekday = headerWeekday(column, grid_.StartOfWeek());
    return QLocale::system().dayName(weekday == 0 ? 7 : weekday, QLocale::ShortFormat);
}

QString TRxCalendarEx::cellText(int row, int column) const {
    if (row == 0) return headerText(column);
    const int day = grid_.cellDay(row, column);
    return day ? QString::number(day) : QString();
}

void TRxCalendarEx::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));

    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column) drawCell(p, row, column);

    // Grid lines between all cells.
    const int cw = columnWidth();
    const int rh = rowHeight();
    const int gridW = 7 * cw + 6 * kGridLineWidth;
    const int gridH = 7 * rh + 6 * kGridLineWidth;
    const QColor line = pal.color(QPalette::Mid);
    for (int i = 1; i < 7; ++i) {
        p.fillRect(kBorderWidth + i * (cw + kGridLineWidth) - kGridLineWidth, kBorderWidth, kGridLineWidth, gridH,
                   line);
        p.fillRect(kBorderWidth, kBorderWidth + i * (rh + kGridLineWidth) - kGridLineWidth, gridW, kGridLineWidth,
                   line);
    }

    // Thin single-line border.
    p.setPen(pal.color(QPalette::Shadow));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TRxCalendarEx::drawCell(QPainter& p, int row, int column) {
    const QPalette& pal = palette();
    const QRect r = cellRect(row, column);
    const bool isCurrent = row == current_.row && column == current_.column;

    QColor background = pal.color(QPalette::Base);
    QColor text = pal.color(QPalette::Text);
    if (row == 0) {
        background = pal.color(QPalette::Button);
        text = pal.color(QPalette::ButtonText);
    } else if (isCurrent) {
        background = pal.color(QPalette::Highlight);
        text = pal.color(QPalette::HighlightedText);
    }
    p.fillRect(r, background);

    const QString label = cellText(row, column);
    const int markIndex = row == 0 ? 0 : grid_.cellDay(row, column);
    if (!isCurrent && isWeekendColumn(column, grid_.StartOfWeek(), weekends_)) text = weekendColor_;

    const QFontMetrics fm(font());
    const int x = r.left() + (r.width() - fm.horizontalAdvance(label)) / 2;
    const int y = r.top() + (r.height() - fm.height()) / 2;
    p.save();
    p.setClipRect(r);
    p.setPen(text);
    p.drawText(x, y + fm.ascent(), label);

    const int mark = GetMark(markIndex);
    if (mark != kNoMark) {
        QColor dot(255, 0, 0);
        if (mark == kGreenMark) dot = isCurrent ? QColor(0, 255, 0) : QColor(0, 128, 0);
        // A 4 x 4 disc: the corner pixels stay clear.
        const QRect d = dotRect(r);
        p.fillRect(d.left() + 1, d.top(), 2, 4, dot);
        p.fillRect(d.left(), d.top() + 1, 4, 2, dot);
    }

    if (isCurrent && hasFocus()) {
        QPen focus(pal.color(QPalette::HighlightedText));
        focus.setStyle(Qt::DotLine);
        p.setPen(focus);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    p.restore();
}

void TRxCalendarEx::cellClick() {
    emit clicked();
    const int day = grid_.cellDay(current_.row, current_.column);
    if (day) SetDatePart(kPartDay, day);
}

void TRxCalendarEx::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const GridCell cell = cellAt(event->position().toPoint());
    if (selectCell(cell.row, cell.column)) cellClick();
}

void TRxCalendarEx::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    // The second press of a double click selects as any press does, so the double click acts on its day.
    mousePressEvent(event);
    emit doubleClicked();
}

bool TRxCalendarEx::moveCurrent(int rowStep, int columnStep) {
    const int row = current_.row + rowStep;
    const int column = current_.column + columnStep;
    if (!selectCell(row, column)) return false;
    cellClick();
    return true;
}

void TRxCalendarEx::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
    const int day = grid_.day();
    // The user may not move the selection of a read-only grid, by mouse or by key.
    const bool mayStep = !readOnly_;
    switch (event->key()) {
        case Qt::Key_Left:
            if (plain && day > 1) {
                if (mayStep) SetDatePart(kPartDay, day - 1);
            } else {
                moveCurrent(0, -1);
            }
            return;
        case Qt::Key_Right:
            if (plain && day < DaysThisMonth()) {
                if (mayStep) SetDatePart(kPartDay, day + 1);
            } else {
                moveCurrent(0, +1);
            }
            return;
        case Qt::Key_Up: moveCurrent(-1, 0); return;
        case Qt::Key_Down: moveCurrent(+1, 0); return;
        case Qt::Key_Home: moveCurrent(0, -current_.column); return;
        case Qt::Key_End: moveCurrent(0, kGridColumns - 1 - current_.column); return;
        default: QWidget::keyPressEvent(event);
    }
}

}  // namespace orv
