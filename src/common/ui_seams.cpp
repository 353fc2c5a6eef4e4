#include "common/ui_seams.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>

namespace orv {

int UiSeams::message(QWidget* parent, MsgIcon icon, const QString& text, MsgButtons buttons) {
    QMessageBox box(parent);
    switch (icon) {
        case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); box.setWindowTitle(QApplication::applicationName()); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); box.setWindowTitle(QStringLiteral("Information")); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); box.setWindowTitle(QStringLiteral("Warning")); break;
        case MsgIcon::Error: box.setIcon(QMessageBox::Critical); box.setWindowTitle(QStringLiteral("Error")); break;
        case MsgIcon::Confirmation: box.setIcon(QMessageBox::Question); box.setWindowTitle(QStringLiteral("Confirm")); break;
    }
    // Windows message texts break lines with a lone CR.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    // Names, lines and file names in a message are the user's own text: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    switch (buttons) {
        case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Ok: return mrOk;
        case QMessageBox::Yes: return mrYes;
        case QMessageBox::No: return mrNo;
        default: return mrCancel;
    }
}

void UiSeams::beep() { QApplication::beep(); }

int UiSeams::execModal(QDialog* dialog) { return dialog->exec(); }

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
