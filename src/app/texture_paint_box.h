#pragma once
// A paint box under one of the main window's panels that tiles the chosen background texture (pbBackPaint).
// It lies below the panel's controls, so that they show on the texture.

#include <QWidget>
#include <functional>

class QImage;
class QPainter;

namespace orv {

class TexturePaintBox : public QWidget {
    Q_OBJECT
public:
    // titleBox: the title panel's box, which the grey texture leaves alone.
    explicit TexturePaintBox(QWidget* panel, bool titleBox = false);

    // Where the Tile value comes from (the program's settings unless a test says otherwise).
    std::function<int()> tile;
    bool isTitleBox() const { return titleBox_; }

    // The texture's top-left corner at every (50a, 50b), a = 0 .. width div 50 + 1, b = 0 .. height div 50 + 1.
    static void paintTiles(QPainter& painter, QSize box, const QImage& texture);
    // The texture this box paints for a Tile value; empty when it paints nothing.
    const QImage& textureFor(int tileValue) const;

    // Repaints every paint box of the program at once (a texture button of the Options window).
    static void repaintAll();

    void pbBackPaint(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool titleBox_;
};

}  // namespace orv
