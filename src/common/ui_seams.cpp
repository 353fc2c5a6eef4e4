#include "common/ui_seams.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QUrl>

#include "common/window_place.h"

namespace orv {
namespace {

// Gives the window under a closed message box or modal window the activation back. A window manager does
// that itself; without one the window would get keys but no shortcuts, and clicks in it no caret.
class ActivationReturn {
public:
    explicit ActivationReturn(QWidget* under) : under_(under ? under->window() : QApplication::activeWindow()) {}
    ~ActivationReturn() {
        if (!under_ || !under_->isVisible() || QApplication::activeWindow() == under_) return;
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != under_) return;
        under_->activateWindow();
    }
    ActivationReturn(const ActivationReturn&) = delete;
    ActivationReturn& operator=(const ActivationReturn&) = delete;

private:
    QPointer<QWidget> under_;
};

// A run of text no line break may fall in (a path, a long name) would make the box wider than the screen:
// it may break after each folder separator, and every 40 characters where there is none.
QString breakable(const QString& text) {
    constexpr int kLongest = 40;
    const QChar kBreak(0x200B);  // zero width space
    QString out;
    int run = 0;
    for (const QChar c : text) {
        out += c;
        run = c.isSpace() ? 0 : run + 1;
        if (run >= kLongest || (run > 1 && (c == QLatin1Char('/') || c == QLatin1Char('\\')))) {
            out += kBreak;
            run = 0;
        }
    }
    return out;
}

}  // namespace

int UiSeams::message(QWidget* parent, MsgIcon icon, const QString& text, MsgButtons buttons) {
    QMessageBox box(parent);
    switch (icon) {
        case MsgIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            box.setWindowTitle(QApplication::applicationName());
            break;
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            box.setWindowTitle(QStringLiteral("Information"));
            break;
        case MsgIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            box.setWindowTitle(QStringLiteral("Warning"));
            break;
        case MsgIcon::Error:
            box.setIcon(QMessageBox::Critical);
            box.setWindowTitle(QStringLiteral("Error"));
            break;
        case MsgIcon::Confirmation:
            box.setIcon(QMessageBox::Question);
            box.setWindowTitle(QStringLiteral("Confirm"));
            break;
    }
    // Windows message texts break lines with a lone CR.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    // Names, lines and file names in a message are the user's own text: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(breakable(shown));
    // Over a window that stands partly off the screen a box would too.
    keepOnScreen(&box);
    switch (buttons) {
        case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MsgButtons::YesNoDefaultNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::No);
            break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    const ActivationReturn back(parent);
    switch (box.exec()) {
        case QMessageBox::Ok: return mrOk;
        case QMessageBox::Yes: return mrYes;
        case QMessageBox::No: return mrNo;
        default: return mrCancel;
    }
}

void UiSeams::beep() { QApplication::beep(); }

int UiSeams::execModal(QDialog* dialog) {
    const ActivationReturn back(dialog->parentWidget());
    return dialog->exec();
}

QRect UiSeams::screenGeometry() {
    if (const QScreen* s = QGuiApplication::primaryScreen()) return s->geometry();
    return {0, 0, 1024, 768};
}

QList<QRect> UiSeams::screenAreas() {
    QList<QRect> areas;
    for (const QScreen* s : QGuiApplication::screens()) areas << s->geometry();
    if (areas.isEmpty()) areas << screenGeometry();
    return areas;
}

int UiSeams::colourDepth() {
    if (const QScreen* s = QGuiApplication::primaryScreen()) return s->depth();
    return 32;
}

bool UiSeams::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace orv
