#include "common/ui_fonts.h"

namespace orv {
namespace {

QFont liberation(int pixelSize, bool bold) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

}  // namespace

QFont arialFont(int pixelSize, bool bold) { return liberation(pixelSize, bold); }

QFont sansSerifFont(int pixelSize, bool bold) { return liberation(pixelSize, bold); }

QFont arialPointFont(int pointSize, bool bold) { return liberation((pointSize * 96 + 36) / 72, bold); }

}  // namespace orv
