#pragma once
// Printouts draw emoji from Symbola, a font of outlines: the colour emoji font the windows fall back on
// holds pictures, which a PDF or a printer leaves blank.

#include <QFont>
#include <QString>
#include <QStringList>

namespace orv {

inline QFont printFont(QFont font) {
    font.setFamilies({font.family(), QStringLiteral("Symbola")});
    return font;
}

}  // namespace orv
