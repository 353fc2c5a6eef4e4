#pragma once
// The month's sound or movie behind the small button at the right end of the status line: play and stop with
// their glyphs and hints, repetition for a looping file, the movie inside the picture frame, and a clear
// message (never a stuck button) for a file that cannot be played.

#include <QElapsedTimer>
#include <QIcon>
#include <QObject>
#include <QString>
#include <optional>

#include "app/month_media.h"

class QToolButton;
class QWidget;

namespace orv {

class AppContext;
class MediaDevice;

class MonthMediaPlayer : public QObject {
    Q_OBJECT
public:
    // The main window's controls and its three media flags, which stay the main window's own. The device
    // is the context's, taken at the first press.
    MonthMediaPlayer(AppContext& context, QToolButton* mediaBtn, QWidget* pButton, QWidget* imgPanel, QWidget* picMain,
                     bool& mediaPlaying, bool& loopSetting, bool& loopActive, QObject* parent = nullptr);

    // The shown month's media (nullopt: none). A playing file goes on; the button panel stays up while it
    // does, so that it can still be stopped.
    void setMonthMedia(const std::optional<MonthMedia>& media);
    const QString& mediaFile() const { return file_; }

    void MediaBtnClick();
    // The device's end-of-playback notice.
    void MediaPlayer1Notify();
    // Program end.
    void closeDevice();

    // A looping file that ends sooner than this after it started has nothing to play: it stops instead of
    // starting again at once, over and over.
    int minLoopMilliseconds = 100;

    static QIcon playGlyph();
    static QIcon stopGlyph();

private:
    void mediaError(const QString& reason);
    void showStopped();
    void updatePanel();
    MediaDevice& device();

    AppContext& context_;
    // The glyphs, held by two hidden buttons sbPlay and sbStop.
    QToolButton* sbPlay_;
    QToolButton* sbStop_;
    QToolButton* mediaBtn_;
    QWidget* pButton_;
    QWidget* imgPanel_;
    QWidget* picMain_;
    bool& MediaPlaying;
    bool& LoopSetting;
    bool& LoopActive;

    QString file_;
    QString playingFile_;  // the month may change while a file plays
    bool movie_ = false;
    bool hasMonthMedia_ = false;
    bool notifyWanted_ = false;
    bool errorShown_ = false;
    QElapsedTimer sincePlay_;
    MediaDevice* device_ = nullptr;
};

}  // namespace orv
