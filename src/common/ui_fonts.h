#pragma once
// The two faces the windows were drawn with, Arial and MS Sans Serif, come from Liberation Sans here.

#include <QFont>

namespace orv {

QFont arialFont(int pixelSize, bool bold = false);
QFont sansSerifFont(int pixelSize, bool bold = false);
// Point sizes (Arial 8 pt, 12 pt of the week page) at 96 pixels per inch.
QFont arialPointFont(int pointSize, bool bold = false);

}  // namespace orv
