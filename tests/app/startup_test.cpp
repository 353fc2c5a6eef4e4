// Program start: every window exists, hidden, in its order, before the main window is shown, and the
// windows that read files at creation read them from the program folder.

#include <QtTest>

#include "app/main_form.h"
#include "app/startup.h"
#include "common/day_number.h"
#include "events/annual_dlg.h"
#include "events/birthday_list.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowIsCreatedOnceInItsOrderAndHidden() {
        test::TempDir dir;
        dir.write("Events.dat", "6,1\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,8\r\n4,1,14\r\n");
        test::TestContext run(dir.path(), dayNumber(2026, 3, 1));
        std::unique_ptr<TCalMainForm> main(createWindows(run.context));
        QVERIFY(main);
        QStringList windows;
        for (const QObject* child : main->children()) {
            const QString name = QString::fromLatin1(child->metaObject()->className());
            if (child->isWidgetType() && static_cast<const QWidget*>(child)->isWindow() && name.startsWith("orv::T"))
                windows << name.mid(5);
        }
        QCOMPARE(windows, (QStringList{"TImageDlg", "TDeskDlg1", "TToDoDlg", "TChgUserDlg", "TEditUserDlg",
                                       "TAddUserDlg", "TNameErrorDlg", "TOptionDlg", "TCmdDlg", "TfrmAbout1", "TDSDlg",
                                       "TExplainDlg", "TImgHolder", "TPrintDlg", "TAnnualDlg", "TRemindDlg",
                                       "TCheckDlg", "TAgentDlg", "TBackupDlg", "TSyncDlg"}));
        QVERIFY(!main->isVisible());
        for (const QWidget* w : main->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) QVERIFY(!w->isVisible());
        // the row read, and the blank row after it
        QCOMPARE(main->findChild<TAnnualDlg*>()->birthdayList().rowCount(), 2);
        QVERIFY(run.seams.messages.empty());
    }

    // A hidden window that is given a window of the window system at the start costs the start a round of
    // requests to the display; none is until it is first shown.
    void theStartGivesNoHiddenWindowAWindowOfTheSystem() {
        test::TempDir dir;
        dir.write("Events.dat", "6,1\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,8\r\n4,1,14\r\n");
        dir.write("Orvella.INI", "[System]\r\nLeft=5\r\nTop=5\r\n");
        dir.write("CalUsers.DAT", "Ann\r\n");
        test::TestContext run(dir.path(), dayNumber(2026, 3, 1));
        std::unique_ptr<TCalMainForm> main(createWindows(run.context));
        main->show();
        main->FormActivate();
        QStringList created;
        for (const QWidget* w : main->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isWindow() && w->testAttribute(Qt::WA_WState_Created))
                created << QString::fromLatin1(w->metaObject()->className());
        QCOMPARE(created, QStringList());
    }

    void aRefusedStartMakesNoWindow() {
        test::TempDir dir;
        test::TestContext run(dir.path(), dayNumber(2026, 3, 1));
        run.seams.depth = 4;  // a first run on 16 colours
        QVERIFY(!createWindows(run.context));
        QCOMPARE(run.seams.modalClasses, QStringList{QStringLiteral("orv::TWarn2")});
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
