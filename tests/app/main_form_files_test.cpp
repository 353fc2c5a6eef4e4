// The main window and the files around it: a relative data folder, a full calendar, names in any case, files
// that are no plain files or far too large.

#include <QDir>
#include <QImage>
#include <QtTest>
#include <filesystem>
#include <set>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/main_form.h"
#include "app/startup.h"
#include "cli/cli.h"
#include "events/annual_dlg.h"
#include "store/cal_db.h"
#include "ticker/remind_dlg.h"
#include "support/program_folder.h"
#include "support/store_days.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;

class MainFormFilesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        run = std::make_unique<test::TestContext>(dir->path(), 46023);
        seams = &run->seams;
    }

    void cleanup() {
        run.reset();
        dir.reset();
    }

    void relativeDataFolderLiesInTheProgramFolderAndTheProcessStaysWhereItWas() {
        dir->write("Orvella.INI", "[Calendar]\r\nPath=RelData\r\n");
        dir->write("CalUsers.DAT", "Ann\r\n");
        const QString started = QDir::currentPath();
        TCalMainForm form(run->context);
        form.FormActivate();
        QCOMPARE(QDir::currentPath(), started);
        QCOMPARE(QString::fromStdString(run->program.calendars.DataFolder),
                 QString::fromStdString(dir->file("RelData")));
        QVERIFY(dir->exists("RelData"));
    }

    // The command-line tool used first writes the list with the calendar it makes; the windows' first start
    // then keeps that calendar and asks for no name.
    void theFirstCalendarOfTheCommandLineToolIsKept() {
        std::ostringstream out, err;
        QCOMPARE(cli::run({"--folder", dir->path(), "set", "2026-01-01", "made by the tool"}, out, err), 0);
        QCOMPARE(dir->read("CalUsers.DAT"), std::string("User1\r\n"));
        std::unique_ptr<TCalMainForm> form(createWindows(run->context));
        form->FormActivate();
        QVERIFY(!seams->modalClasses.contains(QStringLiteral("orv::TAddUserDlg")));
        QCOMPARE(run->program.calendars.Names, std::vector<std::string>{"User1"});
        QCOMPARE(run->program.store.readDay(46023), std::optional<std::string>("made by the tool"));
    }

    void namedFilesAndFoldersAreFoundIgnoringCase() {
        const int today = 46023;  // 1 January 2026
        dir->write("orvella.ini", "[System]\r\nLeft=12\r\n");
        dir->write("calusers.dat", "Ann\r\n");
        dir->write("events.dat", "6,1\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,1\r\n4,1,3\r\n");
        dir->write("vevents.dat", "6,1\r\n1,1,x\r\n2,1,Team day\r\n3,1,1\r\n4,1,5\r\n");
        ReminderRecord day;
        day.Date = today;
        day.setText("Gym");
        const auto record = day.toBytes();
        dir->write("DATA/ann.dbx", std::string(record.data(), record.size()));
        QDir().mkpath(QString::fromStdString(dir->file("ARTWORK")));
        QImage picture(6, 4, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(QString::fromStdString(dir->file("ARTWORK/jan.BMP")), "BMP"));

        std::unique_ptr<TCalMainForm> form(createWindows(run->context));
        QVERIFY(form);
        form->FormActivate();
        const Program& program = run->program;
        QVERIFY(seams->messages.empty());
        QVERIFY(seams->modalClasses.isEmpty());  // no first start: no question for a calendar name
        QCOMPARE(program.settings.Left, 12);
        QCOMPARE(program.calendars.Names, std::vector<std::string>{"Ann"});
        QCOMPARE(QString::fromStdString(program.calendars.DataFolder), QString::fromStdString(dir->file("DATA")));
        QVERIFY(run->program.store.FindDay(today));
        QCOMPARE(form->runState().ArtworkList.front(), dir->file("ARTWORK/jan.BMP"));
        QCOMPARE(form->findChild<TAnnualDlg*>()->birthdayList().cell(BirthdayList::colName, 1), std::string("Ann"));
        QCOMPARE(form->findChild<TRemindDlg*>()->cycle().items().size(), size_t(2));  // both lists

        // The settings and the list went back into the files they came from; nothing was made beside them
        // but the calendar's lock file, named as the calendar is.
        QVERIFY(dir->read("orvella.ini").find("Left=") != std::string::npos);
        QVERIFY(dir->read("calusers.dat") == "Ann\r\n");
        const auto names = [this](const std::string& folder) {
            std::set<std::string> found;
            for (const auto& e : std::filesystem::directory_iterator(dir->file(folder)))
                found.insert(e.path().filename().string());
            return found;
        };
        QCOMPARE(names("."), (std::set<std::string>{"orvella.ini", "calusers.dat", "events.dat", "vevents.dat",
                                                    "ARTWORK", "DATA"}));
        QCOMPARE(names("DATA"), (std::set<std::string>{"ann.dbx", "ann.lock"}));
    }

    void aFileThatIsNoPlainFileOrTooLargeIsRefusedByName_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        for (const char* file : {"Orvella.INI", "CalUsers.DAT", "Data/Ann.DBX", "Events.dat", "VEvents.dat"}) {
            QTest::addRow("%s fifo", file) << file << "fifo"
                                           << "it is not a regular file";
            QTest::addRow("%s /dev/zero", file) << file << "zero"
                                                << "it is not a regular file";
            QTest::addRow("%s 50 GB", file) << file << "sparse"
                                            << "File contains no data or corrupt file";
        }
    }

    void aFileThatIsNoPlainFileOrTooLargeIsRefusedByName() {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(QString, says);
        dir->write("Orvella.INI", "[System]\r\nLeft=1\r\n");
        dir->write("CalUsers.DAT", "Ann\r\n");
        dir->write("Data/Ann.DBX", "");
        const std::string path = dir->file(file.toStdString());
        std::filesystem::remove(path);
        if (kind == "fifo") QCOMPARE(::mkfifo(path.c_str(), 0644), 0);
        else if (kind == "zero") QCOMPARE(::symlink("/dev/zero", path.c_str()), 0);
        else {
            dir->write(file.toStdString(), "");
            QCOMPARE(::truncate(path.c_str(), std::int64_t{50} << 30), 0);
        }
        struct stat was {};
        QCOMPARE(::lstat(path.c_str(), &was), 0);

        ::alarm(60);  // a read that never ends ends the test program instead
        {
            std::unique_ptr<TCalMainForm> form(createWindows(run->context));
            QVERIFY(form);
            form->FormActivate();
            QTest::qWait(0);
        }
        ::alarm(0);
        QStringList shown;
        for (const auto& m : seams->messages) shown << m.text;
        const QString named = QString::fromStdString(file.toStdString().substr(file.indexOf('/') + 1));
        QVERIFY2(shown.join('|').contains(named) && shown.join('|').contains(says), qPrintable(shown.join('|')));
        // The thing itself is left where it was.
        struct stat now {};
        QCOMPARE(::lstat(path.c_str(), &now), 0);
        QCOMPARE(now.st_ino, was.st_ino);
    }

    void aFullCalendarSaysWhereItsOldestDaysWent() {
        std::string bytes;
        for (int i = 0; i < kPurgeThreshold; ++i) bytes += test::record(40000 + i, "x");
        dir->write("Orvella.INI", "[System]\r\nLeft=1\r\n");
        dir->write("CalUsers.DAT", "Ann\r\n");
        dir->write("Data/Ann.DBX", bytes);
        TCalMainForm form(run->context);
        form.FormActivate();
        QCOMPARE(int(seams->messages.size()), 1);
        QCOMPARE(seams->messages[0].icon, MsgIcon::Information);
        QCOMPARE(seams->messages[0].text, QString::fromStdString(purgeMessage(500, dir->file("Data/Ann.purged"))));
        QCOMPARE(dir->read("Data/Ann.purged").size(), size_t(500) * kRecordSize);
    }
};

QTEST_MAIN(MainFormFilesTest)
#include "main_form_files_test.moc"
