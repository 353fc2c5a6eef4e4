#include "common/qt_media_device.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

namespace orv {

QtMediaDevice::QtMediaDevice(QObject* parent) : MediaDevice(parent), player_(new QMediaPlayer(this)), audio_(new QAudioOutput(this)) {
    player_->setAudioOutput(audio_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia) emit ended();
        if (status == QMediaPlayer::InvalidMedia)
            emit failed(QStringLiteral("the file is no sound or movie that can be played here"));
    });
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error, const QString& text) {
        if (error != QMediaPlayer::NoError) emit failed(text);
    });
}

QtMediaDevice::~QtMediaDevice() {
    player_->stop();
    delete video_;
}

bool QtMediaDevice::open(const QString& file, QString* error) {
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) {
        if (error) *error = QStringLiteral("the file cannot be read");
        return false;
    }
    player_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    return true;
}

void QtMediaDevice::setDisplay(QWidget* parent, const QRect& area) {
    // Whether a file has pictures is known only once it is loaded: the widget waits hidden until they come.
    if (!video_ || video_->parentWidget() != parent) {
        delete video_;
        video_ = new QVideoWidget(parent);
        player_->setVideoOutput(video_);
        connect(player_, &QMediaPlayer::hasVideoChanged, video_, [this](bool has) {
            if (video_) video_->setVisible(has);
        });
    }
    video_->setGeometry(area);
    video_->setVisible(player_->hasVideo());
    video_->raise();
}

void QtMediaDevice::detachDisplay() {
    if (!video_) return;
    player_->setVideoOutput(static_cast<QObject*>(nullptr));
    delete video_;
}

void QtMediaDevice::play() {
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia) player_->setPosition(0);
    player_->play();
}

void QtMediaDevice::stop() { player_->stop(); }

void QtMediaDevice::close() {
    player_->stop();
    player_->setSource(QUrl());
}

}  // namespace orv
