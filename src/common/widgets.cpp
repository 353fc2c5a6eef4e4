#include "common/widgets.h"

#include <QPainter>
#include <QWidget>

#include "common/painted_glyph.h"

namespace orv {

QFrame* panel(QWidget* parent, QFrame::Shape shape, QFrame::Shadow shadow) {
    auto* p = new QFrame(parent);
    p->setFrameShape(shape);
    p->setFrameShadow(shadow);
    return p;
}

QIcon exitGlyph(int height) {
    return PaintedGlyph::icon(QSize(30, height), [height](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 2));
        p.setBrush(QColor(180, 130, 70));
        p.drawRect(QRectF(4, 3, 13, height - 6));
        const double y = height / 2;
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, y), QPointF(27, y));
        p.drawLine(QPointF(22, y - 5), QPointF(27, y));
        p.drawLine(QPointF(22, y + 5), QPointF(27, y));
    });
}

void setTextColour(QWidget* w, const QColor& colour, std::initializer_list<QPalette::ColorRole> roles) {
    QPalette pal = w->palette();
    for (const auto role : roles) pal.setColor(role, colour);
    w->setPalette(pal);
}

void setBackground(QWidget* w, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

}  // namespace orv
