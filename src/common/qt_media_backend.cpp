#include "common/qt_media_backend.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

namespace orv {

QtMediaBackend::QtMediaBackend(Listener* listener)
    : listener_(listener), player_(new QMediaPlayer), audio_(new QAudioOutput(player_)) {
    player_->setAudioOutput(audio_);
    QObject::connect(player_, &QMediaPlayer::mediaStatusChanged, player_, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia) listener_->playbackEnded();
        if (status == QMediaPlayer::InvalidMedia)
            listener_->playbackFailed(QStringLiteral("the file is no sound or movie that can be played here"));
    });
    QObject::connect(player_, &QMediaPlayer::errorOccurred, player_,
                     [this](QMediaPlayer::Error error, const QString& text) {
                         if (error != QMediaPlayer::NoError) listener_->playbackFailed(text);
                     });
}

QtMediaBackend::~QtMediaBackend() {
    player_->stop();
    delete video_;
    delete player_;
}

bool QtMediaBackend::open(const QString& file, QString* error) {
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) {
        if (error) *error = QStringLiteral("the file cannot be read");
        return false;
    }
    player_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    return true;
}

void QtMediaBackend::setDisplay(QWidget* parent, const QRect& area) {
    // Whether a file has pictures is known only once it is loaded: the widget waits hidden until they come.
    if (!video_ || video_->parentWidget() != parent) {
        delete video_;
        video_ = new QVideoWidget(parent);
        player_->setVideoOutput(video_);
        QObject::connect(player_, &QMediaPlayer::hasVideoChanged, video_, [this](bool has) {
            if (video_) video_->setVisible(has);
        });
    }
    video_->setGeometry(area);
    video_->setVisible(player_->hasVideo());
    video_->raise();
}

void QtMediaBackend::detachDisplay() {
    if (!video_) return;
    player_->setVideoOutput(static_cast<QObject*>(nullptr));
    delete video_;
}

void QtMediaBackend::play() {
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia) player_->setPosition(0);
    player_->play();
}

void QtMediaBackend::stop() { player_->stop(); }

void QtMediaBackend::close() {
    player_->stop();
    player_->setSource(QUrl());
}

}  // namespace orv

extern "C" Q_DECL_EXPORT orv::MediaBackend* orvellaCreateMediaBackend(orv::MediaBackend::Listener* listener) {
    return new orv::QtMediaBackend(listener);
}
