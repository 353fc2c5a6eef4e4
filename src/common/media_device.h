#pragma once
// The media device the month's sound or movie plays on: open a file, show a movie in a rectangle of a given
// window, play without waiting with a notice at the end, stop, close. The program uses Qt Multimedia; tests
// put a device of their own in its place so that they need no sound hardware.

#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

namespace orv {

class MediaDevice : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // False, with the reason in error, when the file cannot be opened.
    virtual bool open(const QString& file, QString* error) = 0;
    // Shows the movie (if the file has pictures) inside parent, in area.
    virtual void setDisplay(QWidget* parent, const QRect& area) = 0;
    // Takes the movie off the window it was shown in.
    virtual void detachDisplay() = 0;
    // Plays without waiting; after the end it starts again from the beginning.
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual void close() = 0;

signals:
    // The end-of-playback notice, and a failure while opening or playing (with a reason).
    void ended();
    void failed(const QString& reason);
};

}  // namespace orv
