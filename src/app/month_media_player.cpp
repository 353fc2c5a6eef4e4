#include "app/month_media_player.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QToolButton>

#include "common/app_context.h"
#include "common/hint_router.h"
#include "common/media_device.h"
#include "common/ui_seams.h"
#include "common/widgets.h"

namespace orv {
namespace {

const QString kPlayHint = QStringLiteral("Click to play");
const QString kStopHint = QStringLiteral("Click to stop playing");

// The shipped glyph, or a plain one drawn here when the file is missing.
QIcon glyph(const char* file, bool play) {
    // Read as PNG outright, with the "@2x" drawing on dense screens as a file name would give it: left to
    // guess the format, the icon loads every image format plug-in at the start to ask it first.
    const QString shipped = QStringLiteral(":/Images/") + QString::fromLatin1(file);
    if (QFile::exists(shipped)) {
        QIcon icon;
        const auto add = [&icon](const QString& name) {
            QImageReader reader(name, "png");
            reader.setAutoDetectImageFormat(false);
            if (const QImage image = reader.read(); !image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
        };
        add(shipped);
        if (const QString dense = qt_findAtNxFile(shipped, qApp->devicePixelRatio()); dense != shipped) add(dense);
        if (!icon.isNull()) return icon;
    }
    QPixmap drawn(11, 11);
    drawn.fill(Qt::transparent);
    QPainter p(&drawn);
    p.setPen(Qt::NoPen);
    if (play) {
        p.setBrush(QColor(20, 130, 40));
        p.drawPolygon(QPolygon({QPoint(2, 0), QPoint(2, 10), QPoint(10, 5)}));
    } else {
        p.setBrush(QColor(190, 30, 30));
        p.drawRect(1, 1, 9, 9);
    }
    return QIcon(drawn);
}

}  // namespace

QIcon MonthMediaPlayer::playGlyph() { return glyph("Play.png", true); }
QIcon MonthMediaPlayer::stopGlyph() { return glyph("Stop.png", false); }

MonthMediaPlayer::MonthMediaPlayer(AppContext& context, QToolButton* mediaBtn, QWidget* pButton, QWidget* imgPanel,
                                   QWidget* picMain, bool& mediaPlaying, bool& loopSetting, bool& loopActive,
                                   QObject* parent)
    : QObject(parent),
      context_(context),
      mediaBtn_(mediaBtn),
      pButton_(pButton),
      imgPanel_(imgPanel),
      picMain_(picMain),
      MediaPlaying(mediaPlaying),
      LoopSetting(loopSetting),
      LoopActive(loopActive) {
    sbPlay_ = named(new QToolButton(pButton), "sbPlay");
    sbPlay_->setIcon(playGlyph());
    sbPlay_->hide();
    sbStop_ = named(new QToolButton(pButton), "sbStop");
    sbStop_->setIcon(stopGlyph());
    sbStop_->hide();
    mediaBtn_->setIcon(sbPlay_->icon());
    connect(mediaBtn_, &QToolButton::clicked, this, [this] { MediaBtnClick(); });
}

MediaDevice& MonthMediaPlayer::device() {
    // Taken at the first press only: a program whose months have no media never starts the media system.
    if (!device_) {
        device_ = &context_.media();
        connect(device_, &MediaDevice::ended, this, [this] { MediaPlayer1Notify(); });
        connect(device_, &MediaDevice::failed, this, [this](const QString& reason) { mediaError(reason); });
    }
    return *device_;
}

void MonthMediaPlayer::setMonthMedia(const std::optional<MonthMedia>& media) {
    file_ = media ? QString::fromStdString(media->file) : QString();
    movie_ = media && media->movie;
    LoopSetting = media && media->loop;
    hasMonthMedia_ = media.has_value();
    updatePanel();
}

void MonthMediaPlayer::updatePanel() { pButton_->setVisible(hasMonthMedia_ || MediaPlaying); }

void MonthMediaPlayer::MediaBtnClick() {
    MediaDevice& dev = device();
    if (!MediaPlaying) {
        if (file_.isEmpty()) return;
        errorShown_ = false;
        playingFile_ = file_;
        QString reason;
        if (!dev.open(file_, &reason)) {
            mediaError(reason);
            return;
        }
        LoopActive = LoopSetting;
        if (movie_) {
            // A margin of 2 pixels inside the picture frame.
            dev.setDisplay(imgPanel_, QRect(2, 2, imgPanel_->width() - 4, imgPanel_->height() - 4));
        }
        notifyWanted_ = true;
        MediaPlaying = true;
        sincePlay_.start();
        dev.play();
        // The device may have refused the file while starting.
        if (!MediaPlaying) return;
        setHint(mediaBtn_, kStopHint);
        mediaBtn_->setIcon(sbStop_->icon());
    } else {
        dev.stop();
        LoopActive = false;
        MediaPlaying = false;
        notifyWanted_ = false;
        // A stopped movie would otherwise stay over the picture.
        dev.detachDisplay();
        picMain_->update();
        setHint(mediaBtn_, kPlayHint);
        mediaBtn_->setIcon(sbPlay_->icon());
        updatePanel();
    }
}

void MonthMediaPlayer::MediaPlayer1Notify() {
    if (!notifyWanted_) return;
    const bool playedSomething = !sincePlay_.isValid() || sincePlay_.elapsed() >= minLoopMilliseconds;
    if (LoopActive && playedSomething) {
        MediaPlaying = true;
        sincePlay_.start();
        device().play();
        return;
    }
    showStopped();
}

void MonthMediaPlayer::showStopped() {
    MediaDevice& dev = device();
    notifyWanted_ = false;
    LoopActive = false;
    MediaPlaying = false;
    dev.close();
    mediaBtn_->setIcon(sbPlay_->icon());
    setHint(mediaBtn_, kPlayHint);
    dev.detachDisplay();
    // Paint the picture again where the movie was.
    picMain_->hide();
    picMain_->show();
    updatePanel();
}

void MonthMediaPlayer::mediaError(const QString& reason) {
    if (errorShown_) return;  // one failure may be reported twice by the device
    errorShown_ = true;
    const QString file = playingFile_.isEmpty() ? file_ : playingFile_;
    if (MediaPlaying || notifyWanted_) showStopped();
    else {
        device().close();
        mediaBtn_->setIcon(sbPlay_->icon());
        setHint(mediaBtn_, kPlayHint);
    }
    context_.ui().information(mediaBtn_->window(), QStringLiteral("Cannot play ") + file +
                                                       (reason.isEmpty() ? QString() : QStringLiteral("\n") + reason));
}

void MonthMediaPlayer::closeDevice() {
    notifyWanted_ = false;
    if (device_) device_->close();
}

}  // namespace orv
