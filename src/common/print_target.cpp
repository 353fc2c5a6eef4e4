#include "common/print_target.h"

#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <optional>
#include <sys/stat.h>

#include "common/file_replacement.h"
#include "common/io_error.h"
#include "common/sys_file.h"

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

namespace {

std::string failedJob(const std::string& path, const std::string& why) {
    return "The print job for " + path + " failed: " + why;
}

// The PDF writer's bytes, going into a replacement of the file; the first failure is kept for finish().
class ReplacementDevice : public QIODevice {
public:
    explicit ReplacementDevice(const std::string& path)
        : path_(path), out_(path, [](const std::string& target) { return target + ".tmp"; }) {
        open(QIODevice::WriteOnly);
    }

    void commit() {
        if (failure_) throw PrintError(failedJob(path_, *failure_));
        try {
            out_.commit();
        } catch (const IoError& e) {
            throw PrintError(failedJob(path_, e.what()));
        }
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 n) override {
        if (failure_) return -1;
        try {
            out_.write(data, static_cast<std::size_t>(n));
            return n;
        } catch (const IoError& e) {
            failure_ = e.what();
            return -1;
        }
    }

private:
    std::string path_;
    FileReplacement out_;
    std::optional<std::string> failure_;
};

class PdfFileTarget : public PrintTarget {
public:
    PdfFileTarget(const QString& file, const QPrinter& like) : file_(file) {
        const std::string path = file.toStdString();
        if (const auto st = statPath(path); st && !S_ISREG(st->st_mode))
            throw PrintError(notRegularFileMessage(path));
        try {
            device_ = std::make_unique<ReplacementDevice>(path);
        } catch (const IoError& e) {
            throw PrintError(failedJob(path, e.what()));
        }
        writer_ = std::make_unique<QPdfWriter>(device_.get());
        writer_->setResolution(like.resolution());
        writer_->setPageLayout(like.pageLayout());
        writer_->setCreator(QStringLiteral("Orvella"));
    }

    QPaintDevice& device() override { return *writer_; }
    void setOrientation(QPageLayout::Orientation orientation) override { writer_->setPageOrientation(orientation); }
    bool newPage() override { return writer_->newPage(); }
    QString name() const override { return file_; }
    // A second job would only write the same file again.
    int copies() const override { return 1; }
    void finish() override {
        if (finished_) throw PrintError("The PDF file " + file_.toStdString() + " was written already.");
        finished_ = true;
        device_->commit();
    }

private:
    QString file_;
    std::unique_ptr<ReplacementDevice> device_;
    std::unique_ptr<QPdfWriter> writer_;
    bool finished_ = false;
};

}  // namespace

std::unique_ptr<PrintTarget> pdfTarget(const QString& file, const QPrinter& like) {
    return std::make_unique<PdfFileTarget>(file, like);
}

std::unique_ptr<PrintTarget> pdfTarget(const QString& file, QPageLayout::Orientation orientation) {
    QPrinter like(QPrinter::HighResolution);
    like.setOutputFormat(QPrinter::PdfFormat);
    like.setPageSize(QPageSize(QPageSize::A4));
    like.setPageOrientation(orientation);
    return pdfTarget(file, like);
}

namespace {

void runJob(PrintTarget& target, const std::function<void(QPainter&)>& paintJob) {
    QPainter painter;
    if (!painter.begin(&target.device()))
        throw PrintError(QStringLiteral("The print job for %1 could not be started.").arg(target.name()).toStdString());
    paintJob(painter);  // a throw ends the job with the painter
    if (!painter.end())
        throw PrintError(QStringLiteral("The print job for %1 failed.").arg(target.name()).toStdString());
    target.finish();
}

}  // namespace

void printCopies(PrintTarget& target, const std::function<void(QPainter&)>& paintJob) {
    for (int copy = 0; copy < target.copies(); ++copy) runJob(target, paintJob);
}

void printOnce(PrintTarget& target, const std::function<void(QPainter&)>& paintJob) { runJob(target, paintJob); }

}  // namespace orv
