#include "common/printer_seam.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <stdexcept>

#include "common/print_target.h"

namespace orv {

std::unique_ptr<QPrinter> PrinterSeam::defaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    // Without a printer Qt would quietly make a PDF file nobody asked for.
    if (info.isNull()) throw std::runtime_error("No printer is installed. Please install a printer and try again.");
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::NativeFormat);
    return printer;
}

std::unique_ptr<PrintTarget> PrinterSeam::askPrinter(QWidget* parent, QPageLayout::Orientation orientation) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageOrientation(orientation);
    QPrintDialog dialog(printer.get(), parent);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return std::make_unique<PrinterTarget>(std::move(printer));
}

}  // namespace orv
