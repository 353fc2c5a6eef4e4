#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "common/day_number.h"
#include "events/birthday_list.h"
#include "support/parts.h"
#include "support/temp_dir.h"
#include "support/test_context.h"
#include "ticker/remind_dlg.h"

using namespace orv;
using test::part;

namespace {

// A birthday list of the rows given (name, event, month, day).
BirthdayList listOf(const std::vector<YearlyRow>& rows) {
    BirthdayList list;
    while (list.rowCount() < static_cast<int>(rows.size())) list.appendRow();
    for (size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        list.setCell(BirthdayList::colName, row, rows[r].name);
        list.setCell(BirthdayList::colEvent, row, rows[r].event);
        list.setCell(BirthdayList::colMonth, row, rows[r].month);
        list.setCell(BirthdayList::colDay, row, rows[r].day);
    }
    return list;
}

}  // namespace

class RemindDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        run = std::make_unique<test::TestContext>(dir->path(), dayNumber(2023, 12, 30));
        seams = &run->seams;
        dlg = std::make_unique<TRemindDlg>(run->context);
        titles.clear();
        QObject::connect(dlg.get(), &TRemindDlg::titleChanged, dlg.get(), [this](const QString& t) { titles << t; });
    }
    void cleanup() {
        dlg.reset();
        run.reset();
        dir.reset();
    }

    void theCaptionCyclesThroughTheEventsFile() {
        // No repeating-events window: the rows come from "Events.dat" itself.
        dir->write("Events.dat",
                   "6,3\r\ncw 0,35\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,1\r\n4,1,2\r\n"
                   "1,2,Bob\r\n2,2,Birthday\r\n3,2,12\r\n4,2,31\r\n1,3,Cy\r\n2,3,Birthday\r\n3,3,1\r\n4,3,9\r\n");
        dlg->LoadSecondList();
        dlg->BuildTicker();
        QCOMPARE(list()->count(), 2);
        QVERIFY(part<QLabel>(dlg.get(), "lScroll")->text().startsWith(QStringLiteral("Bob - Birthday on ")));
        QVERIFY(timer()->isActive());
        QCOMPARE(timer()->interval(), 3000);
        for (int i = 0; i < 4; ++i) dlg->tScrollTimer();
        QCOMPARE(titles.size(), 4);
        QVERIFY(titles[0].startsWith(QStringLiteral("Ann - Birthday on ")));
        QVERIFY(titles[0].endsWith(QStringLiteral("2024")));
        QCOMPARE(titles[1], QStringLiteral("Orvella"));
        QVERIFY(titles[2].startsWith(QStringLiteral("Bob - Birthday on ")));
        QCOMPARE(titles[3], titles[0]);
    }

    void theSecondListAndItsFailures() {
        dir->write("VEvents.dat",
                   "6,2\r\n2,1,New Year's Eve\r\n3,1,12\r\n4,1,31\r\n1,2,x\r\n2,2,Fair\r\n3,2,1\r\n4,2,5\r\n");
        useYearlyDates({});
        dlg->LoadSecondList();
        QVERIFY(seams->messages.empty());
        dlg->BuildTicker();
        QCOMPARE(part<QLabel>(dlg.get(), "lScroll")->text(), QStringLiteral("New Year's Eve"));
        QCOMPARE(list()->item(1)->text().left(8), QStringLiteral("Fair on "));

        dir->write("VEvents.dat", "junk");
        dlg->LoadSecondList();
        QCOMPARE(seams->messages.size(), size_t(1));
        QVERIFY(seams->messages[0].text.contains(QStringLiteral("VEvents.dat")));
    }

    void nothingUpcomingLeavesTheCaption() {
        useYearlyDates({{"Ann", "Birthday", "3", "1"}});
        dlg->BuildTicker();
        QVERIFY(timer()->isActive());
        dlg->tScrollTimer();
        QVERIFY(!timer()->isActive());
        QVERIFY(titles.isEmpty());
    }

    void aNewDayRebuildsFromTheTop() {
        useYearlyDates({{"Ann", "Birthday", "12", "30"}, {"Bob", "Birthday", "12", "31"}});
        dlg->BuildTicker();
        dlg->tScrollTimer();
        QVERIFY(titles.last().startsWith(QStringLiteral("Bob")));
        run->program.clock = Clock(dayNumber(2023, 12, 31));
        dlg->BuildTicker();
        QCOMPARE(list()->count(), 1);
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
        useYearlyDates({{"Ann", "Birthday", "12", "30"}});
        dlg->BuildTicker();
        dlg->show();
        dlg->close();
        QVERIFY(!timer()->isActive());
    }

private:
    void useYearlyDates(const std::vector<YearlyRow>& rows) {
        yearly = listOf(rows);
        dlg->setYearlyDates(&yearly, 7);
    }
    QListWidget* list() const { return part<QListWidget>(dlg.get(), "lb1"); }
    QTimer* timer() const { return part<QTimer>(dlg.get(), "tScroll"); }

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;
    BirthdayList yearly;
    std::unique_ptr<TRemindDlg> dlg;
    QStringList titles;
};

QTEST_MAIN(RemindDlgTest)
#include "remind_dlg_test.moc"
