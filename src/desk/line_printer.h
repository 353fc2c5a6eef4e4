#pragma once
// A text-line print job on a graphics printer: each line below the previous one, a tab advancing to the
// next multiple of 8 average character widths, a new page when the next line does not fit.

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <vector>


namespace orv {

class PrintTarget;

class LinePrinter {
public:
    struct Placed {
        int page;      // from 1
        QPointF at;    // top left of the piece, device pixels
        QString text;  // a piece between tabs
    };

    // Begins the job. Throws when the printer cannot start it.
    explicit LinePrinter(PrintTarget& target);
    ~LinePrinter();  // ends an unfinished job
    LinePrinter(const LinePrinter&) = delete;
    LinePrinter& operator=(const LinePrinter&) = delete;

    // A screen font (pixels at 96 per inch) at the same size on paper.
    void setFont(const QFont& screenFont);
    void printLine(const QString& line);
    // Ends the job; throws when the printer reports a failure.
    void finish();

    int pages() const { return page_; }
    int tabWidth() const;
    int lineHeight() const;
    const std::vector<Placed>& placed() const { return placed_; }

private:
    PrintTarget& target_;
    QPaintDevice* device_;
    QPainter painter_;
    QFont font_;
    int page_ = 1;
    qreal y_ = 0;
    std::vector<Placed> placed_;
};

}  // namespace orv
