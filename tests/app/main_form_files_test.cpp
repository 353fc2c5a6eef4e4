// The main window and the files around it: a relative data folder, a full calendar.

#include <QDir>
#include <QtTest>

#include "app/main_form.h"
#include "store/cal_db.h"
#include "support/program_folder.h"
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
        QCOMPARE(QString::fromStdString(run->program.calendars.DataFolder), QString::fromStdString(dir->file("RelData")));
        QVERIFY(dir->exists("RelData"));
    }

    void aFullCalendarSaysWhereItsOldestDaysWent() {
        std::string bytes;
        for (int i = 0; i < kPurgeThreshold; ++i) {
            ReminderRecord r;
            r.Date = 40000 + i;
            r.setText("x");
            const auto b = r.toBytes();
            bytes.append(b.data(), b.size());
        }
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
