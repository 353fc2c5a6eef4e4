#include "common/qt_text.h"

#include <QLocale>

#include "common/cp1252.h"

namespace orv {

QString fromCp1252(std::string_view text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) out.append(QChar(static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(c)))));
    return out;
}

std::optional<std::string> toCp1252(const QString& text, QString* badChar) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t cp = text[i].unicode();
        qsizetype len = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            len = 2;
        }
        const auto byte = unicodeToCp1252(cp);
        if (!byte) {
            if (badChar) *badChar = text.mid(i, len);
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
        i += len - 1;
    }
    return out;
}

std::string toCp1252Lossy(const QString& text) {
    std::string out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = unicodeToCp1252(text[i].unicode());
        out += byte ? static_cast<char>(*byte) : '?';
        if (text[i].isHighSurrogate() && i + 1 < text.size()) ++i;
    }
    return out;
}

QString unrepresentableMessage(const QString& badChar) {
    return QStringLiteral(
               "The character \"%1\" cannot be kept in Orvella's files (they use the Windows-1252 "
               "character set). Please remove it or use another character.")
        .arg(badChar);
}

DateNames systemDateNames() {
    const QLocale locale = QLocale::system();
    DateNames names;
    for (int m = 1; m <= 12; ++m) {
        names.longMonths[m - 1] = toCp1252Lossy(locale.monthName(m, QLocale::LongFormat));
        names.shortMonths[m - 1] = toCp1252Lossy(locale.monthName(m, QLocale::ShortFormat));
    }
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;  // Qt counts Monday 1 .. Sunday 7
        names.longDays[d] = toCp1252Lossy(locale.dayName(qtDay, QLocale::LongFormat));
        names.shortDays[d] = toCp1252Lossy(locale.dayName(qtDay, QLocale::ShortFormat));
    }
    return names;
}

}  // namespace orv
