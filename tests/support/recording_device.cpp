#include "support/recording_device.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <limits>

namespace orv::test {

class RecordingEngine : public QPaintEngine {
public:
    explicit RecordingEngine(RecordingDevice* device) : QPaintEngine(AllFeatures), device_(device) {}

    bool begin(QPaintDevice*) override {
        if (device_->failBegin) return false;
        ++device_->jobs;
        pen_ = QPen();
        brush_ = QBrush();
        transform_ = QTransform();
        return true;
    }
    bool end() override { return !device_->failEnd; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& state) override {
        const DirtyFlags flags = state.state();
        if (flags & DirtyPen) pen_ = state.pen();
        if (flags & DirtyBrush) brush_ = state.brush();
        if (flags & DirtyFont) font_ = state.font();
        if (flags & DirtyTransform) transform_ = state.transform();
    }

    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) addShape(transform_.mapRect(rects[i]), false);
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) addShape(transform_.mapRect(QRectF(rects[i])), false);
    }
    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i)
            addShape(transform_.mapRect(QRectF(lines[i].p1(), lines[i].p2()).normalized()), true);
    }
    void drawLines(const QLine* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            const QLineF l(lines[i]);
            addShape(transform_.mapRect(QRectF(l.p1(), l.p2()).normalized()), true);
        }
    }
    void drawPath(const QPainterPath& path) override { addShape(transform_.map(path).boundingRect(), false); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override {
        addShape(transform_.map(QPolygonF(QList<QPointF>(points, points + count))).boundingRect(), false);
    }
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode) override {
        addShape(transform_.map(QPolygonF(QPolygon(QList<QPoint>(points, points + count)))).boundingRect(), false);
    }
    void drawEllipse(const QRectF& r) override { addShape(transform_.mapRect(r), false); }
    void drawPoints(const QPointF*, int) override {}
    void drawPoints(const QPoint*, int) override {}

    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        addPicture(transform_.mapRect(r), sr.size().toSize(), pm.depth() == 8, false, pm.cacheKey(),
                   pm.isNull() ? 0 : pm.toImage().pixel(sr.topLeft().toPoint()));
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags) override {
        const bool grey = image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16;
        addPicture(transform_.mapRect(r), sr.size().toSize(), grey, false, image.cacheKey(),
                   image.isNull() ? 0 : image.pixel(sr.topLeft().toPoint()));
    }
    void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF&) override {
        addPicture(transform_.mapRect(r), pm.size(), pm.depth() == 8, true, pm.cacheKey(),
                   pm.isNull() ? 0 : pm.toImage().pixel(0, 0));
    }

    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QFont font = item.font();
        // Whole-pixel metrics, as the windows and printouts place their texts with.
        const QFontMetrics fm(font, device_);
        const QRectF logical(p.x(), p.y() - fm.ascent(), fm.horizontalAdvance(item.text()), fm.height());
        RecordingDevice::Text t;
        t.text = item.text();
        t.box = transform_.mapRect(logical);
        t.colour = pen_.color();
        t.font = font;
        t.job = device_->jobs;
        t.page = device_->page;
        device_->texts.push_back(t);
    }

private:
    void addShape(const QRectF& rect, bool line) {
        RecordingDevice::Shape s;
        s.rect = rect;
        if (pen_.style() != Qt::NoPen) {
            // A cosmetic pen of width 0 still draws one pixel.
            s.pen = pen_.isCosmetic()
                        ? std::max<qreal>(1, pen_.widthF())
                        : std::max<qreal>(1, pen_.widthF() * std::sqrt(std::abs(transform_.determinant())));
            s.penColour = pen_.color();
        }
        if (brush_.style() != Qt::NoBrush && !line) s.fill = brush_.color();
        s.line = line;
        s.job = device_->jobs;
        s.page = device_->page;
        device_->shapes.push_back(s);
    }
    void addPicture(const QRectF& target, QSize source, bool grey, bool tiled, qint64 key, QRgb corner) {
        device_->pictures.push_back({target, source, grey, tiled, key, corner, device_->jobs, device_->page});
    }

    RecordingDevice* device_;
    QPen pen_;
    QBrush brush_;
    QFont font_;
    QTransform transform_;
};

RecordingDevice::RecordingDevice(QSize pixels, int dpi)
    : RecordingDevice(pixels, QSizeF(pixels.width() * 25.4 / dpi, pixels.height() * 25.4 / dpi), dpi) {}

RecordingDevice::RecordingDevice(QSize pixels, QSizeF millimetres, int dpi)
    : pixels_(pixels), mm_(millimetres), dpi_(dpi), engine_(std::make_unique<RecordingEngine>(this)) {}

RecordingDevice::~RecordingDevice() = default;

QPaintEngine* RecordingDevice::paintEngine() const { return engine_.get(); }

int RecordingDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
        case PdmWidth: return pixels_.width();
        case PdmHeight: return pixels_.height();
        case PdmWidthMM: return static_cast<int>(mm_.width());
        case PdmHeightMM: return static_cast<int>(mm_.height());
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return dpi_;
        case PdmNumColors: return std::numeric_limits<int>::max();
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
        default: return 0;
    }
}

void RecordingDevice::clear() {
    texts.clear();
    shapes.clear();
    pictures.clear();
    jobs = 0;
    page = 1;
}

const RecordingDevice::Text* RecordingDevice::text(const QString& wanted) const {
    for (const Text& t : texts)
        if (t.text == wanted) return &t;
    return nullptr;
}

QStringList RecordingDevice::textsIn(const QRectF& area) const {
    QStringList out;
    for (const Text& t : texts)
        if (area.contains(t.box.center())) out << t.text;
    return out;
}

QStringList RecordingDevice::allTexts() const {
    QStringList out;
    for (const Text& t : texts) out << t.text;
    return out;
}

std::vector<QRectF> RecordingDevice::framesWithPen(qreal width) const {
    std::vector<QRectF> out;
    for (const Shape& s : shapes)
        if (!s.line && std::abs(s.pen - width) < 0.5) out.push_back(s.rect);
    return out;
}

}  // namespace orv::test
