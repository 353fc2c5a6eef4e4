#include "backup/linux_drive_layer.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include "backup/block_devices.h"

namespace orv {
namespace {

const QString kUDisks = QStringLiteral("org.freedesktop.UDisks2");

// udisks2 names a block device's object after the device, every byte but letters and digits as "_xx".
QString udisksObjectName(const QString& blockName) {
    QString out;
    for (const char c : blockName.toUtf8()) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) out += QLatin1Char(c);
        else out += QStringLiteral("_%1").arg(static_cast<unsigned char>(c), 2, 16, QLatin1Char('0'));
    }
    return out;
}

// What udisks2 knows of the drive under a block device; false when it does not run or does not know.
bool udisksSaysRemovable(const QString& blockName) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return false;
    QDBusInterface block(kUDisks,
                         QStringLiteral("/org/freedesktop/UDisks2/block_devices/") + udisksObjectName(blockName),
                         QStringLiteral("org.freedesktop.UDisks2.Block"), bus);
    if (!block.isValid()) return false;
    const auto drivePath = block.property("Drive").value<QDBusObjectPath>().path();
    if (drivePath.isEmpty() || drivePath == QStringLiteral("/")) return false;
    QDBusInterface drive(kUDisks, drivePath, QStringLiteral("org.freedesktop.UDisks2.Drive"), bus);
    if (!drive.isValid()) return false;
    const QString connection = drive.property("ConnectionBus").toString();
    return drive.property("Removable").toBool() || drive.property("MediaRemovable").toBool() ||
           connection == QStringLiteral("usb") || connection == QStringLiteral("sdio");
}

bool removableVolume(const QString& device) {
    const QString real = QFileInfo(device).canonicalFilePath();
    const QString blockName = QFileInfo(real.isEmpty() ? device : real).fileName();
    const auto disk = wholeDiskOf(blockName.toStdString());
    if (disk && isHotPluggable(*disk)) return true;
    return udisksSaysRemovable(blockName) || (disk && udisksSaysRemovable(QString::fromStdString(*disk)));
}

}  // namespace

std::vector<Drive> LinuxDriveLayer::drives() {
    std::vector<Drive> out;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString device = QString::fromLocal8Bit(volume.device());
        if (!volume.isValid() || !volume.isReady() || !device.startsWith(QStringLiteral("/dev/"))) continue;
        if (volume.fileSystemType() == "squashfs") continue;  // packaged programs, never a disk
        const QString root = volume.rootPath();
        const QString label = volume.name();
        Drive d;
        d.id = QFileInfo(device).fileName().toStdString();
        d.root = root.toStdString();
        d.name = (label.isEmpty() ? root : label + QStringLiteral(" (") + root + QLatin1Char(')')).toStdString();
        d.removable = removableVolume(device);
        d.readOnly = volume.isReadOnly();
        out.push_back(std::move(d));
    }
    return out;
}

std::optional<std::uint64_t> LinuxDriveLayer::capacity(const Drive& drive) {
    if (drive.root.empty()) return std::nullopt;
    const QString root = QString::fromStdString(drive.root);
    if (!QDir(root).exists()) return std::nullopt;
    QStorageInfo volume(root);
    volume.refresh();
    // A folder left behind by a disk taken out belongs to another volume now.
    if (!volume.isValid() || !volume.isReady() || volume.rootPath() != root) return std::nullopt;
    return static_cast<std::uint64_t>(volume.bytesTotal());
}

}  // namespace orv
