// Shows the week page or the to-do window with sample reminders, for a look at them on a real display:
//   desk_screens four|one|noweekends|todo|explain [seconds [program folder]]
// With a program folder the calendar is kept there ("CalUsers.DAT", "Data") for orvella-cli to read.
// Not a test: nothing is checked here.

#include <QApplication>
#include <QCheckBox>
#include <QTextCursor>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "common/day_number.h"
#include "common/ui_seams.h"
#include "desk/desk_dlg1.h"
#include "desk/explain_dlg.h"
#include "desk/reminder_editor.h"
#include "desk/todo_dlg.h"
#include "store/cal_db.h"
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
    Program& s = appState();
    s.calendars.DataFolder = folder + "/Data";
    s.calendars.Names = {"Ann Smith - Home"};
    s.Background = winRgb(0, 128, 128);
    s.Foreground = winRgb(255, 255, 225);
    s.ShowWeekends = mode != "noweekends";
    appState().store.setCalendars(&s.calendars);
    appState().store.OpenCurrentCalendar();
    const int first = dayNumber(2026, 1, 26);
    test::putDay(first, "Dentist 10am\r\nBring the card");
    test::putDay(first + 3, "<Gym>\r\nCall Bob about the car");
    test::putDay(first + 5, "Market\r\n<Cash to bank>\r\n");
    test::putDay(first + 6, "Lunch at Mum's");
    test::putDay(first + 10, "<Gym>\r\n");
    test::putDay(first + 15, "Report due!\r\nPrint 3 copies\r\nMeeting room B at 2pm\r\nThen the train home");
    test::putDay(first + 17, "<Gym>\r\n");
    test::putDay(first + 20, "Caf\xE9 with Zo\xEB \x80" "12");
    test::putDay(first + 26, "Pay rent");

    if (mode == "explain") {
        TExplainDlg explain;
        QTimer::singleShot(seconds * 1000, &app, [&] { explain.done(mrOk); });
        return explain.exec() >= 0 ? 0 : 1;
    }
    if (mode == "todo") {
        TToDoDlg todo;
        QTimer::singleShot(seconds * 1000, &app, [&] { todo.done(mrCancel); });
        todo.editDay(first + 15, QRect(300, 150, 474, 541));
        return 0;
    }
    TDeskDlg1 desk;
    desk.page.PageYear = 2026;
    desk.page.PageMonth = 2;
    desk.page.SelectedDay = 4;
    if (mode == "one") desk.cb4week->setChecked(false);
    desk.show();
    QTimer::singleShot(300, &desk, [&] {
        desk.FocusedCell->moveCursor(QTextCursor::End);
        desk.FocusedCell->insertPlainText(QStringLiteral("Typed just now"));
    });
    QTimer::singleShot(seconds * 1000, &app, [&] { desk.ExitBtnClick(); });
    return app.exec();
}
