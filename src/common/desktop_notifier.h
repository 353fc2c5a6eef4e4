#pragma once
// The desktop's notification service (org.freedesktop.Notifications) over the session bus. Everything is
// asynchronous, so a slow or missing service never holds up the windows; without a service (or a bus)
// nothing is shown and nothing fails.

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <functional>

namespace orv {

class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    // Shows summary as the title and the lines as the body (escaped where the service reads markup).
    // done(true) once the service has taken it, done(false) when there is no service or it refused.
    void send(const QString& summary, const QStringList& lines, std::function<void(bool shown)> done);

private:
    QDBusConnection bus_;
};

}  // namespace orv
