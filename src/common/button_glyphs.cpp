#include "common/button_glyphs.h"

#include <QPainter>
#include <QPainterPath>

#include "common/painted_glyph.h"

namespace orv {
namespace {

const QSize kButtonGlyph(16, 16);
const QColor kGreen(30, 140, 50);
const QColor kRed(200, 40, 40);

QPen strokePen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void sheet(QPainter& p) {
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 1.5, 9, 12));
    p.setPen(QPen(QColor(170, 170, 170), 1));
    for (const qreal y : {4.5, 7.5, 10.5}) p.drawLine(QPointF(4, y), QPointF(10, y));
}

void plus(QPainter& p, QPointF centre, const QColor& colour) {
    p.setPen(strokePen(colour, 2.2));
    p.drawLine(centre - QPointF(3, 0), centre + QPointF(3, 0));
    p.drawLine(centre - QPointF(0, 3), centre + QPointF(0, 3));
}

}  // namespace

QIcon okGlyph() {
    return PaintedGlyph::icon(kButtonGlyph, [](QPainter& p) {
        p.setPen(strokePen(kGreen, 2.4));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
    });
}

QIcon cancelGlyph() {
    return PaintedGlyph::icon(kButtonGlyph, [](QPainter& p) {
        p.setPen(strokePen(kRed, 2.4));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
}

QIcon closeGlyph() {
    return PaintedGlyph::icon(kButtonGlyph, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 1));
        p.setBrush(QColor(180, 130, 70));
        p.drawRect(QRectF(1.5, 1.5, 8, 13));
        p.setPen(strokePen(kRed, 1.8));
        p.drawLine(QPointF(7, 8), QPointF(14.5, 8));
        p.drawLine(QPointF(11.5, 5), QPointF(14.5, 8));
        p.drawLine(QPointF(11.5, 11), QPointF(14.5, 8));
    });
}

QIcon applyGlyph() {
    return PaintedGlyph::icon(kButtonGlyph, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.5, 2.5, 11, 10));
        p.setBrush(kRed);
        p.drawRect(QRectF(0.5, 2.5, 11, 3));
        plus(p, QPointF(11.5, 11.5), kGreen);
    });
}

QIcon addRowGlyph() {
    return PaintedGlyph::icon(kButtonGlyph, [](QPainter& p) {
        sheet(p);
        plus(p, QPointF(11.5, 11.5), kGreen);
    });
}

QIcon deleteRowGlyph() {
    return PaintedGlyph::icon(kButtonGlyph, [](QPainter& p) {
        sheet(p);
        p.setPen(strokePen(kRed, 2.2));
        p.drawLine(QPointF(8.5, 11.5), QPointF(14.5, 11.5));
    });
}

QIcon warningGlyph() {
    return PaintedGlyph::icon(QSize(32, 32), [](QPainter& p) {
        QPainterPath triangle;
        triangle.moveTo(16, 2.5);
        triangle.lineTo(30, 28.5);
        triangle.lineTo(2, 28.5);
        triangle.closeSubpath();
        p.setPen(QPen(QColor(150, 110, 0), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(250, 205, 40));
        p.drawPath(triangle);
        p.setPen(strokePen(Qt::black, 3));
        p.drawLine(QPointF(16, 10.5), QPointF(16, 19.5));
        p.drawPoint(QPointF(16, 24.5));
    });
}

}  // namespace orv
