// Shows the week page or the to-do window with sample reminders, for a look at them on a real display:
//   desk_screens four|one|noweekends|todo|explain|shared|todoshared [seconds [program folder]]
// "shared" and "todoshared": another program writes two days shown, one of them the day being typed into,
// and the save after the pause tells what it kept.
// With a program folder the calendar is kept there ("CalUsers.DAT", "Data") for orvella-cli to read.
// Not a test: nothing is checked here.

#include <QApplication>
#include <QCheckBox>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "common/app_context.h"
#include "common/day_number.h"
#include "common/ui_seams.h"
#include "desk/desk_dlg1.h"
#include "desk/explain_dlg.h"
#include "desk/reminder_editor.h"
#include "desk/todo_dlg.h"
#include "program/program.h"
#include "store/calendar_watch.h"
#include "support/parts.h"
#include "support/store_days.h"
#include "support/temp_dir.h"

using namespace orv;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("four");
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 6;
    test::TempDir temp;
    const std::string folder = argc > 3 ? argv[3] : temp.path();
    std::filesystem::create_directories(folder + "/Data");
    std::ofstream(folder + "/CalUsers.DAT", std::ios::binary) << "Ann Smith - Home\r\n";
    Program program(folder);
    AppContext context(program);
    program.calendars.DataFolder = folder + "/Data";
    program.calendars.Names = {"Ann Smith - Home"};
    program.settings.Background = winRgb(0, 128, 128);
    program.settings.Foreground = winRgb(255, 255, 225);
    program.settings.ShowWeekends = mode != "noweekends";
    CalDb& store = program.store;
    store.OpenCurrentCalendar();
    const int first = dayNumber(2026, 1, 26);
    test::putDay(store, first, "Dentist 10am\r\nBring the card");
    test::putDay(store, first + 3, "<Gym>\r\nCall Bob about the car");
    test::putDay(store, first + 5, "Market\r\n<Cash to bank>\r\n");
    test::putDay(store, first + 6, "Lunch at Mum's");
    test::putDay(store, first + 10, "<Gym>\r\n");
    test::putDay(store, first + 15, "Report due!\r\nPrint 3 copies\r\nMeeting room B at 2pm\r\nThen the train home");
    test::putDay(store, first + 17, "<Gym>\r\n");
    test::putDay(store, first + 20,
                 "Caf\xE9 with Zo\xEB \x80"
                 "12");
    test::putDay(store, first + 26, "Pay rent");

    if (mode == "explain") {
        TExplainDlg explain(context.ui());
        QTimer::singleShot(seconds * 1000, &app, [&] { explain.done(mrOk); });
        return explain.exec() >= 0 ? 0 : 1;
    }
    // Another program on the same calendar, and the watch that start-up wires.
    CalendarWatch watch(store, &app);
    CalDb other;
    other.LoadStore(store.CurrentFileName);
    watch.check();
    if (mode == "todoshared") {
        TToDoDlg todo(context);
        QObject::connect(&watch, &CalendarWatch::changed, &todo, &TToDoDlg::showStoredText);
        QTimer::singleShot(500, &todo, [&] { other.writeDay(first + 16, "Written by orvella-cli meanwhile"); });
        QTimer::singleShot(1200, &todo, [&] {
            auto* memo = test::part<ReminderEditor>(&todo, "Memo1");
            memo->moveCursor(QTextCursor::End);
            memo->insertPlainText(QStringLiteral("\nTyped just now"));
            other.writeDay(first + 16, "Changed by another program\r\nmeanwhile");
        });
        todo.editDay(first + 16, QRect(300, 150, 474, 541));
        return 0;
    }
    if (mode == "todo") {
        TToDoDlg todo(context);
        QTimer::singleShot(seconds * 1000, &app, [&] { todo.done(mrCancel); });
        todo.editDay(first + 15, QRect(300, 150, 474, 541));
        return 0;
    }
    TDeskDlg1 desk(context);
    desk.setPageDate(2026, 2, 4);
    if (mode == "one") test::part<QCheckBox>(&desk, "cb4week")->setChecked(false);
    QObject::connect(&watch, &CalendarWatch::changed, &desk, &TDeskDlg1::showStoredTexts);
    desk.show();
    QTimer::singleShot(300, &desk, [&] {
        auto* cell = test::part<ReminderEditor>(&desk, qPrintable(QStringLiteral("m%1").arg(desk.focusedCellNumber())));
        cell->moveCursor(QTextCursor::End);
        cell->insertPlainText(QStringLiteral("Typed just now"));
        if (mode != "shared") return;
        other.writeDay(first + 12, "Written by orvella-cli meanwhile");
        other.writeDay(first + 9, "Changed by another program");
    });
    QTimer::singleShot(seconds * 1000, &app, [&] { test::part<QToolButton>(&desk, "ExitBtn")->click(); });
    return app.exec();
}
