#pragma once
// Seams for window tests: message boxes are recorded and answered from a queue, modal windows are shown
// without blocking and driven by a script, the screen is whatever the test says, web addresses are
// recorded instead of opened.

#include <QDialog>
#include <QRect>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "common/ui_seams.h"

namespace orv::test {

class FakeSeams : public UiSeams {
public:
    struct Message {
        MsgIcon icon;
        QString text;
        MsgButtons buttons;
        QString shown;  // what the real box's label showed (realBoxes only)
    };

    int message(QWidget* parent, MsgIcon icon, const QString& text, MsgButtons buttons) override;
    void beep() override { ++beeps; }
    int execModal(QDialog* dialog) override;
    QRect screenGeometry() override { return screen; }
    QList<QRect> screenAreas() override { return QList<QRect>{screen} + otherScreens; }
    int colourDepth() override { return depth; }
    bool openUrl(const QUrl& url) override;

    // Answers for the next message boxes (default: mrOk for Ok boxes, mrYes for Yes/No boxes).
    std::deque<int> answers;
    // Runs as each message box comes up, before it is answered (a test puts the disk asked for in).
    std::function<void(const Message&)> onMessage;
    // Scripts for the next modal windows: each gets the shown window and returns its result code.
    // Without a script a modal window returns mrCancel at once.
    std::deque<std::function<int(QDialog*)>> scripts;

    std::vector<Message> messages;
    QStringList modalClasses;  // class names of the windows shown modally, in order
    QStringList openedUrls;    // web addresses and e-mail messages handed to the desktop
    bool urlsOpen = true;      // whether the desktop takes them
    // Show the real message boxes, read what their labels show and answer them from the queue.
    bool realBoxes = false;
    int beeps = 0;
    // What a message box or a modal window does to the activation of the window under it: nothing; taken
    // while it is up and given back, as a window manager does; or taken for good, as on a desktop without
    // one.
    enum class Activation { Untouched, Returned, Lost };
    Activation activation = Activation::Untouched;
    QRect screen{0, 0, 1024, 768};  // the first screen
    QList<QRect> otherScreens;
    int depth = 32;
};

}  // namespace orv::test
