#pragma once
// A paint box under one of the main window's panels that tiles the chosen background texture (pbBackPaint).
// It lies below the panel's controls, so that they show on the texture.

#include <QWidget>

class QImage;
class QPainter;

namespace orv {

struct Settings;

class TexturePaintBox : public QWidget {
    Q_OBJECT
public:
    // settings: where the Tile value comes from. titleBox: the title panel's box, which the grey texture
    // leaves alone.
    TexturePaintBox(QWidget* panel, const Settings& settings, bool titleBox = false);

    bool isTitleBox() const { return titleBox_; }

    // The texture's top-left corner at every (50a, 50b), a = 0 .. width div 50 + 1, b = 0 .. height div 50 + 1.
    static void paintTiles(QPainter& painter, QSize box, const QImage& texture);
    // The texture this box paints for a Tile value at a pixel density; empty when it paints nothing.
    const QImage& textureFor(int tileValue, qreal density = 1.0) const;

    void pbBackPaint(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    const Settings& settings_;
    bool titleBox_;
};

}  // namespace orv
