#include "app/startup.h"

#include "app/about_dlg.h"
#include "app/agent_dlg.h"
#include "app/image_dlg.h"
#include "app/img_holder.h"
#include "app/main_form.h"
#include "app/option_dlg.h"
#include "app/sync_dlg.h"
#include "app/sync_runner.h"
#include "backup/backup_dlg.h"
#include "common/app_context.h"
#include "common/ui_seams.h"
#include "desk/desk_dlg1.h"
#include "desk/explain_dlg.h"
#include "desk/todo_dlg.h"
#include "events/annual_dlg.h"
#include "events/check_dlg.h"
#include "events/ds_dlg.h"
#include "print/cmd_dlg.h"
#include "print/print_dlg.h"
#include "program/program.h"
#include "store/add_user_dlg.h"
#include "store/calendar_watch.h"
#include "store/chg_user_dlg.h"
#include "store/edit_user_dlg.h"
#include "store/name_error_dlg.h"
#include "ticker/day_notifier.h"
#include "ticker/remind_dlg.h"

namespace orv {

TCalMainForm* createWindows(AppContext& context) {
    UiSeams& ui = context.ui();
    auto* main = new TCalMainForm(context);
    if (main->startupRefused()) {
        delete main;
        return nullptr;
    }
    // The main window's window-system window now, not at its first showing: its frame is then known to
    // whatever places it or lays a window over its title before it is shown.
    main->winId();
    // The others, in their order; each is a child of the main window and lives until the program ends.
    auto* image = new TImageDlg(ui, main);
    auto* desk = new TDeskDlg1(context, main);
    auto* todo = new TToDoDlg(context, main);
    auto* chgUser = new TChgUserDlg(context, main);
    auto* users = new TEditUserDlg(context, main);
    auto* addUser = new TAddUserDlg(context, main);
    auto* nameError = new TNameErrorDlg(main);
    auto* options = new TOptionDlg(context, main);
    auto* printControls = new TCmdDlg(context, main);
    auto* about = new TfrmAbout1(ui, main);
    auto* ds = new TDSDlg(ui, main);
    auto* explain = new TExplainDlg(ui, main);
    auto* holder = new TImgHolder(ui, main);
    auto* printPage = new TPrintDlg(context, main);
    auto* annual = new TAnnualDlg(context, main);  // reads "Events.dat" of the program folder
    auto* remind = new TRemindDlg(context, main);
    auto* check = new TCheckDlg(context, main);
    auto* agent = new TAgentDlg(ui, main);
    auto* backup = new TBackupDlg(context, main);
    auto* syncRunner = new SyncRunner(context, main);
    auto* syncWindow = new TSyncDlg(context, *syncRunner, main);

    // The main window opens the others.
    main->setPictureHolder(holder);
    main->setOptionsWindow(options);
    main->setBackupWindow(backup);
    QObject::connect(main, &TCalMainForm::activated, desk, &TDeskDlg1::showCurrentCalendarName);
    QObject::connect(main, &TCalMainForm::activated, options, &TOptionDlg::RestoreOptions);
    QObject::connect(main, &TCalMainForm::contactRequested, about, [&ui, about] { ui.execModal(about); });
    QObject::connect(main, &TCalMainForm::infoRequested, agent, [&ui, agent] { ui.execModal(agent); });
    QObject::connect(main, &TCalMainForm::pictureRequested, image, &TImageDlg::showPicture);
    QObject::connect(main, &TCalMainForm::toDoRequested, todo, &TToDoDlg::editDay);
    QObject::connect(main, &TCalMainForm::calendarRequested, desk, &TDeskDlg1::openOn);
    QObject::connect(main, &TCalMainForm::firstCalendarNameRequested, addUser,
                     [main, addUser] { addUser->askFirstName(main); });
    QObject::connect(main, &TCalMainForm::tickerStartRequested, remind, [main, remind] { remind->startOver(main); });
    QObject::connect(main, &TCalMainForm::tickerRebuildRequested, remind, &TRemindDlg::rebuildTicker);
    QObject::connect(main, &TCalMainForm::printRequested, printPage, [main, printPage, printControls] {
        printPage->ShowPreview(main->selectedDate(), main->runState().ArtworkList, printControls);
    });

    // What the others ask of the main window and of one another.
    QObject::connect(todo, &TToDoDlg::activated, main, &TCalMainForm::RefreshWindow);
    QObject::connect(options, &TOptionDlg::weekStartChosen, main, &TCalMainForm::setWeekStart);
    QObject::connect(options, &TOptionDlg::textureChosen, main, &TCalMainForm::repaintTextures);
    QObject::connect(options, &TOptionDlg::yearlyDatesRequested, annual,
                     [main, annual] { annual->ShowBirthdays(main->selectedDate()); });
    QObject::connect(remind, &TRemindDlg::titleChanged, main, &QWidget::setWindowTitle);
    QObject::connect(printControls, &TCmdDlg::choiceChanged, printPage, &TPrintDlg::setChoice);
    QObject::connect(printControls, &TCmdDlg::printRequested, printPage,
                     [printPage, printControls] { printPage->PrintBtnClick(printControls); });
    QObject::connect(options, &TOptionDlg::syncWindowRequested, syncWindow,
                     [&ui, syncWindow] { ui.execModal(syncWindow); });

    // The sync of the current calendar: from the first activation on, beside the windows.
    QObject::connect(main, &TCalMainForm::dayBegan, syncRunner, &SyncRunner::startRuns);
    QObject::connect(syncRunner, &SyncRunner::stateChanged, main, &TCalMainForm::showSyncState);
    QObject::connect(syncRunner, &SyncRunner::calendarChanged, main, &TCalMainForm::showCalendarAgain);
    QObject::connect(syncRunner, &SyncRunner::progressed, syncWindow, &TSyncDlg::runProgressed);
    QObject::connect(syncRunner, &SyncRunner::finished, syncWindow, &TSyncDlg::runFinished);
    desk->setUsersWindow(users);
    desk->setExplainWindow(explain);
    QObject::connect(desk, &TDeskDlg1::repeatRequested, annual, &TAnnualDlg::ShowRepeating);
    QObject::connect(desk, &TDeskDlg1::calendarSwitched, main, &TCalMainForm::RefreshDayMarks);

    // Another program's changes to the current calendar (orvella-cli, a second window program, a restore):
    // looked for at every activation and while the windows are open, and shown wherever the days are.
    auto* watch = new CalendarWatch(context.program().store, main);
    QObject::connect(main, &TCalMainForm::activated, watch, &CalendarWatch::check);
    QObject::connect(todo, &TToDoDlg::activated, watch, &CalendarWatch::check);
    QObject::connect(desk, &TDeskDlg1::activated, watch, &CalendarWatch::check);
    QObject::connect(desk, &TDeskDlg1::calendarSwitched, watch, &CalendarWatch::check);
    QObject::connect(watch, &CalendarWatch::changed, main, &TCalMainForm::RefreshDayMarks);
    QObject::connect(watch, &CalendarWatch::changed, desk, &TDeskDlg1::showStoredTexts);
    QObject::connect(watch, &CalendarWatch::changed, todo, &TToDoDlg::showStoredText);
    users->setNameWindows(addUser, chgUser);
    addUser->setNameErrorDlg(nameError);
    chgUser->setNameErrorDlg(nameError);
    annual->setCheckWindow(check);
    annual->setDateWindow(ds);
    remind->setYearlyDates(&annual->birthdayList(), annual->lookAheadDays());

    // The desktop's notice of the day.
    auto* notices = new DayNotifier(context.program(), context.notifier(), main);
    notices->setYearlyDates(&annual->birthdayList());
    QObject::connect(main, &TCalMainForm::dayBegan, notices, &DayNotifier::dayBegins);
    return main;
}

}  // namespace orv
