#include "common/app_context.h"

#include <QCoreApplication>
#include <QPointer>

#include "backup/linux_drive_layer.h"
#include "common/desktop_notifier.h"
#include "common/hint_router.h"
#include "common/printer_seam.h"
#include "common/qt_media_device.h"
#include "common/ui_seams.h"

namespace orv {

AppContext::AppContext(Program& program, AppSeams replacements)
    : program_(program),
      hints_(std::make_unique<HintRouter>()),
      ui_(replacements.ui),
      printer_(replacements.printer),
      media_(replacements.media),
      notifier_(replacements.notifier),
      drives_(replacements.drives) {
    if (!ui_) {
        ownUi_ = std::make_unique<UiSeams>();
        ui_ = ownUi_.get();
    }
    if (!printer_) {
        ownPrinter_ = std::make_unique<PrinterSeam>();
        printer_ = ownPrinter_.get();
    }
}

AppContext::~AppContext() = default;

DesktopNotifier& AppContext::notifier() const {
    if (notifier_) return *notifier_;
    if (!ownNotifier_) ownNotifier_ = std::make_unique<DesktopNotifier>(QDBusConnection::sessionBus());
    return *ownNotifier_;
}

MediaDevice& AppContext::media() const {
    if (media_) return *media_;
    if (!realMedia_) realMedia_ = new QtMediaDevice(QCoreApplication::instance());
    return *realMedia_;
}

DriveLayer& AppContext::drives() const {
    if (drives_) return *drives_;
    if (!ownDrives_) ownDrives_ = std::make_unique<LinuxDriveLayer>();
    return *ownDrives_;
}

}  // namespace orv
