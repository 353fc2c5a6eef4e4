#pragma once
// Where print jobs go: the system's default printer or the one chosen in the print dialog, or (in tests)
// a PDF file or a recording.

#include <QPageLayout>
#include <memory>
#include <string>

class QPrinter;
class QWidget;

namespace orv {

class PrintTarget;

class PrinterSeam {
public:
    virtual ~PrinterSeam() = default;
    // The print dialog (printer and number of copies) over parent, the sheet in the given orientation;
    // nullptr when the user cancels. printFile is the file last printed to (empty before the first): the
    // dialog proposes it, else "print.pdf" in the user's documents folder, and a print into a file sets it.
    virtual std::unique_ptr<PrintTarget> askPrinter(QWidget* parent, QPageLayout::Orientation orientation,
                                                    std::string& printFile);
    // The default printer, set up for a job without a print dialog; nullptr when none is installed.
    virtual std::unique_ptr<QPrinter> defaultPrinter();
};

}  // namespace orv
