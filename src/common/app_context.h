#pragma once
// What every window of a run works with: the program (settings, calendars, store, clock) and the seams to
// the desktop (message boxes and modal showing, the printer, the media device, notifications, the hint display).
// Start-up makes one and hands it to each window's constructor; tests make one over fake seams.

#include <QPointer>
#include <memory>

#include "common/media_device.h"

namespace orv {

class DesktopNotifier;
class DriveLayer;
class HintRouter;
class PrinterSeam;
class Program;
class UiSeams;

// Seams that stand in for the desktop's (tests); null ones are the real ones. The caller keeps ownership.
// A new seam (the drives of a backup set, notifications) joins here and in AppContext.
struct AppSeams {
    UiSeams* ui = nullptr;
    PrinterSeam* printer = nullptr;
    MediaDevice* media = nullptr;
    DesktopNotifier* notifier = nullptr;
    DriveLayer* drives = nullptr;
};

class AppContext {
public:
    explicit AppContext(Program& program, AppSeams replacements = {});
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Program& program() const { return program_; }
    UiSeams& ui() const { return *ui_; }
    PrinterSeam& printer() const { return *printer_; }
    // The real device is made at the first use: a program whose months have no media never starts the
    // media system.
    MediaDevice& media() const;
    // The desktop's notification service on the session bus, reached at the first use.
    DesktopNotifier& notifier() const;
    // Routes the hint of the control under the mouse to the display of the window in front.
    HintRouter& hints() const { return *hints_; }
    // The drives a backup set can go to; the real ones are looked up at the first use.
    DriveLayer& drives() const;

private:
    Program& program_;
    std::unique_ptr<UiSeams> ownUi_;
    std::unique_ptr<PrinterSeam> ownPrinter_;
    std::unique_ptr<HintRouter> hints_;
    UiSeams* ui_;
    PrinterSeam* printer_;
    MediaDevice* media_;
    DesktopNotifier* notifier_;
    mutable std::unique_ptr<DesktopNotifier> ownNotifier_;
    // The real media device, owned by the application so that it goes before Qt Multimedia does.
    mutable QPointer<MediaDevice> realMedia_;
    DriveLayer* drives_;
    mutable std::unique_ptr<DriveLayer> ownDrives_;
};

}  // namespace orv
