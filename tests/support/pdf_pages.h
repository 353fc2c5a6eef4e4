#pragma once
// Pages of a PDF the program wrote, counted from its page objects; -1 when it is no PDF.

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <string>

namespace orv::test {

inline int pdfPages(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    if (!pdf.startsWith("%PDF")) return -1;
    return static_cast<int>(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

}  // namespace orv::test
