#include "desk/week_printout.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

#include "common/print_font.h"
#include "common/print_target.h"
#include "common/ui_fonts.h"

namespace orv {
namespace {

class SheetPainter {
public:
    SheetPainter(QPainter& p, const WeekPrintLayout& layout) : p_(p), l_(layout) {}

    void font(int pixels, bool bold, const QColor& colour) {
        p_.setFont(printFont(arialFont(std::max(1, pixels), bold)));
        p_.setPen(colour);
    }

    // The text's bottom edge on y (millimetres), anchored at x.
    void text(MmPoint at, const QString& text, TextAnchor anchor) {
        const QFontMetrics fm = p_.fontMetrics();
        const int left = WeekPrintLayout::anchoredLeft(anchor, l_.MmToX(at.x), fm.horizontalAdvance(text));
        const int top = l_.MmToY(at.y) - fm.height();
        p_.drawText(left, top + fm.ascent(), text);
    }

    void frame(const WeekPrintLayout::Frame& f) {
        QPen pen(Qt::black, f.pen);
        pen.setJoinStyle(Qt::MiterJoin);
        p_.setPen(pen);
        p_.setBrush(Qt::white);
        const int x1 = l_.MmToX(f.mm.left), y1 = l_.MmToY(f.mm.top);
        p_.drawRect(x1, y1, l_.MmToX(f.mm.right) - x1, l_.MmToY(f.mm.bottom) - y1);
    }

private:
    QPainter& p_;
    const WeekPrintLayout& l_;
};

// The last line of a text that goes on past its cell: "…" at its end, within the cell's width.
QString withEllipsis(const QFontMetrics& fm, QString line, int width) {
    const QString mark = QStringLiteral("\u2026");
    while (!line.isEmpty() && fm.horizontalAdvance(line + mark) > width)
        line.chop(line.back().isLowSurrogate() ? 2 : 1);
    return line + mark;
}

}  // namespace

void paintWeekSheet(QPainter& painter, const WeekPrintLayout& layout, const WeekSheet& sheet) {
    SheetPainter s(painter, layout);
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const auto& f : layout.frames()) s.frame(f);

    s.font(layout.screenFontHeight(sheet.titlePixels), true, sheet.titleColour);
    s.text(WeekPrintLayout::kCalendarName, sheet.calendarName, TextAnchor::Left);
    s.text(WeekPrintLayout::kTitle, sheet.title, TextAnchor::Right);

    s.font(layout.pointFontHeight(10), true, Qt::black);
    for (const auto& h : layout.dayNames()) s.text(h.at, QString::fromStdString(h.text), TextAnchor::Centre);

    s.font(layout.screenFontHeight(sheet.numberPixels), true, Qt::black);
    for (int cell = 1; cell <= kPageCells; ++cell)
        if (const auto at = layout.dayNumberAt(cell))
            s.text(*at, sheet.dayNumbers[static_cast<size_t>(cell)], TextAnchor::Centre);

    s.font(layout.screenFontHeight(sheet.textPixels), false, sheet.textColour);
    const QFontMetrics fm = painter.fontMetrics();
    const int lineHeight = fm.height();
    for (int cell = 1; cell <= kPageCells; ++cell) {
        const QStringList& lines = sheet.lines[static_cast<size_t>(cell)];
        const int count = std::min<int>(layout.lineCount(cell, lineHeight), static_cast<int>(lines.size()));
        const int x = layout.MmToX(layout.textLeft(cell));
        const int top = layout.firstLineTop(cell, lineHeight);
        const bool cut = std::any_of(lines.begin() + count, lines.end(), [](const QString& l) { return !l.isEmpty(); });
        // An empty line keeps its place.
        for (int k = 0; k < count; ++k) {
            QString line = lines[k];
            if (cut && k == count - 1) line = withEllipsis(fm, line, layout.MmToX(layout.textRight(cell) - 1) - x);
            if (!line.isEmpty()) painter.drawText(x, top + k * lineHeight + fm.ascent(), line);
        }
    }

    s.font(layout.pointFontHeight(6), false, Qt::black);
    s.text(layout.footer(1), sheet.footer1, TextAnchor::Right);
    s.text(layout.footer(2), sheet.footer2, TextAnchor::Right);
    painter.restore();
}

void printWeekSheet(PrintTarget& target, const WeekSheet& sheet) {
    target.setOrientation(QPageLayout::Landscape);
    const QPaintDevice& d = target.device();
    const WeekPrintLayout layout(d.width(), d.height(), d.widthMM(), d.heightMM(), sheet.withWeekends);
    if (!layout.usable())
        throw PrintError(QStringLiteral("The page of %1 has no size to print on.").arg(target.name()).toStdString());
    printCopies(target, [&](QPainter& painter) { paintWeekSheet(painter, layout, sheet); });
}

}  // namespace orv
