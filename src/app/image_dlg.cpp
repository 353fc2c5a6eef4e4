#include "app/image_dlg.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>

#include "app/picture_layout.h"
#include "common/hint_router.h"
#include "common/ui_seams.h"
#include "common/widgets.h"

namespace orv {

TImageDlg::TImageDlg(UiSeams& ui, QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint), ui_(ui) {
    setWindowTitle(QStringLiteral("Orvella"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    Pic_ = named(new QLabel(this), "Pic");
    Pic_->setScaledContents(true);
    setHint(Pic_, QStringLiteral("Click to close window"));
    Pic_->installEventFilter(this);
}

void TImageDlg::setPicture(const QImage& picture, QSize naturalSize) {
    picture_ = picture;
    naturalSize_ = naturalSize.isEmpty() ? picture.size() : naturalSize;
    Pic_->setPixmap(QPixmap::fromImage(picture_));
}

void TImageDlg::showPicture(const QImage& picture, QSize naturalSize) {
    setPicture(picture, naturalSize);
    // Set here, not at creation: setting a window state makes the window system's window, a cost that every
    // start would pay for a window most starts never show.
    setWindowState(Qt::WindowMaximized);
    ui_.execModal(this);
}

void TImageDlg::FormActivate() {
    const QRect screen = ui_.screenGeometry();
    setGeometry(screen);
    const auto r = EnlargedPicture(naturalSize_.width(), naturalSize_.height(), screen.width(), screen.height());
    if (r) Pic_->setGeometry(r->left, r->top, r->width, r->height);
    else Pic_->setGeometry(rect());
}

bool TImageDlg::event(QEvent* e) {
    if (e->type() == QEvent::Show || e->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(e);
}

void TImageDlg::keyPressEvent(QKeyEvent*) { done(1); }

// The whole screen is the window: a click beside the picture closes it as well.
void TImageDlg::mousePressEvent(QMouseEvent*) { done(1); }

bool TImageDlg::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Pic_ && e->type() == QEvent::MouseButtonPress) {
        done(1);
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace orv
