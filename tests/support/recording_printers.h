#pragma once
// Print dialogs answered by the test: cancelled, or a printer that is a recording device of a given sheet,
// with the copies the test asks for.

#include <QPageLayout>
#include <memory>
#include <string>
#include <vector>

#include "common/print_target.h"
#include "common/printer_seam.h"
#include "support/recording_device.h"

namespace orv::test {

class RecordingTarget : public PrintTarget {
public:
    explicit RecordingTarget(RecordingDevice& device, int copies = 1) : device_(device), copies_(copies) {}
    QPaintDevice& device() override { return device_; }
    void setOrientation(QPageLayout::Orientation o) override { orientations.push_back(o); }
    bool newPage() override {
        device_.newPage();
        return true;
    }
    int copies() const override { return copies_; }
    QString name() const override { return QStringLiteral("Test Printer"); }

    std::vector<QPageLayout::Orientation> orientations;

private:
    RecordingDevice& device_;
    int copies_;
};

class RecordingPrinters : public PrinterSeam {
public:
    // A4 at 300 dots per inch, portrait or landscape.
    static RecordingDevice a4(QPageLayout::Orientation o) {
        return o == QPageLayout::Portrait ? RecordingDevice(QSize(2480, 3508), QSizeF(210, 297), 300)
                                          : RecordingDevice(QSize(3508, 2480), QSizeF(297, 210), 300);
    }

    explicit RecordingPrinters(QPageLayout::Orientation sheet = QPageLayout::Portrait) : device(a4(sheet)) {}

    std::unique_ptr<PrintTarget> askPrinter(QWidget*, QPageLayout::Orientation o, std::string& printFile) override {
        ++dialogs;
        asked.push_back(o);
        proposed.push_back(printFile);
        if (cancel) return nullptr;
        if (!intoFile.empty()) printFile = intoFile;
        return std::make_unique<RecordingTarget>(device, copies);
    }

    RecordingDevice device;
    int copies = 1;
    bool cancel = false;
    int dialogs = 0;
    std::vector<QPageLayout::Orientation> asked;
    std::vector<std::string> proposed;  // the file each dialog was given
    std::string intoFile;               // the file the user picks, when not empty
};

}  // namespace orv::test
