#include "app/after_first_paint.h"

#include <QEvent>
#include <QWindow>

namespace orv {

AfterFirstPaint::AfterFirstPaint(QWidget* window, std::chrono::milliseconds longest)
    : QObject(window), window_(window) {
    longest_.setSingleShot(true);
    longest_.setInterval(longest);
    connect(&longest_, &QTimer::timeout, this, [this] { release(); });
}

void AfterFirstPaint::run(std::function<void()> work) {
    if (painted_) {
        work();
        return;
    }
    waiting_.push_back(std::move(work));
    watch();
}

void AfterFirstPaint::watch() {
    if (watching_) return;
    watching_ = true;
    longest_.start();
    // The window system's window: its exposure is what paints the widgets.
    if (window_) {
        window_->winId();
        window_->windowHandle()->installEventFilter(this);
    }
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Expose && window_ && window_->windowHandle() == watched &&
        window_->windowHandle()->isExposed()) {
        // Runs once the exposure, with the painting and the flush to the screen, has been handled.
        QTimer::singleShot(0, this, [this] { release(); });
    }
    return QObject::eventFilter(watched, e);
}

void AfterFirstPaint::release() {
    if (painted_) return;
    painted_ = true;
    longest_.stop();
    if (window_ && window_->windowHandle()) window_->windowHandle()->removeEventFilter(this);
    std::vector<std::function<void()>> waiting;
    waiting.swap(waiting_);
    for (auto& work : waiting) work();
}

}  // namespace orv
