#pragma once
// The month grid of the printed picture calendar page: the main grid's mapping of days to cells with
// Sunday as the default first column, every cell filled with one colour, the two outer columns in red and
// the others in blue, day numbers in the top right corner of their cells. No day marks, no month steps.
// It paints through whatever painter it is given, so the page prints it as text at the printer's resolution.

#include <QColor>
#include <QWidget>

#include "app/month_grid.h"
#include "common/clock.h"

namespace orv {

class TQuorCalendar1 : public QWidget {
    Q_OBJECT
public:
    // clock gives today: the first date and the one UseCurrentDate moves to. It must outlive the grid.
    explicit TQuorCalendar1(const Clock& clock, QWidget* parent = nullptr);

    static constexpr int kBorderWidth = 1;

    int CalendarDate() const { return grid_.CalendarDate(); }
    int Year() const { return grid_.year(); }
    int Month() const { return grid_.month(); }
    int Day() const { return grid_.day(); }
    int DaysThisMonth() const { return grid_.DaysThisMonth(); }
    int FirstDayOffset() const { return grid_.FirstDayOffset(); }
    bool Updating() const { return updating_; }

    // Lays the grid out for the date and raises OnChange.
    DateMove SetCalendarDate(int date);
    // Each clears UseCurrentDate when it changes the date. A month or year that the day does not exist in
    // is refused (NoSuchDate) and changes nothing: the day is never shortened.
    DateMove SetDay(int day) { return setPart(kPartDay, day); }
    DateMove SetMonth(int month) { return setPart(kPartMonth, month); }
    DateMove SetYear(int year) { return setPart(kPartYear, year); }

    int StartOfWeek() const { return grid_.StartOfWeek(); }
    void SetStartOfWeek(int value);
    bool UseCurrentDate() const { return grid_.UseCurrentDate; }
    // True moves the grid to today.
    void SetUseCurrentDate(bool value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    QColor Color() const { return colour_; }
    void SetColor(const QColor& colour);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int width);

    GridCell currentCell() const { return current_; }
    QString cellText(int row, int column) const;
    QRect cellRect(int row, int column) const;
    // The six grid lines always come off the client area before it is split in seven.
    int columnWidth() const;
    int rowHeight() const;
    bool canSelect(int row, int column) const;
    // Red for the first and last column, blue for the others, whatever the week start.
    static QColor columnColour(int column);

    QSize sizeHint() const override { return {365, 184}; }

signals:
    void OnChange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DateMove setPart(int kind, int value);
    void layOut();
    bool selectCell(int row, int column);
    void moveCurrent(int rowStep, int columnStep);
    GridCell cellAt(const QPoint& pos) const;
    void drawCell(QPainter& p, int row, int column);

    const Clock& clock_;
    MonthGrid grid_;
    QColor colour_{Qt::white};
    int gridLineWidth_ = 1;
    bool readOnly_ = false;
    bool updating_ = false;
    GridCell current_{1, 0};
};

}  // namespace orv
