#include "common/print_target.h"

#include <QPainter>
#include <QPrinter>

namespace orv {

PrinterTarget::PrinterTarget(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
    copies_ = printer_->copyCount();
    printer_->setCopyCount(1);
}

PrinterTarget::~PrinterTarget() = default;

QPaintDevice& PrinterTarget::device() { return *printer_; }

void PrinterTarget::setOrientation(QPageLayout::Orientation orientation) { printer_->setPageOrientation(orientation); }

bool PrinterTarget::newPage() { return printer_->newPage(); }

QString PrinterTarget::name() const {
    if (!printer_->outputFileName().isEmpty()) return printer_->outputFileName();
    return printer_->printerName().isEmpty() ? QStringLiteral("the printer") : printer_->printerName();
}

std::unique_ptr<PrintTarget> pdfTarget(const QString& file, QPageLayout::Orientation orientation) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(orientation);
    return std::make_unique<PrinterTarget>(std::move(printer));
}

namespace {

void runJob(PrintTarget& target, const std::function<void(QPainter&)>& paintJob) {
    QPainter painter;
    if (!painter.begin(&target.device()))
        throw PrintError(QStringLiteral("The print job for %1 could not be started.").arg(target.name()).toStdString());
    paintJob(painter);  // a throw ends the job with the painter
    if (!painter.end())
        throw PrintError(QStringLiteral("The print job for %1 failed.").arg(target.name()).toStdString());
}

}  // namespace

void printCopies(PrintTarget& target, const std::function<void(QPainter&)>& paintJob) {
    for (int copy = 0; copy < target.copies(); ++copy) runJob(target, paintJob);
}

void printOnce(PrintTarget& target, const std::function<void(QPainter&)>& paintJob) { runJob(target, paintJob); }

}  // namespace orv
