#pragma once
// Where a window stands on the desktop, kept as the place of its inside (below the title bar, inside the
// border). Window managers disagree on what a requested frame position means, and a frame position read
// back and requested again made windows creep at every start; the inside is the same under all of them.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>

class QWidget;

namespace orv {

QPoint windowPlace(const QWidget* window);
void placeWindow(QWidget* window, QPoint inside);

// Whether a window of the given inside size, its inside at (left, top), shows enough on one of the screens
// to be seen and taken hold of: its top edge on the screen with some of the window below it, and a good part
// of its width. Any values, however far out, are safe to ask about.
bool placeIsOnAScreen(std::int64_t left, std::int64_t top, QSize size, const QList<QRect>& screens);

// Where a window's frame must go to lie wholly inside area: as near as it can to where it is, its top left
// corner on the area when it is larger than the area.
QPoint placeInside(const QRect& frame, const QRect& area);

// From now on the window is moved wholly onto the free area of its screen whenever it is shown or changes
// size (a message box over a window that stands partly off the screen, a box the window manager placed).
void keepOnScreen(QWidget* window);

}  // namespace orv
