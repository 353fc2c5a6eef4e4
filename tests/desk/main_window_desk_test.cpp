// The main window's roads into the week page and the to-do window: what it passes, what it takes back,
// and what is in the files afterwards.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <sstream>

#include "app/app_state.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/rx_calendar_ex.h"
#include "cli/cli.h"
#include "common/clock.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/ini_file.h"
#include "common/qt_colours.h"
#include "common/qt_text.h"
#include "desk/desk_dlg1.h"
#include "desk/reminder_editor.h"
#include "desk/todo_dlg.h"
#include "store/cal_db.h"
#include "support/fake_seams.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

using namespace orv;

namespace {

const int kToday = dayNumber(2026, 3, 11);

}  // namespace

class MainWindowDeskTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::FakeSeams> seams;

    // A program folder with one calendar "Ann"; today's reminder not yet acknowledged.
    void prepareFolder(const std::string& todayText) {
        test::writeProgramFolder(*dir, "[Calendar]\r\nLast Accepted Date=" + std::to_string(kToday - 1) + "\r\n",
                                 {{kToday, todayText}});
    }

    // The main window with the two windows created as at start, after its first activation.
    std::unique_ptr<TCalMainForm> startedForm() {
        auto form = std::make_unique<TCalMainForm>(dir->path());
        forms().CalMainForm = form.get();
        new TDeskDlg1(form.get());
        new TToDoDlg(form.get());
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
        seams = std::make_unique<test::FakeSeams>();
        test::resetProgramState(kToday);
        TDeskDlg1::Busy = true;
    }

    void cleanup() {
        forms().CalMainForm = nullptr;
        test::clearProgramState();
        seams.reset();
        dir.reset();
    }

    void calendarButtonOpensTheWeekPageOfTheGridsDate() {
        prepareFolder("Doctor 10am");
        auto form = startedForm();
        TDeskDlg1* desk = forms().DeskDlg1;
        QVERIFY(desk);
        QCOMPARE(desk->ceUser->text(), QStringLiteral("Ann"));  // set at every activation
        form->Cal->SetCalendarDate(dayNumber(2026, 3, 12));
        appState().settings.Background = winRgb(10, 20, 30);
        struct Seen {
            int year = 0, month = 0, day = 0;
            QColor colour;
            int focusedCell = 0;
            QString todayText;
        } seen;
        seams->scripts.push_back([&](QDialog* d) {
            auto* page = qobject_cast<TDeskDlg1*>(d);
            if (!page) return int(mrNone);
            seen = {page->page.PageYear, page->page.PageMonth, page->page.SelectedDay,
                    page->Panel1->palette().color(QPalette::Window), 0, {}};
            page->FormActivate();
            seen.focusedCell = page->focusedCellNumber();
            seen.todayText = page->m[3]->toPlainText();
            page->m[10]->setPlainText(QStringLiteral("Dentist 9am\nBring the card"));
            page->WEndBtnClick();
            page->ExitBtnClick();
            return page->result();
        });
        form->DeskBtn->click();
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TDeskDlg1")});
        QCOMPARE(seen.year, 2026);
        QCOMPARE(seen.month, 3);
        QCOMPARE(seen.day, 12);
        QCOMPARE(seen.colour, QColor(10, 20, 30));
        QCOMPARE(seen.focusedCell, 4);
        QCOMPARE(seen.todayText, QStringLiteral("Doctor 10am"));
        QCOMPARE(appState().settings.Background, winRgb(10, 20, 30));
        QVERIFY(!appState().settings.ShowWeekends);
        QCOMPARE(form->Cal->GetMark(18), int(TRxCalendarEx::kGreenMark));  // the marks were recomputed
        IniFile ini;
        QVERIFY(ini.load(dir->file("Orvella.INI")));
        QCOMPARE(ini.readInteger("Calendar", "Background", 0), int(winRgb(10, 20, 30)));
        QVERIFY(!ini.readBool("Calendar", "Show Weekends", true));
        form->close();
        QCOMPARE(cli({"show", "2026-03-18"}), std::string("Dentist 9am\nBring the card\n"));
    }

    void toDoButtonAcknowledgesTheFlashAndStoresTheDay() {
        prepareFolder("Doctor 10am");
        auto form = startedForm();
        QVERIFY(form->ToDoFlashing);
        QVERIFY(form->tFlash->isActive());
        form->tFlashTimer();  // an odd tick: the caption is empty
        const int day = kToday - 3;
        form->Cal->SetCalendarDate(day);
        QString dateShown;
        QPoint shownAt;
        QString textShown = QStringLiteral("not shown");
        seams->scripts.push_back([&](QDialog* d) {
            auto* todo = qobject_cast<TToDoDlg*>(d);
            if (!todo) return int(mrNone);
            dateShown = todo->DatePanel->text();
            shownAt = todo->pos();
            textShown = todo->Memo1->toPlainText();
            todo->Memo1->setPlainText(QStringLiteral("Pay rent"));
            todo->bOk->click();
            return todo->result();
        });
        const QRect mainAt = form->frameGeometry();
        form->ToDoBtn->click();
        QCOMPARE(dateShown, fromCp1252(formatDate("d mmmm yyyy", day, systemDateNames())));
        // Centred over the main window as it stood when the button was pressed.
        QCOMPARE(shownAt, QPoint(mainAt.x() + (mainAt.width() - 281) / 2, mainAt.y() + (mainAt.height() - 445) / 2));
        QCOMPARE(textShown, QString());
        QVERIFY(!form->ToDoFlashing);
        QVERIFY(!form->tFlash->isActive());
        QCOMPARE(form->ToDoBtn->text(), QStringLiteral("To &Do"));
        QCOMPARE(appState().settings.LastAcceptedDate, kToday);
        QCOMPARE(test::storedDay(day), std::optional<std::string>("Pay rent"));
        QCOMPARE(form->Cal->GetMark(toYmd(day).day), int(TRxCalendarEx::kGreenMark));

        // A double click on the grid opens it too; cancelled, nothing is stored.
        form->Cal->SetCalendarDate(kToday);
        seams->scripts.push_back([](QDialog* d) {
            auto* todo = qobject_cast<TToDoDlg*>(d);
            todo->Memo1->clear();
            todo->bCancel->click();
            return todo->result();
        });
        emit form->Cal->doubleClicked();
        QCOMPARE(seams->modalClasses.size(), 2);
        QCOMPARE(test::storedDay(kToday), std::optional<std::string>("Doctor 10am"));
        form->close();

        // The flashing does not come back that day.
        form.reset();
        resetAppState();
        auto again = startedForm();
        QVERIFY(!again->ToDoFlashing);
        QVERIFY(!again->tFlash->isActive());
    }
};

QTEST_MAIN(MainWindowDeskTest)
#include "main_window_desk_test.moc"
