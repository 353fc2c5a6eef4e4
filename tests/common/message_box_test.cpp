// Message boxes over windows that stand partly off the screen, on every side, and one wider than its window:
// each box lies wholly on the screen, where it can be read and answered.

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include "common/ui_seams.h"

using namespace orv;

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void everyBoxLiesOnTheScreen_data() {
        QTest::addColumn<QPoint>("parentAt");
        QTest::addColumn<QString>("text");
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QString line = QStringLiteral("The calendar could not be written.");
        const QString path = QStringLiteral("/media/me/STICK/") + QString(120, QLatin1Char('x')) + QStringLiteral(".DBX");
        QTest::newRow("off the left") << QPoint(-350, 200) << line;
        QTest::newRow("off the top") << QPoint(200, -480) << line;
        QTest::newRow("off the right") << QPoint(screen.right() - 120, 200) << line;
        QTest::newRow("off the bottom") << QPoint(200, screen.bottom() - 60) << line;
        QTest::newRow("a long path, off the left") << QPoint(-350, 200) << path;
    }
    void everyBoxLiesOnTheScreen() {
        QFETCH(QPoint, parentAt);
        QFETCH(QString, text);
        QWidget parent;
        parent.setGeometry(QRect(parentAt, QSize(474, 541)));
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QRect seen;
        QTimer::singleShot(200, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen = box->frameGeometry();
            box->accept();
        });
        UiSeams real;
        real.message(&parent, MsgIcon::Warning, text, MsgButtons::Ok);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(!seen.isEmpty());
        QVERIFY2(area.contains(seen), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(seen.x()).arg(seen.y())
                                                     .arg(seen.width()).arg(seen.height())));
    }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
