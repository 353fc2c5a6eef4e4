#pragma once
// Where print jobs go: the system's default printer, or (in tests) a PDF file.

#include <memory>

class QPrinter;

namespace orv {

class PrinterSeam {
public:
    virtual ~PrinterSeam() = default;
    // The default printer, set up for a job without a print dialog. Throws when there is none.
    virtual std::unique_ptr<QPrinter> defaultPrinter();
};

PrinterSeam& printerSeam();
// Installs a replacement (tests); nullptr restores the real one. The caller keeps ownership.
void setPrinterSeam(PrinterSeam* seam);

}  // namespace orv
