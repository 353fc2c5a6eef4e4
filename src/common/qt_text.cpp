#include "common/qt_text.h"

#include <QLocale>

namespace orv {

QString fromText(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

std::string toText(const QString& text) { return text.toStdString(); }

DateNames systemDateNames() {
    const QLocale locale = QLocale::system();
    DateNames names;
    for (int m = 1; m <= 12; ++m) {
        names.longMonths[m - 1] = toText(locale.monthName(m, QLocale::LongFormat));
        names.shortMonths[m - 1] = toText(locale.monthName(m, QLocale::ShortFormat));
    }
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;  // Qt counts Monday 1 .. Sunday 7
        names.longDays[d] = toText(locale.dayName(qtDay, QLocale::LongFormat));
        names.shortDays[d] = toText(locale.dayName(qtDay, QLocale::ShortFormat));
    }
    return names;
}

}  // namespace orv
