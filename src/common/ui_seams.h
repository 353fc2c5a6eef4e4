#pragma once
// What the windows ask of the desktop (message boxes, the beep, modal showing, the screen, opening a web
// address) goes through one replaceable object held by the program context, so that tests drive every
// window on the offscreen platform without blocking and check what would have been shown.

#include <QList>
#include <QRect>
#include <QString>

class QDialog;
class QUrl;
class QWidget;

namespace orv {

// Result codes of modal windows and message boxes.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrYes = 6, mrNo = 7 };

enum class MsgIcon { None, Information, Warning, Error, Confirmation };
// YesNoDefaultNo: Enter answers No, for a question whose Yes deletes what is not the program's own.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };

class UiSeams {
public:
    virtual ~UiSeams() = default;

    // Shows a message box and returns mrOk, mrCancel, mrYes or mrNo.
    virtual int message(QWidget* parent, MsgIcon icon, const QString& text, MsgButtons buttons);
    virtual void beep();
    // Shows a window modally and returns its result code.
    virtual int execModal(QDialog* dialog);
    virtual QRect screenGeometry();
    // The areas of all screens of the desktop (the first screen's alone when there is one).
    virtual QList<QRect> screenAreas();
    virtual int colourDepth();
    // Hands a web address or an e-mail message to the desktop; false when nothing could take it.
    virtual bool openUrl(const QUrl& url);

    // Shorthands.
    void information(QWidget* parent, const QString& text) {
        message(parent, MsgIcon::Information, text, MsgButtons::Ok);
    }
    void warning(QWidget* parent, const QString& text) { message(parent, MsgIcon::Warning, text, MsgButtons::Ok); }
    void error(QWidget* parent, const QString& text) { message(parent, MsgIcon::Error, text, MsgButtons::Ok); }
    bool askYesNo(QWidget* parent, const QString& text) {
        return message(parent, MsgIcon::Confirmation, text, MsgButtons::YesNo) == mrYes;
    }
};

}  // namespace orv
