#include "common/window_place.h"

#include <QWidget>
#include <algorithm>

namespace orv {
namespace {

// How much of the window must show: enough to see what it is and to drag it.
constexpr std::int64_t kVisibleWidth = 100;
constexpr std::int64_t kVisibleHeight = 40;

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

}  // namespace orv
