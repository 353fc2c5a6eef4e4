#include "common/printer_seam.h"

#include <QDir>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include "common/print_target.h"

namespace orv {

std::unique_ptr<QPrinter> PrinterSeam::defaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    // Without a printer Qt would quietly make a PDF file nobody asked for.
    if (info.isNull()) return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::NativeFormat);
    return printer;
}

std::unique_ptr<PrintTarget> PrinterSeam::askPrinter(QWidget* parent, QPageLayout::Orientation orientation,
                                                     std::string& printFile) {
    const QString proposed =
        !printFile.empty() ? QString::fromStdString(printFile)
                           : QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                 .filePath(QStringLiteral("print.pdf"));
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // With no printer the file is all there is to choose; with one, a file name set here would make the
    // printer's own job go into that file, so the proposal goes into the dialog's field only.
    if (QPrinterInfo::availablePrinters().isEmpty()) printer->setOutputFileName(proposed);
    printer->setPageOrientation(orientation);
    QPrintDialog dialog(printer.get(), parent);
    if (auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("filename"))) field->setText(proposed);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
        const QString file = printer->outputFileName();
        auto target = pdfTarget(file, *printer);
        printFile = file.toStdString();
        return target;
    }
    return std::make_unique<PrinterTarget>(std::move(printer));
}

}  // namespace orv
