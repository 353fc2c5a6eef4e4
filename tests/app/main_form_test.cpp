// The main window's life: creation, first activation, flashing, timers and closing.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/main_form.h"
#include "app/startup.h"
#include "app/warn2_dlg.h"
#include "common/day_number.h"
#include "common/ini_file.h"
#include "store/add_user_dlg.h"
#include "store/cal_db.h"
#include "ticker/remind_dlg.h"
#include "support/parts.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
using test::part;

namespace {

const int kToday = dayNumber(2026, 12, 8);

// Answers the first-start name window with a name (or Cancel when empty).
std::function<int(QDialog*)> typeName(const QString& name) {
    return [name](QDialog* d) {
        if (!qobject_cast<TAddUserDlg*>(d) || name.isEmpty()) return int(mrCancel);
        part<QLineEdit>(d, "eName")->setText(name);
        part<QPushButton>(d, "BitBtn2")->click();
        return d->result();
    };
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;

    Program& program() const { return run->program; }
    // The main window with the others, as the program starts it.
    std::unique_ptr<TCalMainForm> makeForm() { return std::unique_ptr<TCalMainForm>(createWindows(run->context)); }
    void newRun() {
        run = std::make_unique<test::TestContext>(dir->path(), kToday);
        seams = &run->seams;
    }

    // A program folder with one calendar "Ann" holding the given day.
    void prepareFolder(const std::string& ini, int reminderDay = 0) {
        test::writeProgramFolder(*dir, ini, reminderDay ? test::Days{{reminderDay, "Doctor 10am"}} : test::Days{});
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

    void firstStartAsksForANameAndWritesEveryKey() {
        seams->screen = QRect(0, 0, 1024, 768);
        seams->scripts.push_back(typeName(QStringLiteral("Ann Smith")));
        auto form = makeForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Orvella Daymark & Personal Planner"));
        QCOMPARE(form->size(), QSize(474, 541));
        form->FormActivate();
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TAddUserDlg")});
        QVERIFY(form->runState().FirstRun);
        QVERIFY(part<QTimer>(form.get(), "tFlash")->isActive());
        QVERIFY(part<QTimer>(form.get(), "tDay")->isActive());
        QCOMPARE(part<QTimer>(form.get(), "tDay")->interval(), 6000);
        // Centred on the screen.
        QCOMPARE(form->x(), (1024 - form->frameGeometry().width()) / 2);
        form->close();

        IniFile ini;
        QVERIFY(ini.load(dir->file("Orvella.INI")));
        QCOMPARE(ini.readString("Calendar", "Path", ""), std::string("Data"));  // relative: it moves with the folder
        QCOMPARE(ini.readString("Calendar", "Background", ""), std::string("-2147483633"));
        QCOMPARE(ini.readString("Calendar", "Foreground", ""), std::string("-2147483633"));
        for (const auto& [section, key] :
             std::vector<std::pair<std::string, std::string>>{{"System", "Left"},
                                                              {"System", "Top"},
                                                              {"System", "Size"},
                                                              {"System", "Current User"},
                                                              {"Calendar", "Default Date Format"},
                                                              {"Calendar", "Backgrd mode"},
                                                              {"Calendar", "Show Weekends"},
                                                              {"Calendar", "Last Accepted Date"},
                                                              {"Calendar", "Show Usage"},
                                                              {"Calendar", "Tile"},
                                                              {"Reminders", "Enabled"},
                                                              {"Reminders", "Kind"},
                                                              {"Reminders", "Date"},
                                                              {"Reminders", "Time"}})
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
        QCOMPARE(program().settings.Size, 0);
        QCOMPARE(form->y(), (480 - form->frameGeometry().height()) / 2);
    }

    void settingsWithOnlyCalendarSectionOpenAtDefaultPlace() {
        prepareFolder("[Calendar]\r\nShow Weekends=0\r\n");
        auto form = makeForm();
        form->FormActivate();
        QCOMPARE(form->geometry().topLeft(), QPoint(300, 40));
        QCOMPARE(program().settings.Size, 1);
        QVERIFY(!form->runState().FirstRun);
        QVERIFY(!program().settings.ShowWeekends);
        QVERIFY(seams->modalClasses.isEmpty());
    }

    // A stored place that would show too little of the window on every screen (or overflow on the way)
    // gives way to the default one, and that to the middle of the first screen; a usable one is kept.
    void aStoredPlaceOffEveryScreenGivesWayToTheDefault_data() {
        QTest::addColumn<QString>("place");  // lines of section "System"
        QTest::addColumn<QRect>("secondScreen");
        QTest::addColumn<QPoint>("shown");  // null: the middle of the first screen
        const QRect none;
        const QRect right(1024, 0, 1280, 1024);
        QTest::newRow("on the screen") << "Left=600\r\nTop=200" << none << QPoint(600, 200);
        QTest::newRow("partly off the lower right") << "Left=900\r\nTop=700" << none << QPoint(900, 700);
        QTest::newRow("on the second screen") << "Left=1500\r\nTop=500" << right << QPoint(1500, 500);
        QTest::newRow("the second screen gone") << "Left=1500\r\nTop=500" << none << QPoint(300, 40);
        QTest::newRow("largest integer") << "Left=2147483647\r\nTop=40" << none << QPoint(300, 40);
        QTest::newRow("smallest integer") << "Left=300\r\nTop=-2147483648" << none << QPoint(300, 40);
        QTest::newRow("both largest") << "Left=2147483647\r\nTop=2147483647" << none << QPoint(300, 40);
        QTest::newRow("far out") << "Left=100000\r\nTop=100000" << none << QPoint(300, 40);
        QTest::newRow("the top above the screen") << "Left=300\r\nTop=-10" << none << QPoint(300, 40);
        QTest::newRow("a sliver at the left edge") << "Left=-420\r\nTop=40" << none << QPoint(300, 40);
        QTest::newRow("no screen shows the default") << "Left=-5000\r\nTop=40" << QRect() << QPoint();
    }

    void aStoredPlaceOffEveryScreenGivesWayToTheDefault() {
        QFETCH(QString, place);
        QFETCH(QRect, secondScreen);
        QFETCH(QPoint, shown);
        const bool centred = shown.isNull();
        if (centred) seams->screen = QRect(2000, 100, 800, 700);  // nothing at 300, 40
        if (!secondScreen.isNull()) seams->otherScreens = {secondScreen};
        prepareFolder("[System]\r\n" + place.toStdString() + "\r\n");
        auto form = makeForm();
        form->FormActivate();
        if (centred) {
            const QRect frame = form->frameGeometry();
            QCOMPARE(frame.topLeft(), QPoint(2000 + (800 - frame.width()) / 2, 100 + (700 - frame.height()) / 2));
            shown = form->geometry().topLeft();
        }
        QCOMPARE(form->geometry().topLeft(), shown);
        // The reminder strip lies over the window's title, wherever that is.
        const auto* strip = form->findChild<TRemindDlg*>();
        QVERIFY(strip);
        QCOMPARE(strip->geometry().topLeft(), form->frameGeometry().topLeft() + QPoint(24, 3));
        form->close();
        IniFile ini;
        QVERIFY(ini.load(dir->file("Orvella.INI")));
        QCOMPARE(QPoint(ini.readInteger("System", "Left", 0), ini.readInteger("System", "Top", 0)), shown);
    }

    void colourDepthOfTheScreen_data() {
        QTest::addColumn<int>("depth");
        QTest::addColumn<bool>("settingsExist");
        QTest::addColumn<QString>("firstLine");  // empty: no requirements window, the start goes on
        QTest::addColumn<QString>("secondLine");
        const QString sixteen = QStringLiteral("16-color mode detected.");
        const QString sixteenEnds = QStringLiteral("Orvella cannot operate in 16-color mode.");
        const QString eight = QStringLiteral("256-color mode detected.");
        const QString eightEnds = QStringLiteral("Orvella cannot operate in 256-color mode.");
        QTest::newRow("4 bits, first run") << 4 << false << sixteen << sixteenEnds;
        QTest::newRow("4 bits, later run") << 4 << true << sixteen << sixteenEnds;
        QTest::newRow("8 bits, first run") << 8 << false << eight << eightEnds;
        QTest::newRow("8 bits, later run") << 8 << true << eight << eightEnds;
        QTest::newRow("16 bits, first run") << 16 << false << QString() << QString();
        QTest::newRow("24 bits, later run") << 24 << true << QString() << QString();
    }

    void colourDepthOfTheScreen() {
        QFETCH(int, depth);
        QFETCH(bool, settingsExist);
        QFETCH(QString, firstLine);
        QFETCH(QString, secondLine);
        if (settingsExist) prepareFolder("[System]\r\nLeft=1\r\n");
        seams->depth = depth;
        QString shownLine, shownSecond, shownTitle;
        seams->scripts.push_back([&](QDialog* d) {
            if (qobject_cast<TWarn2*>(d)) {
                shownLine = part<QLabel>(d, "l1")->text();
                shownSecond = part<QLabel>(d, "l2")->text();
                shownTitle = d->windowTitle();
            }
            return int(mrOk);
        });
        std::unique_ptr<TCalMainForm> form(createWindows(run->context));
        QCOMPARE(shownLine, firstLine);
        QCOMPARE(shownSecond, secondLine);
        // After the window the program ends: no other window, nothing written.
        QCOMPARE(!form, !firstLine.isEmpty());
        if (form) return;
        QCOMPARE(shownTitle, QStringLiteral("Orvella System Requirements"));
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TWarn2")});
        QCOMPARE(dir->exists("Orvella.INI"), settingsExist);
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
        QCOMPARE(form->runState().ToDoFlashing, flashing);
        QCOMPARE(part<QTimer>(form.get(), "tFlash")->isActive(), flashing);
        if (!flashing) {
            QCOMPARE(program().settings.LastAcceptedDate, lastAccepted);
            return;
        }
        form->tFlashTimer();  // counter 1: odd, caption empty
        QCOMPARE(part<QPushButton>(form.get(), "ToDoBtn")->text(), QString());
        form->tFlashTimer();
        QCOMPARE(part<QPushButton>(form.get(), "ToDoBtn")->text(), QStringLiteral("To &Do"));
        form->tFlashTimer();
        part<QPushButton>(form.get(), "ToDoBtn")->click();  // stops on an odd tick; the caption comes back all the same
        QVERIFY(!part<QTimer>(form.get(), "tFlash")->isActive());
        QVERIFY(!form->runState().ToDoFlashing);
        QCOMPARE(part<QPushButton>(form.get(), "ToDoBtn")->text(), QStringLiteral("To &Do"));
        QCOMPARE(program().settings.LastAcceptedDate, kToday);
        IniFile ini;
        ini.load(dir->file("Orvella.INI"));
        QCOMPARE(ini.readInteger("Calendar", "Last Accepted Date", 0), kToday);
        form->close();
        form.reset();

        // A second start on the same day does not flash.
        newRun();
        auto again = makeForm();
        again->FormActivate();
        QVERIFY(!again->runState().ToDoFlashing);
    }

    void flashCounterWrapsAndInfoButtonStopsItsFlashing() {
        auto form = makeForm();
        form->FormActivate();
        QVERIFY(form->runState().FirstRun);
        for (int tick = 0; tick < 99; ++tick) form->tFlashTimer();
        QCOMPARE(form->runState().FlashCounter, 99);
        QVERIFY(part<QPushButton>(form.get(), "InfoBtn")->styleSheet().contains(QStringLiteral("255, 0, 0")));
        form->tFlashTimer();
        QCOMPARE(form->runState().FlashCounter, 0);
        QVERIFY(part<QPushButton>(form.get(), "InfoBtn")->styleSheet().contains(QStringLiteral("black")));
        form->tFlashTimer();
        part<QPushButton>(form.get(), "InfoBtn")->click();
        QVERIFY(!form->runState().FirstRun);
        QVERIFY(!part<QTimer>(form.get(), "tFlash")->isActive());
        QVERIFY(part<QPushButton>(form.get(), "InfoBtn")->styleSheet().contains(QStringLiteral("black")));
    }

    void closingFlushesDeletedDays() {
        prepareFolder("[System]\r\nLeft=5\r\n", kToday + 3);
        auto form = makeForm();
        form->FormActivate();
        QVERIFY(program().store.FindDay(kToday + 3));
        program().store.DeleteCurrentDay();
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
        QSignalSpy dayBegan(form.get(), &TCalMainForm::dayBegan);
        form->FormActivate();
        QCOMPARE(form->runState().LastDaySeen, kToday);
        QCOMPARE(dayBegan.count(), 1);  // at start, once the calendar is open
        form->tDayTimer();
        QCOMPARE(dayBegan.count(), 1);
        program().clock = Clock(kToday + 1);
        form->tDayTimer();
        QCOMPARE(form->runState().LastDaySeen, kToday + 1);
        QCOMPARE(dayBegan.count(), 2);
        form->FormActivate();  // a later activation is no new day
        QCOMPARE(dayBegan.count(), 2);
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
