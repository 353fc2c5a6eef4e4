#include "common/desktop_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace orv {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDesktopEntry = QStringLiteral("org.orvella.Orvella");
constexpr int kReplyTimeoutMs = 10000;

// Calls method and hands its reply to then, on this notifier's thread, once it arrives.
template <class Reply, class Then>
void callAsync(QObject* context, const QDBusConnection& bus, const QDBusMessage& call, Then then) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kReplyTimeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [then = std::move(then)](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         then(QDBusPendingReply<Reply>(*w));
                     });
}

}  // namespace

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent) : QObject(parent), bus_(bus) {}

void DesktopNotifier::send(const QString& summary, const QStringList& lines, std::function<void(bool)> done) {
    if (!bus_.isConnected()) {
        done(false);
        return;
    }

    const QDBusMessage capabilities =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetCapabilities"));
    callAsync<QStringList>(
        this, bus_, capabilities, [this, summary, lines, done](const QDBusPendingReply<QStringList>& caps) {
            if (caps.isError()) {
                done(false);
                return;
            }
            // Entry lines are written "<...>": a service that reads markup must not take them for tags.
            QStringList body = lines;
            if (caps.value().contains(QStringLiteral("body-markup")))
                for (QString& line : body) line = line.toHtmlEscaped();
            QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
            const QVariantMap hints{{QStringLiteral("desktop-entry"), kDesktopEntry},
                                    {QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}};
            notify << QStringLiteral("Orvella") << 0u << kDesktopEntry << summary << body.join(QLatin1Char('\n'))
                   << QStringList() << hints << -1;
            callAsync<uint>(this, bus_, notify, [done](const QDBusPendingReply<uint>& id) { done(!id.isError()); });
        });
}

}  // namespace orv
