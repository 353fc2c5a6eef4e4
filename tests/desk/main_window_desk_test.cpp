// The main window's roads into the week page and the to-do window: what it passes, what it takes back,
// and what is in the files afterwards.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <sstream>

#include "app/main_form.h"
#include "app/rx_calendar_ex.h"
#include "app/startup.h"
#include "cli/cli.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/ini_file.h"
#include "common/qt_colours.h"
#include "common/qt_text.h"
#include "desk/desk_dlg1.h"
#include "desk/reminder_editor.h"
#include "desk/todo_dlg.h"
#include "store/cal_db.h"
#include "support/parts.h"
#include "support/program_folder.h"
#include "support/store_days.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
using test::part;

namespace {

const int kToday = dayNumber(2026, 3, 11);

}  // namespace

class MainWindowDeskTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;

    Program& program() const { return run->program; }
    void newRun() {
        run = std::make_unique<test::TestContext>(dir->path(), kToday);
        seams = &run->seams;
    }

    // A program folder with one calendar "Ann"; today's reminder not yet acknowledged.
    void prepareFolder(const std::string& todayText) {
        test::writeProgramFolder(*dir, "[Calendar]\r\nLast Accepted Date=" + std::to_string(kToday - 1) + "\r\n",
                                 {{kToday, todayText}});
    }

    // The main window with the others as at start, after its first activation.
    std::unique_ptr<TCalMainForm> startedForm() {
        auto form = std::unique_ptr<TCalMainForm>(createWindows(run->context));
        form->FormActivate();
        return form;
    }

    std::string cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--folder", dir->path()});
        std::ostringstream out, err;
        cli::run(args, out, err);
        return out.str();
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        newRun();
    }

    void cleanup() {
        run.reset();
        dir.reset();
    }

    void calendarButtonOpensTheWeekPageOfTheGridsDate() {
        prepareFolder("Doctor 10am");
        auto form = startedForm();
        auto* desk = form->findChild<TDeskDlg1*>();
        QVERIFY(desk);
        QCOMPARE(part<QLineEdit>(desk, "ceUser")->text(), QStringLiteral("Ann"));  // set at every activation
        part<TRxCalendarEx>(form.get(), "Cal")->SetCalendarDate(dayNumber(2026, 3, 12));
        program().settings.Background = winRgb(10, 20, 30);
        struct Seen {
            int year = 0, month = 0, day = 0;
            QColor colour;
            int focusedCell = 0;
            QString todayText;
        } seen;
        seams->scripts.push_back([&](QDialog* d) {
            auto* page = qobject_cast<TDeskDlg1*>(d);
            if (!page) return int(mrNone);
            seen = {page->page().PageYear,
                    page->page().PageMonth,
                    page->page().SelectedDay,
                    part<QFrame>(page, "Panel1")->palette().color(QPalette::Window),
                    0,
                    {}};
            seen.focusedCell = page->focusedCellNumber();
            seen.todayText = part<ReminderEditor>(page, "m3")->toPlainText();
            part<ReminderEditor>(page, "m10")->setPlainText(QStringLiteral("Dentist 9am\nBring the card"));
            part<QToolButton>(page, "WEndBtn")->click();
            part<QToolButton>(page, "ExitBtn")->click();
            return page->result();
        });
        part<QPushButton>(form.get(), "DeskBtn")->click();
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TDeskDlg1")});
        QCOMPARE(seen.year, 2026);
        QCOMPARE(seen.month, 3);
        QCOMPARE(seen.day, 12);
        QCOMPARE(seen.colour, QColor(10, 20, 30));
        QCOMPARE(seen.focusedCell, 4);
        QCOMPARE(seen.todayText, QStringLiteral("Doctor 10am"));
        QCOMPARE(program().settings.Background, winRgb(10, 20, 30));
        QVERIFY(!program().settings.ShowWeekends);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(18),
                 int(TRxCalendarEx::kGreenMark));  // the marks were recomputed
        IniFile ini;
        QVERIFY(ini.load(dir->file("Orvella.INI")));
        QCOMPARE(ini.readInteger("Calendar", "Background", 0), int(winRgb(10, 20, 30)));
        QVERIFY(!ini.readBool("Calendar", "Show Weekends", true));
        form->close();
        QCOMPARE(cli({"show", "2026-03-18"}), std::string("Dentist 9am\nBring the card\n"));
    }

    // Another calendar chosen in the week page: the grid behind it shows the new calendar's dots at once.
    void theGridShowsTheDotsOfTheCalendarSwitchedTo() {
        prepareFolder("Ann's today");
        dir->write("CalUsers.DAT", "Ann\r\nBob\r\n");
        cli({"--calendar", "Bob", "set", "2026-03-20", "Bob's"});
        auto form = startedForm();
        auto* grid = part<TRxCalendarEx>(form.get(), "Cal");
        QCOMPARE(grid->GetMark(11), int(TRxCalendarEx::kGreenMark));
        QCOMPARE(grid->GetMark(20), int(TRxCalendarEx::kNoMark));
        std::pair<int, int> switched;
        seams->scripts.push_back([&](QDialog* d) {
            auto* page = qobject_cast<TDeskDlg1*>(d);
            seams->scripts.push_back([](QDialog* users) {
                part<QListWidget>(users, "lbUsers")->setCurrentRow(1);
                part<QPushButton>(users, "OKBtn")->click();
                return users->result();
            });
            part<QToolButton>(page, "RxSpeedButton1")->click();
            switched = {grid->GetMark(11), grid->GetMark(20)};
            part<QToolButton>(page, "ExitBtn")->click();
            return page->result();
        });
        part<QPushButton>(form.get(), "DeskBtn")->click();
        QCOMPARE(program().calendars.currentName(), std::string("Bob"));
        QCOMPARE(switched, (std::pair<int, int>(TRxCalendarEx::kNoMark, TRxCalendarEx::kGreenMark)));
        QCOMPARE(grid->GetMark(11), int(TRxCalendarEx::kNoMark));
        QCOMPARE(grid->GetMark(20), int(TRxCalendarEx::kGreenMark));
    }

    // orvella-cli works on the calendar while the windows are open: the grid, the week page and the to-do
    // window show what it wrote; a day that both it and the user changed keeps both texts, or the user's
    // with the other in the archive where both do not fit, and the user is told which day.
    void anotherProgramsChangesAreShownAndNeverOverwritten() {
        prepareFolder("Doctor 10am");
        auto form = startedForm();
        auto* grid = part<TRxCalendarEx>(form.get(), "Cal");
        cli({"set", "2026-03-20", "Gym"});
        QTRY_COMPARE(grid->GetMark(20), int(TRxCalendarEx::kGreenMark));

        const auto cellOf = [](const TDeskDlg1* page, int day) {
            for (int i = 1; i <= kPageCells; ++i)
                if (page->page().CellDates[static_cast<size_t>(i)] == day)
                    return part<ReminderEditor>(page, qPrintable(QStringLiteral("m%1").arg(i)));
            return static_cast<ReminderEditor*>(nullptr);
        };
        QString typedKept;
        bool lunchShown = false, swimShown = false, callShown = false;
        const size_t told = seams->messages.size();
        seams->scripts.push_back([&](QDialog* d) {
            auto* page = qobject_cast<TDeskDlg1*>(d);
            cli({"set", "2026-03-12", "Lunch"});
            lunchShown = QTest::qWaitFor([&] { return cellOf(page, kToday + 1)->toPlainText() == "Lunch"; });
            cellOf(page, kToday)->setPlainText(QStringLiteral("Doctor 10am, bring the card"));
            cli({"set", "2026-03-11", "Doctor 11am"});
            cli({"set", "2026-03-13", "Swim"});
            swimShown = QTest::qWaitFor([&] { return cellOf(page, kToday + 2)->toPlainText() == "Swim"; });
            typedKept = cellOf(page, kToday)->toPlainText();
            part<QToolButton>(page, "ExitBtn")->click();
            return page->result();
        });
        part<QPushButton>(form.get(), "DeskBtn")->click();
        QVERIFY(lunchShown);
        QVERIFY(swimShown);
        QCOMPARE(typedKept, QStringLiteral("Doctor 10am, bring the card"));
        QCOMPARE(cli({"show", "2026-03-11"}), std::string("Doctor 11am\nDoctor 10am, bring the card\n"));
        QCOMPARE(seams->messages.size(), told + 1);
        QVERIFY(seams->messages.back().text.contains(QStringLiteral("11 March 2026")));

        // The to-do window: another program's text shown while the user has typed nothing; then both type
        // a day full, and the other program's text goes to the archive.
        const int day = kToday + 3;
        const std::string other(600, 'o');
        const QString mine(600, u'm');
        grid->SetCalendarDate(day);
        seams->scripts.push_back([&](QDialog* d) {
            cli({"set", "2026-03-14", "Call Bob"});
            callShown = QTest::qWaitFor([&] { return part<ReminderEditor>(d, "Memo1")->toPlainText() == "Call Bob"; });
            part<ReminderEditor>(d, "Memo1")->setPlainText(mine);
            cli({"set", "2026-03-14", other});
            part<QPushButton>(d, "bOk")->click();
            return d->result();
        });
        part<QPushButton>(form.get(), "ToDoBtn")->click();
        QVERIFY(callShown);
        QCOMPARE(test::storedDay(program().store, day), std::optional<std::string>(toText(mine)));
        QCOMPARE(seams->messages.size(), told + 2);
        QVERIFY(seams->messages.back().text.contains(QStringLiteral("14 March 2026")));
        const std::string archive = purgeArchiveName(program().store.CurrentFileName);
        QVERIFY(seams->messages.back().text.contains(QString::fromStdString(archive)));
        QCOMPARE(dir->read(archive.substr(dir->path().size() + 1)), test::record(day, other));
    }

    void toDoButtonAcknowledgesTheFlashAndStoresTheDay() {
        prepareFolder("Doctor 10am");
        auto form = startedForm();
        QVERIFY(form->runState().ToDoFlashing);
        QVERIFY(part<QTimer>(form.get(), "tFlash")->isActive());
        form->tFlashTimer();  // an odd tick: the caption is empty
        const int day = kToday - 3;
        part<TRxCalendarEx>(form.get(), "Cal")->SetCalendarDate(day);
        QString dateShown;
        QPoint shownAt;
        QString textShown = QStringLiteral("not shown");
        seams->scripts.push_back([&](QDialog* d) {
            if (!qobject_cast<TToDoDlg*>(d)) return int(mrNone);
            dateShown = part<QLabel>(d, "DatePanel")->text();
            shownAt = d->pos();
            textShown = part<ReminderEditor>(d, "Memo1")->toPlainText();
            part<ReminderEditor>(d, "Memo1")->setPlainText(QStringLiteral("Pay rent"));
            part<QPushButton>(d, "bOk")->click();
            return d->result();
        });
        const QRect mainAt = form->frameGeometry();
        part<QPushButton>(form.get(), "ToDoBtn")->click();
        QCOMPARE(dateShown, fromText(formatDate("d mmmm yyyy", day, systemDateNames())));
        // Centred over the main window as it stood when the button was pressed.
        QCOMPARE(shownAt, QPoint(mainAt.x() + (mainAt.width() - 281) / 2, mainAt.y() + (mainAt.height() - 445) / 2));
        QCOMPARE(textShown, QString());
        QVERIFY(!form->runState().ToDoFlashing);
        QVERIFY(!part<QTimer>(form.get(), "tFlash")->isActive());
        QCOMPARE(part<QPushButton>(form.get(), "ToDoBtn")->text(), QStringLiteral("To &Do"));
        QCOMPARE(program().settings.LastAcceptedDate, kToday);
        QCOMPARE(test::storedDay(program().store, day), std::optional<std::string>("Pay rent"));
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(toYmd(day).day), int(TRxCalendarEx::kGreenMark));

        // A double click on the grid opens it too; cancelled, nothing is stored.
        part<TRxCalendarEx>(form.get(), "Cal")->SetCalendarDate(kToday);
        seams->scripts.push_back([](QDialog* d) {
            part<ReminderEditor>(d, "Memo1")->clear();
            part<QPushButton>(d, "bCancel")->click();
            return d->result();
        });
        emit part<TRxCalendarEx>(form.get(), "Cal")->doubleClicked();
        QCOMPARE(seams->modalClasses.size(), 2);
        QCOMPARE(test::storedDay(program().store, kToday), std::optional<std::string>("Doctor 10am"));
        form->close();

        // The flashing does not come back that day.
        form.reset();
        newRun();
        auto again = startedForm();
        QVERIFY(!again->runState().ToDoFlashing);
        QVERIFY(!part<QTimer>(again.get(), "tFlash")->isActive());
    }
};

QTEST_MAIN(MainWindowDeskTest)
#include "main_window_desk_test.moc"
