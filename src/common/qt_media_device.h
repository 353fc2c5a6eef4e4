#pragma once
// The media device over Qt Multimedia, which lives in the module "orvella-media.so" (see media_backend.h):
// the module is loaded at the first file opened. Without it nothing plays and open says why.

#include <QLibrary>
#include <QStringList>
#include <memory>

#include "common/media_backend.h"
#include "common/media_device.h"

namespace orv {

class QtMediaDevice : public MediaDevice, private MediaBackend::Listener {
    Q_OBJECT
public:
    // The module is looked for in these folders, in order.
    explicit QtMediaDevice(QStringList moduleFolders, QObject* parent = nullptr);
    // Beside the executable (the build folder, a portable copy), then in ../lib/orvella (an installed copy).
    explicit QtMediaDevice(QObject* parent = nullptr);
    ~QtMediaDevice() override;

    static QStringList moduleFoldersOf(const QString& executableFolder);

    bool open(const QString& file, QString* error) override;
    void setDisplay(QWidget* parent, const QRect& area) override;
    void detachDisplay() override;
    void play() override;
    void stop() override;
    void close() override;

private:
    bool loadBackend(QString* error);
    void playbackEnded() override { emit ended(); }
    void playbackFailed(const QString& reason) override { emit failed(reason); }

    QStringList moduleFolders_;
    QLibrary module_;
    std::unique_ptr<MediaBackend> backend_;
};

}  // namespace orv
