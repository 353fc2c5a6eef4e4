#pragma once
// A paint device that keeps what is painted on it instead of pixels: every text with its box, colour and
// font, every rectangle, line and picture, each with the print job and page it belongs to. Window tests
// paint or print into it and then ask what was drawn where.

#include <QColor>
#include <QFont>
#include <QPaintDevice>
#include <QRectF>
#include <QRgb>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace orv::test {

class RecordingDevice : public QPaintDevice {
public:
    struct Text {
        QString text;
        QRectF box;  // device pixels: the text's advance by its font's height, top at baseline - ascent
        QColor colour;
        QFont font;
        int job = 0;
        int page = 0;
        qreal left() const { return box.left(); }
        qreal right() const { return box.right(); }
        qreal centreX() const { return box.center().x(); }
        qreal bottom() const { return box.bottom(); }
    };
    struct Shape {
        QRectF rect;    // device pixels; for a line, the box of its two ends
        qreal pen = 0;  // pen width in device pixels, 0 without a pen
        QColor penColour;
        QColor fill;  // invalid without a brush
        bool line = false;
        int job = 0;
        int page = 0;
    };
    struct Picture {
        QRectF target;  // device pixels
        QSize source;   // pixels of the picture drawn
        bool grey = false;
        bool tiled = false;
        qint64 key = 0;   // the picture's cache key: which picture it was
        QRgb corner = 0;  // its top left pixel
        int job = 0;
        int page = 0;
    };

    // A device of the given size in pixels at dpi dots per inch (millimetres follow from both).
    RecordingDevice(QSize pixels, int dpi);
    // A device that reports its size in millimetres separately, as a printer does.
    RecordingDevice(QSize pixels, QSizeF millimetres, int dpi);
    ~RecordingDevice() override;

    QPaintEngine* paintEngine() const override;

    std::vector<Text> texts;
    std::vector<Shape> shapes;
    std::vector<Picture> pictures;
    int jobs = 0;            // painters begun and ended on it
    int page = 1;            // the page now painted on, from 1
    bool failBegin = false;  // the next painters cannot begin
    bool failEnd = false;    // the next painters end with a failure

    void newPage() { ++page; }
    void clear();

    // The first text that reads so (nullptr when none).
    const Text* text(const QString& text) const;
    // The texts whose box centre lies in the rectangle, in the order painted.
    QStringList textsIn(const QRectF& area) const;
    QStringList allTexts() const;
    // The rectangles (not lines) drawn with a pen of this width.
    std::vector<QRectF> framesWithPen(qreal width) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    friend class RecordingEngine;
    QSize pixels_;
    QSizeF mm_;
    int dpi_;
    std::unique_ptr<QPaintEngine> engine_;
};

}  // namespace orv::test
