#include "common/painted_glyph.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

namespace orv {

QIcon PaintedGlyph::icon(QSize designSize, Draw draw) { return QIcon(new PaintedGlyph(designSize, std::move(draw))); }

QPixmap PaintedGlyph::pixmapFor(const QIcon& icon, QSize size, const QWidget* widget) {
    return icon.pixmap(size, widget ? widget->devicePixelRatioF() : qApp->devicePixelRatio());
}

PaintedGlyph::PaintedGlyph(QSize designSize, Draw draw) : designSize_(designSize), draw_(std::move(draw)) {}

QSize PaintedGlyph::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    return designSize_.scaled(size, Qt::KeepAspectRatio);
}

QList<QSize> PaintedGlyph::availableSizes(QIcon::Mode, QIcon::State) { return {designSize_}; }

void PaintedGlyph::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) {
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QSize size = actualSize(rect.size(), mode, state);
    const QPoint corner =
        rect.topLeft() + QPoint((rect.width() - size.width()) / 2, (rect.height() - size.height()) / 2);
    painter->drawPixmap(corner, scaledPixmap(size, mode, state, scale));
}

QPixmap PaintedGlyph::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap PaintedGlyph::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) {
    const QSize logical = actualSize(size, mode, state);
    QImage image(logical * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(image.width() / qreal(designSize_.width()), image.height() / qreal(designSize_.height()));
        draw_(p);
    }
    QPixmap pm = QPixmap::fromImage(std::move(image));
    pm.setDevicePixelRatio(scale);
    if (mode == QIcon::Disabled || mode == QIcon::Selected) {
        QStyleOption option;
        option.palette = QApplication::palette();
        pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
    }
    return pm;
}

QIconEngine* PaintedGlyph::clone() const { return new PaintedGlyph(designSize_, draw_); }

QString PaintedGlyph::key() const { return QStringLiteral("orvella-painted-glyph"); }

}  // namespace orv
