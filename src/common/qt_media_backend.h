#pragma once
// The media module's backend over Qt Multimedia: QMediaPlayer with QAudioOutput, and a QVideoWidget placed
// inside the picture frame for movies. Built into "orvella-media.so" only.

#include <QPointer>

#include "common/media_backend.h"

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;

namespace orv {

class QtMediaBackend : public MediaBackend {
public:
    explicit QtMediaBackend(Listener* listener);
    ~QtMediaBackend() override;
    QtMediaBackend(const QtMediaBackend&) = delete;
    QtMediaBackend& operator=(const QtMediaBackend&) = delete;

    bool open(const QString& file, QString* error) override;
    void setDisplay(QWidget* parent, const QRect& area) override;
    void detachDisplay() override;
    void play() override;
    void stop() override;
    void close() override;

private:
    Listener* listener_;
    QMediaPlayer* player_;
    QAudioOutput* audio_;
    QPointer<QVideoWidget> video_;
};

}  // namespace orv
