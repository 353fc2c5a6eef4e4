#pragma once
// Where print jobs go: the system's default printer or the one chosen in the print dialog, or (in tests)
// a PDF file or a recording.

#include <QPageLayout>
#include <memory>

class QPrinter;
class QWidget;

namespace orv {

class PrintTarget;

class PrinterSeam {
public:
    virtual ~PrinterSeam() = default;
    // The print dialog (printer and number of copies) over parent, the sheet in the given orientation;
    // nullptr when the user cancels.
    virtual std::unique_ptr<PrintTarget> askPrinter(QWidget* parent, QPageLayout::Orientation orientation);
    // The default printer, set up for a job without a print dialog. Throws when there is none.
    virtual std::unique_ptr<QPrinter> defaultPrinter();
};

}  // namespace orv
