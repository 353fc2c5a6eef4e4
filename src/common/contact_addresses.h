#pragma once
// Where the Orvella project is reached: its web site and its e-mail address (contact and information
// windows, the foot of the printed week page).

#include <QUrl>

namespace orv {

inline const QUrl& projectWebAddress() {
    static const QUrl url(QStringLiteral("https://orvella.example.org"));
    return url;
}

inline const QUrl& projectMailAddress() {
    static const QUrl url(QStringLiteral("mailto:orvella@example.org"));
    return url;
}

}  // namespace orv
