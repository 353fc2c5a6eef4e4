#include "common/media_device.h"

#include <QCoreApplication>
#include <QPointer>

#include "common/qt_media_device.h"

namespace orv {
namespace {

MediaDevice* replacement = nullptr;

}  // namespace

MediaDevice& mediaDevice() {
    if (replacement) return *replacement;
    // Made on first use and owned by the application, so that it goes before Qt Multimedia does.
    static QPointer<QtMediaDevice> real;
    if (!real) real = new QtMediaDevice(QCoreApplication::instance());
    return *real;
}

void setMediaDevice(MediaDevice* device) { replacement = device; }

}  // namespace orv
