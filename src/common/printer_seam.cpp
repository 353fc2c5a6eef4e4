#include "common/printer_seam.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <stdexcept>

namespace orv {

std::unique_ptr<QPrinter> PrinterSeam::defaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    // Without a printer Qt would quietly make a PDF file nobody asked for.
    if (info.isNull()) throw std::runtime_error("No printer is installed. Please install a printer and try again.");
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::NativeFormat);
    return printer;
}

}  // namespace orv
