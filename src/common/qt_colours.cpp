#include "common/qt_colours.h"

#include <QApplication>
#include <QPalette>

namespace orv {

QColor toQColor(WinColor c) {
    if (!isSystemColor(c)) return QColor(redOf(c), greenOf(c), blueOf(c));
    const QPalette pal = QApplication::palette();
    switch (systemColorIndex(c)) {
        case 2: return pal.color(QPalette::Highlight);        // active caption
        case 5: return pal.color(QPalette::Base);             // window
        case 8: return pal.color(QPalette::Text);             // window text
        case 9: return pal.color(QPalette::HighlightedText);  // caption text
        case 13: return pal.color(QPalette::Highlight);
        case 14: return pal.color(QPalette::HighlightedText);
        case 15: return pal.color(QPalette::Button);  // button face
        case 20: return pal.color(QPalette::Light);   // button highlight
        default: return pal.color(QPalette::Window);
    }
}

WinColor fromQColor(const QColor& c) { return winRgb(c.red(), c.green(), c.blue()); }

}  // namespace orv
