#pragma once
// A glyph drawn by code each time it is shown, at the size and pixel density it is shown at, so that it stays
// sharp on dense screens (a pixmap drawn once at one size is enlarged and blurred there). The drawing works
// in the glyph's design size; the painter is scaled to the target.

#include <QIcon>
#include <QIconEngine>
#include <functional>

class QPainter;
class QWidget;

namespace orv {

class PaintedGlyph : public QIconEngine {
public:
    using Draw = std::function<void(QPainter&)>;

    // An icon of the design size that draw paints (with antialiasing on).
    static QIcon icon(QSize designSize, Draw draw);
    // The icon as a pixmap of size (logical) for the density of the screen that widget is on.
    static QPixmap pixmapFor(const QIcon& icon, QSize size, const QWidget* widget);

    PaintedGlyph(QSize designSize, Draw draw);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;

private:
    QSize designSize_;
    Draw draw_;
};

}  // namespace orv
