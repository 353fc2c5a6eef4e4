#pragma once
// The week page on a landscape sheet: everything the page shows (calendar name, title, day numbers, the
// cells' lines as the editors break them) drawn at the places of the sheet's layout.

#include <QColor>
#include <QString>
#include <QStringList>
#include <array>

#include "desk/desk_page.h"
#include "desk/week_print_layout.h"

class QPainter;

namespace orv {

class PrintTarget;

struct WeekSheet {
    bool withWeekends = true;
    QString calendarName;
    QString title;
    std::array<QString, kPageCells + 1> dayNumbers;  // 1..28
    std::array<QStringList, kPageCells + 1> lines;   // 1..28, as each editor breaks them
    QString footer1;
    QString footer2;
    // Heights in screen pixels of the window's fonts the sheet's fonts are scaled from.
    int titlePixels = 16;
    int numberPixels = 11;
    int textPixels = 11;
    QColor titleColour{Qt::black};
    QColor textColour{Qt::black};
};

// Draws the sheet for a printable area that layout describes.
void paintWeekSheet(QPainter& painter, const WeekPrintLayout& layout, const WeekSheet& sheet);

// Prints the sheet on target, one landscape job per copy. Throws PrintError when the page has no size or a
// job fails.
void printWeekSheet(PrintTarget& target, const WeekSheet& sheet);

}  // namespace orv
