#pragma once
// Windows colour values to Qt colours: plain colours by their bytes, system colours through the palette.

#include <QColor>

#include "common/colours.h"

namespace orv {

QColor toQColor(WinColor colour);
WinColor fromQColor(const QColor& colour);

}  // namespace orv
