#include "common/window_place.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace orv {
namespace {

// How much of the window must show: enough to see what it is and to drag it.
constexpr std::int64_t kVisibleWidth = 100;
constexpr std::int64_t kVisibleHeight = 40;

// Moves its window onto the screen after each showing or change of size, once the window system has placed
// and framed it.
class ScreenKeeper : public QObject {
public:
    explicit ScreenKeeper(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == window_ && (e->type() == QEvent::Show || e->type() == QEvent::Resize))
            QTimer::singleShot(0, this, [this] { fit(); });
        return false;
    }

private:
    void fit() {
        if (!window_ || !window_->isVisible() || !window_->screen()) return;
        const QRect frame = window_->frameGeometry();
        const QPoint to = placeInside(frame, window_->screen()->availableGeometry());
        if (to != frame.topLeft()) window_->move(window_->pos() + (to - frame.topLeft()));
    }

    QPointer<QWidget> window_;
};

}  // namespace

QPoint windowPlace(const QWidget* window) { return window->geometry().topLeft(); }

void placeWindow(QWidget* window, QPoint inside) { window->setGeometry(QRect(inside, window->size())); }

bool placeIsOnAScreen(std::int64_t left, std::int64_t top, QSize size, const QList<QRect>& screens) {
    const std::int64_t width = std::max(size.width(), 1);
    const std::int64_t height = std::max(size.height(), 1);
    for (const QRect& s : screens) {
        const std::int64_t sLeft = s.left();
        const std::int64_t sTop = s.top();
        const std::int64_t sRight = sLeft + s.width();
        const std::int64_t sBottom = sTop + s.height();
        const bool topOnScreen = top >= sTop && top + std::min(height, kVisibleHeight) <= sBottom;
        const std::int64_t shown = std::min(left + width, sRight) - std::max(left, sLeft);
        if (topOnScreen && shown >= std::min(width, kVisibleWidth)) return true;
    }
    return false;
}

QPoint placeInside(const QRect& frame, const QRect& area) {
    const auto along = [](int at, int length, int start, int room) {
        return length >= room ? start : std::clamp(at, start, start + room - length);
    };
    return {along(frame.x(), frame.width(), area.x(), area.width()),
            along(frame.y(), frame.height(), area.y(), area.height())};
}

void keepOnScreen(QWidget* window) { new ScreenKeeper(window); }

}  // namespace orv
