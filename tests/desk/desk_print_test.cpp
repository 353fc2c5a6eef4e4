// The week page on paper: what the print button prints from the page as it stands, for each layout and
// mode, how many jobs it makes, and what a failing printer leaves.

#include <QCheckBox>
#include <QLabel>
#include <QTextCursor>
#include <QToolButton>
#include <QtTest>

#include "common/day_number.h"
#include "desk/desk_dlg1.h"
#include "desk/reminder_editor.h"
#include "desk/week_printout.h"
#include "common/ini_file.h"
#include "program/program.h"
#include "program/settings_file.h"
#include "store/cal_db.h"
#include "support/parts.h"
#include "support/recording_printers.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
using test::part;
using test::RecordingDevice;
using test::RecordingPrinters;

namespace {

int d(int y, int m, int day) { return dayNumber(y, m, day); }

const QString kLong = QStringLiteral("a reminder long enough to wrap over several lines of its cell, and longer still");

QStringList printedOf(const RecordingDevice& device, int job) {
    QStringList out;
    for (const auto& t : device.texts)
        if (t.job == job) out << t.text;
    return out;
}

}  // namespace

class DeskPrintTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<RecordingPrinters> printers;
    std::unique_ptr<test::TestContext> run;
    std::unique_ptr<TDeskDlg1> desk;

    template <class Part = QWidget>
    Part* partOf(const char* name) const {
        return part<Part>(desk.get(), name);
    }
    ReminderEditor* cell(int i) const { return partOf<ReminderEditor>(qPrintable(QStringLiteral("m%1").arg(i))); }
    void print() {
        partOf<QToolButton>("PrintBtn")->click();
        QCoreApplication::processEvents();
    }
    // Opens the page on Wednesday 11 March 2026: cell 1 is Monday 9 March, cell 28 Sunday 5 April.
    void open(bool fourWeeks = true) {
        desk = std::make_unique<TDeskDlg1>(run->context);
        if (!fourWeeks) partOf<QCheckBox>("cb4week")->setChecked(false);
        desk->setPageDate(2026, 3, 11);
        desk->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        printers = std::make_unique<RecordingPrinters>(QPageLayout::Landscape);
        run = std::make_unique<test::TestContext>(dir->path(), d(2026, 3, 1), printers.get());
        Program& p = run->program;
        p.calendars.DataFolder = dir->path();
        p.calendars.Names = {"Ann"};
        p.calendars.CurrentCalendarIndex = 0;
        p.store.OpenCurrentCalendar();
        p.store.writeDay(d(2026, 3, 9), "Stored line");
        p.store.writeDay(d(2026, 3, 14), "Saturday text");
        p.store.writeDay(d(2026, 3, 15), "Sunday text");
        p.store.writeDay(d(2026, 3, 30), "Row four");
    }
    void cleanup() {
        desk.reset();
        run.reset();
        printers.reset();
        dir.reset();
    }

    void printsThePageAsItStands_data() {
        QTest::addColumn<bool>("weekends");
        QTest::addColumn<bool>("fourWeeks");
        QTest::newRow("four weeks with weekends") << true << true;
        QTest::newRow("four weeks, weekdays only") << false << true;
        QTest::newRow("one week with weekends") << true << false;
        QTest::newRow("one week, weekdays only") << false << false;
    }
    void printsThePageAsItStands() {
        QFETCH(bool, weekends);
        QFETCH(bool, fourWeeks);
        run->program.settings.ShowWeekends = weekends;
        open(fourWeeks);
        cell(2)->moveCursor(QTextCursor::End);
        QTest::keyClicks(cell(2), QStringLiteral("Typed"));  // not saved yet
        print();
        QCOMPARE(printers->dialogs, 1);
        QCOMPARE(printers->asked.front(), QPageLayout::Landscape);
        QCOMPARE(printers->device.jobs, 1);
        const QStringList printed = printedOf(printers->device, 1);
        QVERIFY(printed.contains(QStringLiteral("Ann")));
        QVERIFY(printed.contains(partOf<QLabel>("Panel3")->text()));
        // All four weeks, whatever the screen shows.
        for (const char* text : {"Typed", "Stored line", "Row four"}) QVERIFY2(printed.contains(text), text);
        for (int day : {9, 10, 13, 30, 31, 1, 3}) QVERIFY(printed.contains(QString::number(day)));
        QCOMPARE(printed.contains(QStringLiteral("Saturday text")), weekends);
        QCOMPARE(printed.contains(QStringLiteral("Sunday text")), weekends);
        QCOMPARE(printed.contains(QStringLiteral("Sat/Sun")), weekends);
        QCOMPARE(printed.contains(QStringLiteral("5")), weekends);  // Sunday 5 April, the last cell
        QVERIFY(printed.filter(QRegularExpression(QStringLiteral("^Printed \\d+ \\S+ 2026$"))).size() == 1);
        QVERIFY(!printed.filter(QStringLiteral("orvella@example.org")).isEmpty());
        QVERIFY(run->seams.messages.empty());
    }

    void aHiddenCellWrapsAtItsOwnWidth() {
        run->program.store.writeDay(d(2026, 3, 30), std::string(kLong.toLatin1().constData()));
        // One week on screen: rows 2 to 4 are hidden when the weekends go and the day cells widen.
        open(false);
        partOf<QToolButton>("WEndBtn")->click();
        QCoreApplication::processEvents();
        QVERIFY(!cell(22)->isVisible());
        const QStringList hidden = desk->printSheet().lines[22];
        partOf<QCheckBox>("cb4week")->click();
        QCoreApplication::processEvents();
        QVERIFY(cell(22)->isVisible());
        const QStringList shown = desk->printSheet().lines[22];
        QVERIFY(shown.size() > 2);
        QCOMPARE(hidden, shown);
        QCOMPARE(shown.join(QString()).remove(QChar(' ')), QString(kLong).remove(QChar(' ')));
    }

    void jobsPerCopyAndPrinterFailures_data() {
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("failBegin");
        QTest::addColumn<bool>("failEnd");
        QTest::addColumn<int>("jobs");
        QTest::addColumn<bool>("message");
        QTest::newRow("two copies, two jobs") << 2 << false << false << false << 2 << false;
        QTest::newRow("dialog cancelled") << 1 << true << false << false << 0 << false;
        QTest::newRow("printer will not start") << 2 << false << true << false << 0 << true;
        QTest::newRow("first of three jobs fails") << 3 << false << false << true << 1 << true;
    }
    void jobsPerCopyAndPrinterFailures() {
        QFETCH(int, copies);
        QFETCH(bool, cancel);
        QFETCH(bool, failBegin);
        QFETCH(bool, failEnd);
        QFETCH(int, jobs);
        QFETCH(bool, message);
        printers->copies = copies;
        printers->cancel = cancel;
        printers->device.failBegin = failBegin;
        printers->device.failEnd = failEnd;
        open();
        print();
        QCOMPARE(printers->device.jobs, jobs);
        for (int job = 1; job <= jobs; ++job)
            QCOMPARE(printedOf(printers->device, job), printedOf(printers->device, 1));
        QCOMPARE(run->seams.messages.size(), size_t(message ? 1 : 0));
        if (message) {
            QCOMPARE(run->seams.messages[0].icon, MsgIcon::Error);
            QVERIFY(run->seams.messages[0].text.contains(QStringLiteral("Test Printer")));
        }
        QVERIFY(desk->isVisible());  // the page stays open
    }

    // The file printed into is kept in the settings and proposed by the next print dialog, also after a
    // new start; a print on a printer leaves it as it was.
    void theLastPrintFileIsProposedNextTime() {
        open();
        print();
        printers->intoFile = dir->file("week.pdf");
        print();
        printers->intoFile.clear();
        print();
        QCOMPARE(printers->proposed, (std::vector<std::string>{"", "", dir->file("week.pdf")}));
        saveSettingsFile(run->program);
        test::TestContext again(dir->path(), d(2026, 3, 1), printers.get());
        IniFile ini;
        loadSettingsFile(again.program, ini, "d/m/yyyy");
        QCOMPARE(again.program.settings.PrintFile, dir->file("week.pdf"));
    }

    void aPageNeverShownPrintsFromTheStore() {
        desk = std::make_unique<TDeskDlg1>(run->context);
        desk->setPageDate(2026, 3, 14);  // a Saturday: weekends shown, so the page starts on Monday 9
        test::RecordingTarget target(printers->device);
        desk->printUnshown(target);
        QVERIFY(!desk->isVisible());
        const QStringList printed = printedOf(printers->device, 1);
        for (const char* text : {"Stored line", "Saturday text", "Sunday text", "Row four"})
            QVERIFY2(printed.contains(text), text);
        QCOMPARE(target.orientations, std::vector<QPageLayout::Orientation>{QPageLayout::Landscape});
        QCOMPARE(run->program.store.readDay(d(2026, 3, 9)), std::optional<std::string>("Stored line"));
    }
};

QTEST_MAIN(DeskPrintTest)
#include "desk_print_test.moc"
