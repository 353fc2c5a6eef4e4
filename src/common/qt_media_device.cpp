#include "common/qt_media_device.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace orv {

QtMediaDevice::QtMediaDevice(QStringList moduleFolders, QObject* parent)
    : MediaDevice(parent), moduleFolders_(std::move(moduleFolders)) {}

QtMediaDevice::QtMediaDevice(QObject* parent)
    : QtMediaDevice(moduleFoldersOf(QCoreApplication::applicationDirPath()), parent) {}

// The backend goes first; the module stays loaded until the process ends, as Qt's own plug-ins do.
QtMediaDevice::~QtMediaDevice() = default;

QStringList QtMediaDevice::moduleFoldersOf(const QString& executableFolder) {
    return {executableFolder, QDir::cleanPath(executableFolder + QStringLiteral("/../lib/orvella"))};
}

bool QtMediaDevice::loadBackend(QString* error) {
    if (backend_) return true;
    const QString name = QString::fromLatin1(kMediaModuleName);
    QString path;
    for (const QString& folder : moduleFolders_) {
        if (QFileInfo(QDir(folder).filePath(name)).isFile()) {
            path = QDir(folder).filePath(name);
            break;
        }
    }
    QString reason;
    if (path.isEmpty()) {
        reason = QStringLiteral("Orvella's sound and movie module %1 is not installed (looked in %2)")
                     .arg(name, moduleFolders_.join(QStringLiteral(", ")));
    } else {
        module_.setFileName(path);
        const auto create =
            module_.load() ? reinterpret_cast<CreateMediaBackend>(module_.resolve(kMediaBackendEntry)) : nullptr;
        if (create) backend_.reset(create(this));
        if (!backend_) {
            reason = QStringLiteral("Orvella's sound and movie module %1 cannot be used: %2")
                         .arg(QDir::toNativeSeparators(path), module_.errorString());
            module_.unload();
        }
    }
    if (!backend_ && error) *error = reason;
    return backend_ != nullptr;
}

bool QtMediaDevice::open(const QString& file, QString* error) {
    return loadBackend(error) && backend_->open(file, error);
}

void QtMediaDevice::setDisplay(QWidget* parent, const QRect& area) {
    if (backend_) backend_->setDisplay(parent, area);
}

void QtMediaDevice::detachDisplay() {
    if (backend_) backend_->detachDisplay();
}

void QtMediaDevice::play() {
    if (backend_) backend_->play();
}

void QtMediaDevice::stop() {
    if (backend_) backend_->stop();
}

void QtMediaDevice::close() {
    if (backend_) backend_->close();
}

}  // namespace orv
