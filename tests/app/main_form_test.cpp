// The main window's life: creation, first activation, flashing, timers and closing.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/app_state.h"
#include "app/main_form.h"
#include "app/warn2_dlg.h"
#include "common/clock.h"
#include "common/day_number.h"
#include "common/ini_file.h"
#include "store/add_user_dlg.h"
#include "store/cal_db.h"
#include "support/fake_seams.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

using namespace orv;

namespace {

const int kToday = dayNumber(2026, 12, 8);

// Answers the first-start name window with a name (or Cancel when empty).
std::function<int(QDialog*)> typeName(const QString& name) {
    return [name](QDialog* d) {
        auto* dlg = qobject_cast<TAddUserDlg*>(d);
        if (!dlg || name.isEmpty()) return int(mrCancel);
        dlg->eName->setText(name);
        dlg->BitBtn2Click();
        return dlg->result();
    };
}


}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::FakeSeams> seams;

    std::unique_ptr<TCalMainForm> makeForm() { return std::make_unique<TCalMainForm>(dir->path()); }

    // A program folder with one calendar "Ann" holding the given day.
    void prepareFolder(const std::string& ini, int reminderDay = 0) {
        test::writeProgramFolder(*dir, ini, reminderDay ? test::Days{{reminderDay, "Doctor 10am"}} : test::Days{});
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        seams = std::make_unique<test::FakeSeams>();
        test::resetProgramState(kToday);
    }

    void cleanup() {
        test::clearProgramState();
        seams.reset();
        dir.reset();
    }

    void firstStartAsksForANameAndWritesEveryKey() {
        seams->screen = QRect(0, 0, 1024, 768);
        seams->scripts.push_back(typeName(QStringLiteral("Ann Smith")));
        auto form = makeForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Orvella Daymark & Personal Planner"));
        QCOMPARE(form->size(), QSize(474, 541));
        form->FormActivate();
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TAddUserDlg")});
        QVERIFY(form->FirstRun);
        QVERIFY(form->tFlash->isActive());
        QVERIFY(form->tDay->isActive());
        QCOMPARE(form->tDay->interval(), 6000);
        // Centred on the screen.
        QCOMPARE(form->x(), (1024 - form->frameGeometry().width()) / 2);
        form->close();

        IniFile ini;
        QVERIFY(ini.load(dir->file("Orvella.INI")));
        QCOMPARE(QString::fromStdString(ini.readString("Calendar", "Path", "")),
                 QString::fromStdString(dir->path() + "/Data"));
        QCOMPARE(ini.readString("Calendar", "Background", ""), std::string("-2147483633"));
        QCOMPARE(ini.readString("Calendar", "Foreground", ""), std::string("-2147483633"));
        for (const auto& [section, key] : std::vector<std::pair<std::string, std::string>>{
                 {"System", "Left"}, {"System", "Top"}, {"System", "Size"}, {"System", "Current User"},
                 {"Calendar", "Default Date Format"}, {"Calendar", "Backgrd mode"}, {"Calendar", "Show Weekends"},
                 {"Calendar", "Last Accepted Date"}, {"Calendar", "Show Usage"}, {"Calendar", "Tile"},
                 {"Reminders", "Enabled"}, {"Reminders", "Kind"}, {"Reminders", "Date"}, {"Reminders", "Time"}})
            QVERIFY2(ini.hasKey(section, key), key.c_str());
        QCOMPARE(dir->read("CalUsers.DAT"), std::string("Ann Smith\r\n"));
        QVERIFY(dir->exists("Data"));
    }

    void firstStartCancelledKeepsUser1() {
        seams->scripts.push_back(typeName(QString()));
        auto form = makeForm();
        form->FormActivate();
        form->close();
        QCOMPARE(dir->read("CalUsers.DAT"), std::string("User1\r\n"));
    }

    void smallScreenOnFirstRunTakesTheSmallPicture() {
        seams->screen = QRect(0, 0, 640, 480);
        auto form = makeForm();
        form->FormActivate();
        QCOMPARE(appState().settings.Size, 0);
        QCOMPARE(form->y(), (480 - form->frameGeometry().height()) / 2);
    }

    void settingsWithOnlyCalendarSectionOpenAtDefaultPlace() {
        prepareFolder("[Calendar]\r\nShow Weekends=0\r\n");
        auto form = makeForm();
        form->FormActivate();
        QCOMPARE(form->pos(), QPoint(300, 40));
        QCOMPARE(appState().settings.Size, 1);
        QVERIFY(!form->FirstRun);
        QVERIFY(!appState().settings.ShowWeekends);
        QVERIFY(seams->modalClasses.isEmpty());
    }

    void colourDepthIsCheckedOnlyOnAFirstRun_data() {
        QTest::addColumn<int>("depth");
        QTest::addColumn<bool>("settingsExist");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<bool>("refused");
        QTest::newRow("4 bits, first run") << 4 << false << QStringLiteral("16-color mode detected.") << true;
        QTest::newRow("8 bits, first run") << 8 << false << QStringLiteral("256-color mode detected.") << false;
        QTest::newRow("8 bits, later run") << 8 << true << QString() << false;
        QTest::newRow("24 bits, first run") << 24 << false << QString() << false;
    }

    void colourDepthIsCheckedOnlyOnAFirstRun() {
        QFETCH(int, depth);
        QFETCH(bool, settingsExist);
        QFETCH(QString, firstLine);
        QFETCH(bool, refused);
        if (settingsExist) prepareFolder("[System]\r\nLeft=1\r\n");
        seams->depth = depth;
        QString shownLine, shownSecond, shownTitle;
        seams->scripts.push_back([&](QDialog* d) {
            if (auto* w = qobject_cast<TWarn2*>(d)) {
                shownLine = w->l1->text();
                shownSecond = w->l2->text();
                shownTitle = w->windowTitle();
            }
            return int(mrOk);
        });
        auto form = makeForm();
        QCOMPARE(shownLine, firstLine);
        QCOMPARE(form->startupRefused(), refused);
        if (!firstLine.isEmpty()) QCOMPARE(shownTitle, QStringLiteral("Orvella System Requirements"));
        if (depth == 4) QCOMPARE(shownSecond, QStringLiteral("Orvella cannot operate in 16-color mode."));
        if (depth == 8 && !settingsExist)
            QCOMPARE(shownSecond, QStringLiteral("Orvella will function better with a higher color setting."));
    }

    void toDoFlashesWhenTodayHasAnUnacknowledgedReminder_data() {
        QTest::addColumn<int>("lastAccepted");
        QTest::addColumn<int>("reminderDay");
        QTest::addColumn<bool>("flashing");
        QTest::newRow("yesterday accepted, reminder today") << kToday - 1 << kToday << true;
        QTest::newRow("today accepted") << kToday << kToday << false;
        QTest::newRow("no reminder today") << kToday - 1 << kToday + 1 << false;
    }

    void toDoFlashesWhenTodayHasAnUnacknowledgedReminder() {
        QFETCH(int, lastAccepted);
        QFETCH(int, reminderDay);
        QFETCH(bool, flashing);
        prepareFolder("[Calendar]\r\nLast Accepted Date=" + std::to_string(lastAccepted) + "\r\n", reminderDay);
        auto form = makeForm();
        form->FormActivate();
        QCOMPARE(form->ToDoFlashing, flashing);
        QCOMPARE(form->tFlash->isActive(), flashing);
        if (!flashing) {
            QCOMPARE(appState().settings.LastAcceptedDate, lastAccepted);
            return;
        }
        form->tFlashTimer();  // counter 1: odd, caption empty
        QCOMPARE(form->ToDoBtn->text(), QString());
        form->tFlashTimer();
        QCOMPARE(form->ToDoBtn->text(), QStringLiteral("To &Do"));
        form->tFlashTimer();
        form->ToDoBtnClick();  // stops on an odd tick; the caption comes back all the same
        QVERIFY(!form->tFlash->isActive());
        QVERIFY(!form->ToDoFlashing);
        QCOMPARE(form->ToDoBtn->text(), QStringLiteral("To &Do"));
        QCOMPARE(appState().settings.LastAcceptedDate, kToday);
        IniFile ini;
        ini.load(dir->file("Orvella.INI"));
        QCOMPARE(ini.readInteger("Calendar", "Last Accepted Date", 0), kToday);
        form->close();

        // A second start on the same day does not flash.
        resetAppState();
        auto again = makeForm();
        again->FormActivate();
        QVERIFY(!again->ToDoFlashing);
    }

    void flashCounterWrapsAndInfoButtonStopsItsFlashing() {
        auto form = makeForm();
        form->FormActivate();
        QVERIFY(form->FirstRun);
        form->FlashCounter = 98;
        form->tFlashTimer();
        QCOMPARE(form->FlashCounter, 99);
        QVERIFY(form->InfoBtn->styleSheet().contains(QStringLiteral("255, 0, 0")));
        form->tFlashTimer();
        QCOMPARE(form->FlashCounter, 0);
        QVERIFY(form->InfoBtn->styleSheet().contains(QStringLiteral("black")));
        form->tFlashTimer();
        form->InfoBtnClick();
        QVERIFY(!form->FirstRun);
        QVERIFY(!form->tFlash->isActive());
        QVERIFY(form->InfoBtn->styleSheet().contains(QStringLiteral("black")));
    }

    void closingFlushesDeletedDays() {
        prepareFolder("[System]\r\nLeft=5\r\n", kToday + 3);
        auto form = makeForm();
        form->FormActivate();
        QVERIFY(appState().store.FindDay(kToday + 3));
        appState().store.DeleteCurrentDay();
        QCOMPARE(dir->read("Data/Ann.DBX").size(), size_t(1028));
        form->close();
        QVERIFY(!dir->exists("Data/Ann.DBX"));
        QCOMPARE(dir->read("CalUsers.DAT"), std::string("Ann\r\n"));
    }

    void anUnusableDataFolderIsNamedAndNothingIsWritten() {
        dir->write("blocker", "a plain file");
        const std::string ini = "[Calendar]\r\nPath=" + dir->path() + "/blocker/Data\r\n";
        dir->write("Orvella.INI", ini);
        auto form = makeForm();
        form->FormActivate();
        QVERIFY(form->startupAbandoned());
        QCOMPARE(int(seams->messages.size()), 1);
        QVERIFY(seams->messages[0].text.contains(QString::fromStdString(dir->path() + "/blocker/Data")));
        form->close();
        QCOMPARE(dir->read("Orvella.INI"), ini);
        QVERIFY(!dir->exists("CalUsers.DAT"));
    }

    void anUnreadableCalendarListIsNeitherUsedNorOverwritten() {
        dir->write("Orvella.INI", "[System]\r\nLeft=5\r\n");
        dir->write("CalUsers.DAT/not a file", "");  // a folder where the list should be
        auto form = makeForm();
        form->FormActivate();
        QVERIFY(form->startupAbandoned());
        QCOMPARE(int(seams->messages.size()), 1);
        QVERIFY(seams->messages[0].text.contains(QStringLiteral("CalUsers.DAT")));
        form->close();
        QCOMPARE(dir->read("Orvella.INI"), std::string("[System]\r\nLeft=5\r\n"));
        QVERIFY(dir->exists("CalUsers.DAT/not a file"));
    }

    void dayTimerRemembersTheDay() {
        prepareFolder("[System]\r\nLeft=5\r\n");
        auto form = makeForm();
        form->FormActivate();
        QCOMPARE(form->LastDaySeen, kToday);
        appState().clock = Clock(kToday + 1);
        form->tDayTimer();
        QCOMPARE(form->LastDaySeen, kToday + 1);
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
