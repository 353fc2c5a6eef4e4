// Runs on a session bus of its own (dbus-run-session), with a notification service of the test's own.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

#include "common/day_number.h"
#include "common/desktop_notifier.h"
#include "common/ini_file.h"
#include "program/program.h"
#include "support/temp_dir.h"
#include "ticker/day_notice.h"
#include "ticker/day_notifier.h"

using namespace orv;

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

}  // namespace

// The desktop's notification service as far as Orvella uses it; it keeps what it was asked to show.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        QString app, icon, summary, body;
        QVariantMap hints;
    };
    QList<Shown> shown;
    QStringList capabilities{QStringLiteral("body")};

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int) {
        shown.push_back({app, icon, summary, body, hints});
        return static_cast<uint>(shown.size());
    }
};

class DayNotifierTest : public QObject {
    Q_OBJECT
    test::TempDir* dir = nullptr;
    Program* program = nullptr;
    FakeNotifications fake;
    QDBusConnection service{QString()};

    const int day = dayNumber(2026, 12, 8);

    void startService() { QVERIFY(service.registerService(kService)); }
    void stopService() { QVERIFY(service.unregisterService(kService)); }

    void openCalendar(int index) {
        program->calendars.CurrentCalendarIndex = index;
        program->store.OpenCurrentCalendar();
    }
    // Lets every reply arrive that could; a notice takes two round trips to the service.
    void settle() { QTest::qWait(300); }
    QString settings() { return QString::fromStdString(dir->read("Orvella.INI")); }

private slots:
    void initTestCase() {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-notifications"));
        QVERIFY(service.registerObject(kPath, &fake, QDBusConnection::ExportAllSlots));
    }

    void init() {
        dir = new test::TempDir;
        program = new Program(dir->path(), Clock(day));
        program->calendars.DataFolder = dir->path() + "/Data";
        dir->write("Data/.keep", "");
        program->calendars.Names = {"Ann", "Bob"};
        openCalendar(1);
        program->store.writeDay(day, "Football");
        openCalendar(0);
        program->store.writeDay(day, "Dentist 10am\r\n<Gym>\r\n");
        program->store.writeDay(day + 1, "Call Bob");
        dir->write("Events.dat",
                   "6,1\r\ncw 0,35\r\ncw 1,156\r\ncw 2,153\r\ncw 3,42\r\ncw 4,34\r\ncw 5,32\r\ncw 6,40\r\n"
                   "1,1,Ann\r\n2,1,Birthday\r\n3,1,12\r\n4,1,8\r\n");
        dir->write("Orvella.INI", "[System]\r\nLeft=10\r\n");
        fake.shown.clear();
        fake.capabilities = {QStringLiteral("body")};
        startService();
    }
    void cleanup() {
        service.unregisterService(kService);
        delete program;
        delete dir;
    }

    void oneNoticeADayPerCalendar() {
        DesktopNotifier desktop(QDBusConnection::sessionBus());
        DayNotifier notifier(*program, desktop);
        notifier.dayBegins();
        QTRY_COMPARE(fake.shown.size(), 1);
        QCOMPARE(fake.shown[0].app, QStringLiteral("Orvella"));
        QCOMPARE(fake.shown[0].summary, QStringLiteral("Tuesday 8 December 2026"));
        QCOMPARE(fake.shown[0].body, QStringLiteral("Ann - Birthday\nDentist 10am\n<Gym>"));
        QCOMPARE(fake.shown[0].hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("org.orvella.Orvella"));
        QTRY_VERIFY(settings().contains(QStringLiteral("Last day=%1").arg(day)));
        QVERIFY(settings().contains(QStringLiteral("Left=10")));  // the rest of the file stays

        // The same day again, also after a restart: nothing more.
        notifier.dayBegins();
        DayNotifier restarted(*program, desktop);
        restarted.dayBegins();
        settle();
        QCOMPARE(fake.shown.size(), 1);

        // Another calendar has its own notice that day; the first one still none.
        openCalendar(1);
        notifier.dayBegins();
        QTRY_COMPARE(fake.shown.size(), 2);
        QCOMPARE(fake.shown[1].body, QStringLiteral("Ann - Birthday\nFootball"));
        openCalendar(0);
        notifier.dayBegins();
        settle();
        QCOMPARE(fake.shown.size(), 2);

        // The next day.
        program->clock = Clock(day + 1);
        notifier.dayBegins();
        QTRY_COMPARE(fake.shown.size(), 3);
        QCOMPARE(fake.shown[2].summary, QStringLiteral("Wednesday 9 December 2026"));
        QCOMPARE(fake.shown[2].body, QStringLiteral("Call Bob"));
        notifier.dayBegins();
        settle();
        QCOMPARE(fake.shown.size(), 3);
    }

    void nothingWhenSwitchedOffOrNothingToTell() {
        DesktopNotifier desktop(QDBusConnection::sessionBus());
        DayNotifier notifier(*program, desktop);
        dir->write("Orvella.INI", "[Notifications]\r\nEnabled=0\r\n");
        notifier.dayBegins();
        program->clock = Clock(day + 2);  // no text, no yearly date
        dir->write("Orvella.INI", "");
        notifier.dayBegins();
        settle();
        QCOMPARE(fake.shown.size(), 0);
        QVERIFY(!settings().contains(QStringLiteral("Last day")));
    }

    void markupIsEscapedWhereTheServiceReadsIt() {
        fake.capabilities << QStringLiteral("body-markup");
        DesktopNotifier desktop(QDBusConnection::sessionBus());
        DayNotifier notifier(*program, desktop);
        notifier.dayBegins();
        QTRY_COMPARE(fake.shown.size(), 1);
        QCOMPARE(fake.shown[0].body, QStringLiteral("Ann - Birthday\nDentist 10am\n&lt;Gym&gt;"));
    }

    void withoutAServiceNothingHappensAndNothingFails() {
        stopService();
        DesktopNotifier desktop(QDBusConnection::sessionBus());
        DayNotifier notifier(*program, desktop);
        notifier.dayBegins();
        settle();
        QVERIFY(!settings().contains(QStringLiteral("Last day")));
        // Without any bus either.
        DesktopNotifier nowhere(QDBusConnection(QStringLiteral("no such connection")));
        DayNotifier alone(*program, nowhere);
        alone.dayBegins();
        QVERIFY(!settings().contains(QStringLiteral("Last day")));
        // The day was not told: once the desktop has a service, the notice comes.
        startService();
        notifier.dayBegins();
        QTRY_COMPARE(fake.shown.size(), 1);
    }
};

QTEST_MAIN(DayNotifierTest)
#include "day_notifier_test.moc"
