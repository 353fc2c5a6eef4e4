#pragma once
// Where one print goes: a printer chosen in the print dialog, a PDF file, or (in tests) a recording. A
// target prints each job once; the copies the user asked for run as jobs of their own, so the print
// system is never left to repeat them as well.

#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

class QPaintDevice;
class QPainter;
class QPrinter;

namespace orv {

// A print that could not be made; the text is for the user.
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    virtual QPaintDevice& device() = 0;
    // Sets the orientation of the jobs that follow (a printer takes it before its job begins).
    virtual void setOrientation(QPageLayout::Orientation orientation) = 0;
    // Starts another sheet within the running job; false when the printer refuses.
    virtual bool newPage() = 0;
    // How many copies the user asked for.
    virtual int copies() const { return 1; }
    // The printer's name or the file's, for messages.
    virtual QString name() const = 0;
};

class PrinterTarget : public PrintTarget {
public:
    // Takes the copy count off the printer and keeps it as copies().
    explicit PrinterTarget(std::unique_ptr<QPrinter> printer);
    ~PrinterTarget() override;

    QPaintDevice& device() override;
    void setOrientation(QPageLayout::Orientation orientation) override;
    bool newPage() override;
    int copies() const override { return copies_; }
    QString name() const override;
    QPrinter& printer() { return *printer_; }

private:
    std::unique_ptr<QPrinter> printer_;
    int copies_ = 1;
};

// A PDF file of A4 sheets at 1200 dots per inch.
std::unique_ptr<PrintTarget> pdfTarget(const QString& file, QPageLayout::Orientation orientation);

// Runs paintJob once per copy, each copy a job of its own. A job that cannot start or end throws PrintError
// and no later copy is printed; an error thrown by paintJob ends its job and passes on.
void printCopies(PrintTarget& target, const std::function<void(QPainter&)>& paintJob);
// One job, whatever the copies asked for (a file made for a script).
void printOnce(PrintTarget& target, const std::function<void(QPainter&)>& paintJob);

}  // namespace orv
