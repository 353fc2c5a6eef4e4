#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "app/app_state.h"
#include "app/forms.h"
#include "common/clock.h"
#include "common/day_number.h"
#include "support/fake_seams.h"
#include "support/temp_dir.h"
#include "ticker/remind_dlg.h"

using namespace orv;

class RemindDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        seams = std::make_unique<test::FakeSeams>();
        dir = std::make_unique<test::TempDir>();
        appState().setProgramFolder(dir->path());
        appState().clock = Clock(dayNumber(2023, 12, 30));
        dlg = std::make_unique<TRemindDlg>();
        titles.clear();
        dlg->setTitle = [this](const QString& t) { titles << t; };
    }
    void cleanup() {
        dlg.reset();
        dir.reset();
        seams.reset();
        appState().clock = Clock();
    }

    void theCaptionCyclesThroughTheEventsFile() {
        // No repeating-events window: the rows come from "Events.dat" itself.
        QCOMPARE(forms().AnnualDlg, nullptr);
        dir->write("Events.dat",
                   "6,3\r\ncw 0,35\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,1\r\n4,1,2\r\n"
                   "1,2,Bob\r\n2,2,Birthday\r\n3,2,12\r\n4,2,31\r\n1,3,Cy\r\n2,3,Birthday\r\n3,3,1\r\n4,3,9\r\n");
        dlg->LoadSecondList();
        dlg->BuildTicker();
        QCOMPARE(dlg->lb1->count(), 2);
        QVERIFY(dlg->lScroll->text().startsWith(QStringLiteral("Bob - Birthday on ")));
        QVERIFY(dlg->tScroll->isActive());
        QCOMPARE(dlg->tScroll->interval(), 3000);
        for (int i = 0; i < 4; ++i) dlg->tScrollTimer();
        QCOMPARE(titles.size(), 4);
        QVERIFY(titles[0].startsWith(QStringLiteral("Ann - Birthday on ")));
        QVERIFY(titles[0].endsWith(QStringLiteral("2024")));
        QCOMPARE(titles[1], QStringLiteral("Orvella"));
        QVERIFY(titles[2].startsWith(QStringLiteral("Bob - Birthday on ")));
        QCOMPARE(titles[3], titles[0]);
    }

    void theSecondListAndItsFailures() {
        dir->write("VEvents.dat", "6,2\r\n2,1,New Year's Eve\r\n3,1,12\r\n4,1,31\r\n1,2,x\r\n2,2,Fair\r\n3,2,1\r\n4,2,5\r\n");
        dlg->birthdayRows = [] { return std::vector<YearlyRow>{}; };
        dlg->LoadSecondList();
        QVERIFY(seams->messages.empty());
        dlg->BuildTicker();
        QCOMPARE(dlg->lScroll->text(), QStringLiteral("New Year's Eve"));
        QCOMPARE(dlg->lb1->item(1)->text().left(8), QStringLiteral("Fair on "));

        dir->write("VEvents.dat", "junk");
        dlg->LoadSecondList();
        QCOMPARE(seams->messages.size(), size_t(1));
        QVERIFY(seams->messages[0].text.contains(QStringLiteral("VEvents.dat")));
    }

    void nothingUpcomingLeavesTheCaption() {
        dlg->birthdayRows = [] { return std::vector<YearlyRow>{{"Ann", "Birthday", "3", "1"}}; };
        dlg->BuildTicker();
        QVERIFY(dlg->tScroll->isActive());
        dlg->tScrollTimer();
        QVERIFY(!dlg->tScroll->isActive());
        QVERIFY(titles.isEmpty());
    }

    void aNewDayRebuildsFromTheTop() {
        dlg->birthdayRows = [] {
            return std::vector<YearlyRow>{{"Ann", "Birthday", "12", "30"}, {"Bob", "Birthday", "12", "31"}};
        };
        dlg->BuildTicker();
        dlg->tScrollTimer();
        QVERIFY(titles.last().startsWith(QStringLiteral("Bob")));
        appState().clock = Clock(dayNumber(2023, 12, 31));
        dlg->BuildTicker();
        QCOMPARE(dlg->lb1->count(), 1);
        QCOMPARE(dlg->cycle().TickerPosition(), 0);
        dlg->tScrollTimer();
        QCOMPARE(titles.last(), QStringLiteral("Orvella"));
    }

    void theStripSitsOverTheTitleAndClosingStopsIt() {
        QWidget main;
        main.setGeometry(300, 40, 474, 541);
        dlg->placeOver(&main);
        const QRect f = main.frameGeometry();
        QCOMPARE(dlg->geometry(), QRect(f.left() + 24, f.top() + 3, f.width() - 84, 17));
        dlg->birthdayRows = [] { return std::vector<YearlyRow>{{"Ann", "Birthday", "12", "30"}}; };
        dlg->BuildTicker();
        dlg->show();
        dlg->close();
        QVERIFY(!dlg->tScroll->isActive());
        QCOMPARE(forms().RemindDlg, dlg.get());
    }

private:
    std::unique_ptr<test::FakeSeams> seams;
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<TRemindDlg> dlg;
    QStringList titles;
};

QTEST_MAIN(RemindDlgTest)
#include "remind_dlg_test.moc"
