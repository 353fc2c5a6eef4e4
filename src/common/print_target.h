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
    // Called once a job has ended well; a target that keeps the job back until then hands it on here.
    // Throws PrintError when it cannot.
    virtual void finish() {}
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
// A PDF file with the sheets, resolution and margins of printer (one set up in the print dialog). The file
// is written beside its place and put there whole once the job has ended well: a failed job leaves the old
// file as it was. A FIFO, device or folder at that place is refused at once with PrintError.
std::unique_ptr<PrintTarget> pdfTarget(const QString& file, const QPrinter& like);

// Runs paintJob once per copy, each copy a job of its own. A job that cannot start or end throws PrintError
// and no later copy is printed; an error thrown by paintJob ends its job and passes on.
void printCopies(PrintTarget& target, const std::function<void(QPainter&)>& paintJob);
// One job, whatever the copies asked for (a file made for a script).
void printOnce(PrintTarget& target, const std::function<void(QPainter&)>& paintJob);

}  // namespace orv
