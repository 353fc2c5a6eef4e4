#pragma once
// The media device over Qt Multimedia: QMediaPlayer with QAudioOutput, and a QVideoWidget placed inside the
// picture frame for movies.

#include <QPointer>

#include "common/media_device.h"

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;

namespace orv {

class QtMediaDevice : public MediaDevice {
    Q_OBJECT
public:
    explicit QtMediaDevice(QObject* parent = nullptr);
    ~QtMediaDevice() override;

    bool open(const QString& file, QString* error) override;
    void setDisplay(QWidget* parent, const QRect& area) override;
    void detachDisplay() override;
    void play() override;
    void stop() override;
    void close() override;

private:
    QMediaPlayer* player_;
    QAudioOutput* audio_;
    QPointer<QVideoWidget> video_;
};

}  // namespace orv
