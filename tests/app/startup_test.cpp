// Program start: every window exists, hidden, before the main window is shown, and the windows that read
// files at creation read them from the program folder.

#include <QtTest>

#include "app/app_state.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/startup.h"
#include "common/app_context.h"
#include "events/annual_dlg.h"
#include "events/birthday_list.h"
#include "store/cal_db.h"
#include "support/fake_seams.h"
#include "support/temp_dir.h"

using namespace orv;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowIsCreatedOnceAndHidden() {
        test::TempDir dir;
        test::FakeSeams seams;
        resetAppState();
        dir.write("Events.dat", "6,1\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,8\r\n4,1,14\r\n");
        AppContext context(appState(), {&seams});
        TCalMainForm* main = createWindows(context, dir.path());
        QVERIFY(main);
        const Forms& f = forms();
        QCOMPARE(f.CalMainForm, main);
        const std::pair<const char*, bool> created[] = {
            {"TImageDlg", f.ImageDlg},       {"TDeskDlg1", f.DeskDlg1},        {"TToDoDlg", f.ToDoDlg},
            {"TChgUserDlg", f.ChgUserDlg},   {"TEditUserDlg", f.EditUserDlg},  {"TAddUserDlg", f.AddUserDlg},
            {"TNameErrorDlg", f.NameErrorDlg}, {"TOptionDlg", f.OptionDlg},    {"TfrmAbout1", f.frmAbout1},
            {"TDSDlg", f.DSDlg},             {"TExplainDlg", f.ExplainDlg},    {"TImgHolder", f.ImgHolder},
            {"TAnnualDlg", f.AnnualDlg},     {"TRemindDlg", f.RemindDlg},      {"TCheckDlg", f.CheckDlg},
            {"TAgentDlg", f.AgentDlg}};
        for (const auto& [name, exists] : created) QVERIFY2(exists, name);
        QVERIFY(!main->isVisible());
        QCOMPARE(f.AnnualDlg->birthdayList().rowCount(), 2);  // the row read, and the blank row after it
        QVERIFY(seams.messages.empty());
        delete main;
        appState().store.FreeStore();
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
