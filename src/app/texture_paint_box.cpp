#include "app/texture_paint_box.h"

#include <QEvent>
#include <QPainter>

#include "app/background_textures.h"
#include "program/settings.h"

namespace orv {
namespace {

constexpr int kTile = 50;
constexpr int kGreyTile = 4;

}  // namespace

TexturePaintBox::TexturePaintBox(QWidget* panel, const Settings& settings, bool titleBox)
    : QWidget(panel), settings_(settings), titleBox_(titleBox) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(panel->rect());
    lower();
    panel->installEventFilter(this);  // follow the panel's size
}

void TexturePaintBox::paintTiles(QPainter& painter, QSize box, const QImage& texture) {
    if (texture.isNull()) return;
    for (int a = 0; a <= box.width() / kTile + 1; ++a)
        for (int b = 0; b <= box.height() / kTile + 1; ++b) painter.drawImage(a * kTile, b * kTile, texture);
}

const QImage& TexturePaintBox::textureFor(int tileValue, qreal density) const {
    static const QImage none;
    if (titleBox_ && tileValue == kGreyTile) return none;
    return backgroundTextures().forTile(tileValue, density);
}

void TexturePaintBox::pbBackPaint(QPainter& painter) {
    paintTiles(painter, size(), textureFor(settings_.Tile, painter.device()->devicePixelRatioF()));
}

void TexturePaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    pbBackPaint(painter);
}

bool TexturePaintBox::eventFilter(QObject* watched, QEvent* e) {
    if (watched == parentWidget() && e->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, e);
}

}  // namespace orv
