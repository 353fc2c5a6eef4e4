#pragma once
// Small builders and setters the windows share: framed panels, the exit glyph, colours of a widget's
// palette, and control names.

#include <QFrame>
#include <QIcon>
#include <QPalette>
#include <initializer_list>

class QColor;
class QWidget;

namespace orv {

QFrame* panel(QWidget* parent, QFrame::Shape shape = QFrame::NoFrame, QFrame::Shadow shadow = QFrame::Plain);

// A door with an arrow out of it, 30 pixels wide and height high.
QIcon exitGlyph(int height);

// The text colour of the given palette roles (the label text unless told otherwise).
void setTextColour(QWidget* w, const QColor& colour,
                   std::initializer_list<QPalette::ColorRole> roles = {QPalette::WindowText});
// A filled background of the colour.
void setBackground(QWidget* w, const QColor& colour);

// Gives a control its fixed name (tests and tools find it by that name) and returns it.
template <class Control>
Control* named(Control* control, const char* name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

}  // namespace orv
