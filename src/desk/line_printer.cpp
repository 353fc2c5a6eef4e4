#include "desk/line_printer.h"

#include <QFontMetrics>
#include <stdexcept>

#include "common/print_font.h"
#include "common/print_target.h"

namespace orv {

LinePrinter::LinePrinter(PrintTarget& target) : target_(target), device_(&target.device()) {
    if (!painter_.begin(device_)) throw std::runtime_error("The printer could not start the print job.");
    font_ = QFont(painter_.font(), device_);
}

LinePrinter::~LinePrinter() {
    if (painter_.isActive()) painter_.end();
}

void LinePrinter::setFont(const QFont& screenFont) {
    QFont f = printFont(screenFont);
    if (screenFont.pixelSize() > 0) f.setPointSizeF(screenFont.pixelSize() * 72.0 / 96.0);
    font_ = QFont(f, device_);
    painter_.setFont(font_);
}

int LinePrinter::tabWidth() const { return 8 * QFontMetrics(font_, device_).averageCharWidth(); }

int LinePrinter::lineHeight() const { return QFontMetrics(font_, device_).lineSpacing(); }

void LinePrinter::printLine(const QString& line) {
    const QFontMetricsF metrics(font_, device_);
    const int height = lineHeight();
    if (y_ > 0 && y_ + height > device_->height()) {
        if (!target_.newPage()) throw std::runtime_error("The printer could not start a new page.");
        ++page_;
        y_ = 0;
    }
    const int tab = tabWidth();
    qreal x = 0;
    const QStringList pieces = line.split(u'\t');
    for (qsizetype k = 0; k < pieces.size(); ++k) {
        if (k > 0) x = tab > 0 ? (static_cast<int>(x) / tab + 1) * tab : x;
        const QString& piece = pieces[k];
        if (!piece.isEmpty()) {
            painter_.drawText(QPointF(x, y_ + QFontMetrics(font_, device_).ascent()), piece);
            placed_.push_back({page_, QPointF(x, y_), piece});
        }
        x += metrics.horizontalAdvance(piece);
    }
    y_ += height;
}

void LinePrinter::finish() {
    if (!painter_.isActive()) return;
    if (!painter_.end()) throw std::runtime_error("The printer reported an error while printing.");
    target_.finish();
}

}  // namespace orv
