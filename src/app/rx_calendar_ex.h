#pragma once
// The main window's month grid: seven columns by seven rows (the weekday header and six rows of day
// numbers), one selected day, and a coloured dot in the cell of every marked day. Drawn by hand so that
// every pixel (weekend colours, dots, the current cell) is ours to place.

#include <QColor>
#include <QWidget>
#include <array>
#include <cstdint>

#include "app/month_grid.h"

namespace orv {

class TRxCalendarEx : public QWidget {
    Q_OBJECT
public:
    // today: the day the grid opens on.
    explicit TRxCalendarEx(int today, QWidget* parent = nullptr);

    // Day marks.
    static constexpr std::uint8_t kNoMark = 0;
    static constexpr std::uint8_t kRedMark = 1;
    static constexpr std::uint8_t kGreenMark = 2;
    static constexpr int kGridLineWidth = 1;
    static constexpr int kBorderWidth = 1;

    int CalendarDate() const { return grid_.CalendarDate(); }
    int Year() const { return grid_.year(); }
    int Month() const { return grid_.month(); }
    int Day() const { return grid_.day(); }
    int DatePart(int kind) const { return grid_.datePart(kind); }

    int StartOfWeek() const { return grid_.StartOfWeek(); }
    unsigned Weekends() const { return weekends_; }
    void SetWeekends(unsigned weekends);
    QColor WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(const QColor& colour);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool UseCurrentDate() const { return grid_.UseCurrentDate; }
    void SetUseCurrentDate(bool value) { grid_.UseCurrentDate = value; }
    int FirstDayOffset() const { return grid_.FirstDayOffset(); }
    bool Updating() const { return updating_; }
    const std::array<std::uint8_t, 32>& Marks() const { return marks_; }

    // Each returns what became of the request; Changed means OnChange was raised.
    DateMove SetDatePart(int kind, int value);
    DateMove SetCalendarDate(int date);
    DateMove PrevMonth() { return grid_.PrevMonth(); }
    DateMove NextMonth() { return grid_.NextMonth(); }
    DateMove PrevYear() { return grid_.PrevYear(); }
    DateMove NextYear() { return grid_.NextYear(); }
    int DaysThisMonth() const { return grid_.DaysThisMonth(); }

    // Setting a mark does not repaint: the caller repaints once after setting them all.
    void SetMark(int day, int value);
    int GetMark(int day) const;
    void SetStartOfWeek(int value);

    // The grid's cells as drawn now.
    GridCell currentCell() const { return current_; }
    QString cellText(int row, int column) const;
    QRect cellRect(int row, int column) const;
    // Cell sizes follow the control's size: the six grid lines are taken off, the rest split in seven.
    int columnWidth() const;
    int rowHeight() const;
    // The rectangle of a day's dot (4 x 4 pixels in the lower-left corner of its cell).
    static QRect dotRect(const QRect& cell);
    // Whether the cell may become the current cell.
    bool canSelect(int row, int column) const;

    QSize sizeHint() const override { return {282, 127}; }

signals:
    void OnChange();
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layOut(bool dayOnly);
    // Makes the cell current if it may be; true when it became current.
    bool selectCell(int row, int column);
    // A cell became current by mouse or arrow key.
    void cellClick();
    // Moves the current cell by a step of the grid's own keys (no wrap, refused onto empty cells).
    bool moveCurrent(int rowStep, int columnStep);
    GridCell cellAt(const QPoint& pos) const;
    QString headerText(int column) const;
    void drawCell(QPainter& p, int row, int column);

    MonthGrid grid_;
    unsigned weekends_ = kSundayOnly;
    QColor weekendColor_{255, 0, 0};
    bool readOnly_ = false;
    bool updating_ = false;
    std::array<std::uint8_t, 32> marks_{};
    GridCell current_{1, 0};
};

}  // namespace orv
