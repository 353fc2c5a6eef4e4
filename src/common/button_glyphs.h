#pragma once
// The glyphs of the dialog buttons (OK, Cancel, Close ...) and of the warning windows, drawn here so that they
// look the same on every desktop, stay sharp on dense screens, and cost no icon-theme search at start-up.

#include <QIcon>

namespace orv {

QIcon okGlyph();         // a green tick
QIcon cancelGlyph();     // a red cross
QIcon closeGlyph();      // a door with an arrow out of it
QIcon applyGlyph();      // a calendar leaf taking a green plus
QIcon addRowGlyph();     // a sheet with a green plus
QIcon deleteRowGlyph();  // a sheet with a red minus
QIcon warningGlyph();    // a yellow triangle with an exclamation mark, 32 x 32

}  // namespace orv
