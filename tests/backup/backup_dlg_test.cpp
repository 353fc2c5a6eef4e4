// The backup and restore window driven as a person would, over folders standing for disks: the drive
// "A:" holds whatever folder the test puts in it, as a person swaps disks when asked.

#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "backup/backup_dlg.h"
#include "backup/backup_set.h"
#include "backup/folder_drive_layer.h"
#include "common/day_number.h"
#include "common/sys_file.h"
#include "support/folder_snapshot.h"
#include "support/parts.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kDisk = 16000;  // Ann and Bob take three of these

}  // namespace

class BackupDlgTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<FolderDriveLayer> drives;
    std::unique_ptr<test::TestContext> run_;
    test::FakeSeams* seams = nullptr;
    std::unique_ptr<TBackupDlg> dlg;

    std::string data() const { return dir->file("Data"); }
    std::string disk(int n) const { return dir->file("disk" + std::to_string(n)); }
    void insert(int n) { drives->bays[0].folder = n > 0 ? disk(n) : std::string(); }
    QPushButton* btn(const char* name) const { return test::part<QPushButton>(dlg.get(), name); }
    QString label(const char* name) const { return test::part<QLabel>(dlg.get(), name)->text(); }
    QString pageName() const { return test::part<QStackedWidget>(dlg.get(), "Pages")->currentWidget()->objectName(); }
    QString status() const { return label(pageName() == QStringLiteral("RestorePage") ? "pInst2" : "pInst"); }
    QString lastMessage() const { return seams->messages.empty() ? QString() : seams->messages.back().text; }

    // Shows the window and runs the steps on it; its result.
    int run(std::function<void()> steps) {
        seams->scripts.push_back([this, steps](QDialog*) {
            steps();
            return dlg->result();
        });
        return run_->context.ui().execModal(dlg.get());
    }
    // Cancels the progress dialog as soon as it shows this label, after the wizard's own Cancel and
    // Escape, which do nothing while the copy runs: the progress is modal to the wizard.
    QString progressFault;
    void cancelWhenShowing(const QString& label, const char* wizardCancel) {
        auto* timer = new QTimer(dlg.get());
        timer->setInterval(0);
        connect(timer, &QTimer::timeout, timer, [this, timer, label, wizardCancel] {
            auto* p = dlg->findChild<QProgressDialog*>();
            if (!p || p->labelText() != label) return;
            if (p->parentWidget() != dlg.get() || p->windowModality() != Qt::WindowModal)
                progressFault = QStringLiteral("not modal to the wizard");
            QTest::keyClick(dlg.get(), Qt::Key_Escape);
            btn(wizardCancel)->click();
            if (!dlg->isVisible() || p->wasCanceled()) progressFault = QStringLiteral("the wizard closed mid-copy");
            p->cancel();
            timer->deleteLater();
        });
        timer->start();
    }
    void backupTo(int firstDisk = 1) {
        insert(firstDisk);
        btn("BitBtn1")->click();
        btn("BitBtn6")->click();
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        dir->write("Data/Ann.DBX", test::patterned(3000, 1));
        dir->write("Data/Bob.DBX", test::patterned(30000, 2));
        for (int n = 1; n <= 3; ++n) fs::create_directories(disk(n));
        fs::create_directories(dir->file("hd"));
        drives = std::make_unique<FolderDriveLayer>();
        drives->bays = {{"A:", disk(1), true, false, kDisk}, {"C:", dir->file("hd"), false, false, std::nullopt}};
        run_ = std::make_unique<test::TestContext>(dir->path(), dayNumber(2026, 3, 1), nullptr, nullptr, drives.get());
        run_->program.calendars.DataFolder = data();
        seams = &run_->seams;
        dlg = std::make_unique<TBackupDlg>(run_->context);
    }
    void cleanup() {
        dlg.reset();
        run_.reset();
        drives.reset();
        dir.reset();
    }

    void startPageTabOrderAndButtons() {
        QCOMPARE(
            run([this] {
                QCOMPARE(pageName(), QStringLiteral("StartPage"));
                QCOMPARE(dlg->focusWidget(), btn("BitBtn1"));
                QCOMPARE(btn("BitBtn1")->nextInFocusChain(), btn("BitBtn2"));
                QCOMPARE(btn("BitBtn2")->nextInFocusChain(), btn("CloseBtn"));
                // Every button of the page shows in the window and takes a click.
                for (const char* name : {"BitBtn1", "BitBtn2", "CloseBtn"}) {
                    const QRect r(btn(name)->mapTo(dlg.get(), QPoint(0, 0)), btn(name)->size());
                    QVERIFY2(dlg->rect().contains(r), name);
                }
                QTest::mouseClick(btn("BitBtn2"), Qt::LeftButton);
                QCOMPARE(pageName(), QStringLiteral("RestoreDrivePage"));
                QTest::keyClick(dlg.get(), Qt::Key_Escape);
            }),
            int(mrCancel));
        // Every opening starts again on the start page with the first captions.
        QCOMPARE(run([this] {
                     QCOMPARE(pageName(), QStringLiteral("StartPage"));
                     QCOMPARE(btn("BitBtn4")->text(), QStringLiteral("Start Backup"));
                     QCOMPARE(btn("StartBtn")->text(), QStringLiteral("Start"));
                     QCOMPARE(label("pInst"), QStringLiteral("Insert Disk 1 and click Start Backup"));
                     QCOMPARE(label("pInst2"), QStringLiteral("Click Start to begin restoring files"));
                     btn("CloseBtn")->click();
                 }),
                 int(mrCancel));
    }

    // Three disks with the same disk offered twice and a disk of somebody's photos, then the restore
    // with the wrong disks offered at each wait.
    void backupOverThreeDisksAndRestore() {
        const test::Snapshot before = test::snapshot(data());
        dir->write("disk2/photo.jpg", "jpeg");
        const int backedUp = run([this] {
            backupTo();
            QCOMPARE(label("lRequire"), QStringLiteral("Backing up your data will require 3 disks"));
            QCOMPARE(label("lPrepare"), QStringLiteral("Please prepare and label 3 disks"));
            btn("BitBtn4")->click();
            QCOMPARE(status(), QStringLiteral("Insert Disk 2 and click Continue"));
            QCOMPARE(btn("BitBtn4")->text(), QStringLiteral("Continue"));
            btn("BitBtn4")->click();  // disk 1 is still in
            QCOMPARE(lastMessage(),
                     QStringLiteral("This disk already holds Disk 1 of this backup. Please insert Disk 2 and click "
                                    "Continue."));
            insert(2);
            seams->answers = {mrNo};
            btn("BitBtn4")->click();
            QCOMPARE(lastMessage(), QStringLiteral("The disk in A: holds 1 file that is not part of a backup set: "
                                                   "photo.jpg.\r\rDelete them all and write Disk 2 of the backup?"));
            QCOMPARE(status(), QStringLiteral("Insert Disk 2 and click Continue"));
            QVERIFY(dir->exists("disk2/photo.jpg"));
            btn("BitBtn4")->click();  // Yes
            QCOMPARE(status(), QStringLiteral("Insert Disk 3 and click Continue"));
            insert(3);
            btn("BitBtn4")->click();
            QCOMPARE(status(), QStringLiteral("Backup Completed - Click Finish"));
            QCOMPARE(btn("BitBtn4")->text(), QStringLiteral("Finish"));
            btn("BitBtn4")->click();
        });
        QCOMPARE(backedUp, int(mrOk));
        QVERIFY2(test::folderDiff(test::snapshot(data()), before).empty(), "data folder changed");
        QCOMPARE(dir->read("disk1/DiskInf.0"), diskInfBytes(3));
        QVERIFY(!dir->exists("disk2/photo.jpg"));

        dir->write("Data/Ann.DBX", "changed since");
        fs::remove(dir->file("Data/Bob.DBX"));
        seams->messages.clear();
        insert(2);
        seams->onMessage = [this](const test::FakeSeams::Message& m) {
            if (m.text.startsWith(QStringLiteral("Incorrect disk!\r\rPlease insert Backup Disk 1"))) insert(1);
        };
        const int restored = run([this] {
            btn("BitBtn2")->click();
            btn("BitBtn8")->click();
            QCOMPARE(lastMessage(), QStringLiteral("Incorrect disk!\r\rPlease insert Backup Disk 1 in drive A:"));
            QCOMPARE(pageName(), QStringLiteral("RestorePage"));
            QCOMPARE(label("lSetSize"), QStringLiteral("This backup set consists of 3 disks"));
            btn("StartBtn")->click();
            QCOMPARE(status(), QStringLiteral("Insert disk 2 and click Continue"));
            QCOMPARE(btn("StartBtn")->text(), QStringLiteral("Continue"));
            for (const int wrong : {1, 3, 0}) {
                insert(wrong);
                const size_t shown = seams->messages.size();
                btn("StartBtn")->click();
                QCOMPARE(seams->messages.size(), shown + 1);
                QCOMPARE(status(), QStringLiteral("Insert disk 2 and click Continue"));
            }
            QVERIFY(!dir->exists("Data/Bob.DBX"));  // nothing is written before every disk is in
            insert(2);
            btn("StartBtn")->click();
            QCOMPARE(status(), QStringLiteral("Insert disk 3 and click Continue"));
            insert(3);
            btn("StartBtn")->click();
            QCOMPARE(status(), QStringLiteral("Restore Completed - Click Finish"));
            btn("StartBtn")->click();
        });
        QCOMPARE(restored, int(TBackupDlg::mrRestored));
        QVERIFY2(test::folderDiff(test::snapshot(data()), before).empty(), "data folder changed");
        // Start named the calendar changed since (Bob, gone, replaces nothing); it is kept as it was.
        const auto asked = std::find_if(seams->messages.begin(), seams->messages.end(), [](const auto& m) {
            return m.buttons == MsgButtons::YesNoDefaultNo;
        });
        QVERIFY(asked != seams->messages.end());
        QVERIFY2(asked->text.contains(QStringLiteral("\r    Ann\r")) && !asked->text.contains(QStringLiteral("Bob")),
                 qPrintable(asked->text));
        QCOMPARE(dir->read("Data before restore 2026-03-01/Ann.DBX"), std::string("changed since"));
        QVERIFY(lastMessage().contains(QString::fromStdString(dir->file("Data before restore 2026-03-01"))));
    }

    void oneDiskOnAStick() {
        drives->bays[0].capacity = 1'000'000;
        dir->write("disk1/DiskInf.0", diskInfBytes(4));  // an older set goes without a question
        dir->write("disk1/Backup.inf", "old");
        QCOMPARE(run([this] {
                     backupTo();
                     QCOMPARE(label("lRequire"), QStringLiteral("Backing up your data will require 1 disk"));
                     btn("BitBtn4")->click();
                     QCOMPARE(status(), QStringLiteral("Backup Completed - Click Finish"));
                     btn("BitBtn4")->click();
                 }),
                 int(mrOk));
        QVERIFY(seams->messages.empty());
        QCOMPARE(dir->read("disk1/DiskInf.0"), diskInfBytes(1));
        QVERIFY(!dir->exists("disk1/Backup.inf"));
        QCOMPARE(dir->read("disk1/Bob.DBX"), test::patterned(30000, 2));
    }

    // What "Next" on the backup drive page refuses, and what it closes the window with.
    void backupDrivePageRefusals() {
        struct Case {
            const char* what;
            std::function<void()> arrange;
            QString message;  // the start of the message shown
            int result;       // -1: the wizard stays on the drive page
        };
        const Case cases[] = {
            {"only a hard disk", [this] { drives->bays[0].removable = false; },
             QStringLiteral("No removable drive is connected."), -1},
            {"no disk, Cancel",
             [this] {
                 insert(0);
                 seams->answers = {mrCancel};
             },
             QStringLiteral("Please insert a disk and click OK"), mrCancel},
            {"a disk of 4096 bytes",
             [this] {
                 drives->bays[0].capacity = 4096;
                 seams->answers = {mrCancel};
             },
             QStringLiteral("Please insert a disk and click OK"), mrCancel},
            {"the disk holds the data", [this] { drives->bays[0].folder = dir->path(); },
             QStringLiteral("The drive A: holds the folder "), -1},
            {"no calendars",
             [this] {
                 fs::remove_all(data());
                 fs::create_directories(data());
             },
             QStringLiteral("No files were found to back up."), mrCancel},
            {"case twins", [this] { dir->write("Data/ANN.DBX", "twin"); }, QStringLiteral("The calendar files \""),
             mrCancel},
        };
        for (const Case& c : cases) {
            cleanup();
            init();
            seams->messages.clear();
            const int result = run([&] {
                btn("BitBtn1")->click();
                c.arrange();
                btn("BitBtn6")->click();
                if (c.result < 0) {
                    QCOMPARE(pageName(), QStringLiteral("BackupDrivePage"));
                    btn("BitBtn7")->click();
                }
            });
            QVERIFY2(!seams->messages.empty(), c.what);
            QVERIFY2(lastMessage().startsWith(c.message), qPrintable(lastMessage()));
            QCOMPARE(result, c.result < 0 ? int(mrCancel) : c.result);
            QVERIFY2(!dir->exists("disk1/DiskInf.0"), c.what);
        }
        // No disk at first, then the disk asked for.
        cleanup();
        init();
        insert(0);
        seams->onMessage = [this](const test::FakeSeams::Message&) { insert(1); };
        QCOMPARE(run([this] {
                     backupTo(0);
                     QCOMPARE(pageName(), QStringLiteral("BackupPage"));
                     btn("BitBtn5")->click();
                 }),
                 int(mrCancel));
    }

    // Stopping at every point: before the start, at the question, at each wait, in the copy.
    void backupStops() {
        struct Case {
            const char* what;
            std::function<void()> stop;
            int result;
            bool firstDiskWhole;  // disk 1 holds "DiskInf.0" afterwards
        };
        const Case cases[] = {
            {"Cancel before the start", [this] { btn("BitBtn5")->click(); }, mrCancel, false},
            {"No to the question, then Cancel",
             [this] {
                 dir->write("disk1/notes.txt", "mine");
                 seams->answers = {mrNo};
                 btn("BitBtn4")->click();
                 QCOMPARE(btn("BitBtn4")->text(), QStringLiteral("Start Backup"));
                 btn("BitBtn5")->click();
             },
             mrCancel, false},
            {"Cancel at the wait for disk 2",
             [this] {
                 btn("BitBtn4")->click();
                 btn("BitBtn5")->click();
             },
             mrAbort, true},
            {"Escape at the wait for disk 3",
             [this] {
                 btn("BitBtn4")->click();
                 insert(2);
                 btn("BitBtn4")->click();
                 QTest::keyClick(dlg.get(), Qt::Key_Escape);
             },
             mrAbort, true},
            {"no disk at Continue, Cancel",
             [this] {
                 btn("BitBtn4")->click();
                 insert(0);
                 seams->answers = {mrCancel};
                 btn("BitBtn4")->click();
                 QCOMPARE(lastMessage(), QStringLiteral("Please insert a disk and click OK"));
             },
             mrAbort, true},
            {"Cancel while the pieces are prepared",
             [this] {
                 cancelWhenShowing(QStringLiteral("Preparing backup files"), "BitBtn5");
                 btn("BitBtn4")->click();
             },
             mrCancel, false},
            {"Cancel in the copy of disk 1",
             [this] {
                 cancelWhenShowing(QStringLiteral("Copying files"), "BitBtn5");
                 btn("BitBtn4")->click();
                 QVERIFY(lastMessage().startsWith(QStringLiteral("The backup was cancelled.")));
             },
             mrAbort, false},
            {"disk 2 pulled out while it is written",
             [this] {
                 btn("BitBtn4")->click();
                 insert(2);
                 QTimer::singleShot(0, dlg.get(), [this] { fs::remove_all(disk(2)); });
                 btn("BitBtn4")->click();
                 QVERIFY(lastMessage().startsWith(QStringLiteral("The backup could not be completed:")));
             },
             mrAbort, true},
        };
        for (const Case& c : cases) {
            cleanup();
            init();
            const test::Snapshot before = test::snapshot(data());
            const int result = run([&] {
                backupTo();
                c.stop();
            });
            QCOMPARE(result, c.result);
            QVERIFY2(test::folderDiff(test::snapshot(data()), before).empty(), c.what);
            QCOMPARE(dir->exists("disk1/DiskInf.0"), c.firstDiskWhole);
            QVERIFY2(progressFault.isEmpty(), qPrintable(progressFault));
        }
    }

    // Stopping the restore, and sets it refuses: the data folder is left exactly as it was.
    void restoreStopsAndRefusals() {
        QCOMPARE(run([this] {
                     backupTo();
                     for (int n = 2; n <= 3; ++n) {
                         btn("BitBtn4")->click();
                         insert(n);
                     }
                     btn("BitBtn4")->click();
                     btn("BitBtn4")->click();  // Finish
                 }),
                 int(mrOk));
        dir->write("Data/Ann.DBX", "newer");
        struct Case {
            const char* what;
            std::function<void()> arrange;  // before the window opens, disk 1 in the drive
            std::function<void()> steps;    // on the restore page
            int result;
            QString message;  // the last one shown, from its start
        };
        const Case cases[] = {
            {"Cancel at the wait for disk 2", [] {},
             [this] {
                 btn("StartBtn")->click();
                 btn("BitBtn11")->click();
             },
             mrCancel, QString()},
            {"Escape at the wait for disk 3", [] {},
             [this] {
                 btn("StartBtn")->click();
                 insert(2);
                 btn("StartBtn")->click();
                 QTest::keyClick(dlg.get(), Qt::Key_Escape);
             },
             mrCancel, QString()},
            {"Cancel in the copy of disk 1", [] {},
             [this] {
                 cancelWhenShowing(QStringLiteral("Restoring files"), "BitBtn11");
                 btn("StartBtn")->click();
             },
             mrCancel, QString()},
            {"a corrupt Backup.inf", [this] { dir->write("disk1/Backup.inf", "3,2\r\n0,0,../x.DBX\r\n"); },
             [this] {
                 btn("StartBtn")->click();
                 QCOMPARE(btn("StartBtn")->text(), QStringLiteral("Start"));
                 btn("BitBtn11")->click();
             },
             mrCancel, QStringLiteral("File contains no data or corrupt file ")},
            {"a piece missing on disk 1", [this] { fs::remove(dir->file("disk1/Ann.DBX")); },
             [this] {
                 btn("StartBtn")->click();
                 btn("BitBtn11")->click();
             },
             mrCancel, QStringLiteral("File ")},
            {"no disk 1, Cancel",
             [this] {
                 insert(0);
                 seams->answers = {mrCancel};
             },
             [] {}, mrAbort, QStringLiteral("Please insert Backup Disk 1 in drive A:")},
            {"not a first disk, Cancel",
             [this] {
                 insert(2);
                 seams->answers = {mrCancel};
             },
             [] {}, mrAbort, QStringLiteral("Incorrect disk!\r\rPlease insert Backup Disk 1 in drive A:")},
            {"no drive at all, Cancel",
             [this] {
                 drives->bays.clear();
                 seams->answers = {mrCancel};
             },
             [] {}, mrAbort, QStringLiteral("Please insert Backup Disk 1 in a drive: no drive is connected now.")},
        };
        const test::Snapshot before = test::snapshot(data());
        const test::Snapshot disk1 = test::snapshot(disk(1));
        for (const Case& c : cases) {
            for (const auto& [path, bytes] : disk1) dir->write("disk1/" + path, bytes);
            insert(1);
            seams->messages.clear();
            seams->answers.clear();
            c.arrange();
            const int result = run([&] {
                btn("BitBtn2")->click();
                btn("BitBtn8")->click();
                if (pageName() == QStringLiteral("RestorePage")) c.steps();
            });
            QCOMPARE(result, c.result);
            QVERIFY2(test::folderDiff(test::snapshot(data()), before).empty(), c.what);
            QVERIFY2(progressFault.isEmpty(), qPrintable(progressFault));
            if (!c.message.isEmpty()) QVERIFY2(lastMessage().startsWith(c.message), qPrintable(lastMessage()));
        }
    }

    // Enter on the question about somebody's files keeps them.
    void theWipeQuestionKeepsTheFilesOnEnter() {
        dir->write("disk1/photo.jpg", "mine");
        seams->answers = {mrNo};
        QCOMPARE(run([this] {
                     backupTo();
                     btn("BitBtn4")->click();
                     btn("BitBtn5")->click();
                 }),
                 int(mrCancel));
        QCOMPARE(seams->messages.back().buttons, MsgButtons::YesNoDefaultNo);
        UiSeams real;
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(real.message(nullptr, MsgIcon::Confirmation, QStringLiteral("Delete them all?"),
                              MsgButtons::YesNoDefaultNo),
                 int(mrNo));
        QVERIFY(dir->exists("disk1/photo.jpg"));
    }

    // A first disk that cannot be read is shown; the wizard waits on its page for another try.
    void anUnreadableDiskIsShownAndWaitedOn() {
        dir->write("disk1/DiskInf.0", diskInfBytes(1));
        dir->write("disk1/Ann.DBX", "backed up");
        setFileCallHook([](FileCall call, const std::string& path) {
            return call == FileCall::Open && path.ends_with("DiskInf.0") ? EIO : 0;
        });
        QCOMPARE(run([this] {
                     btn("BitBtn2")->click();
                     btn("BitBtn8")->click();
                     QVERIFY2(lastMessage().contains(QStringLiteral("DiskInf.0")), qPrintable(lastMessage()));
                     QCOMPARE(pageName(), QStringLiteral("RestoreDrivePage"));
                     setFileCallHook(nullptr);
                     btn("BitBtn8")->click();
                     btn("StartBtn")->click();
                     QCOMPARE(status(), QStringLiteral("Restore Completed - Click Finish"));
                     btn("StartBtn")->click();
                 }),
                 int(TBackupDlg::mrRestored));
        setFileCallHook(nullptr);
        QCOMPARE(dir->read("Data/Ann.DBX"), std::string("backed up"));
    }

    void theDataFolderIsNoBackupDisk() {
        dir->write("Data/DiskInf.0", diskInfBytes(1));
        drives->bays[0].folder = data();
        QCOMPARE(run([this] {
                     btn("BitBtn2")->click();
                     btn("BitBtn8")->click();
                     QCOMPARE(pageName(), QStringLiteral("RestoreDrivePage"));
                     QVERIFY(lastMessage().contains(QStringLiteral("data folder")));
                     btn("BitBtn9")->click();
                 }),
                 int(mrCancel));
    }

    // The drive lists show the layer's drives by name; the backup's only those it can take (removable and
    // writable), and says so when there is none.
    void driveListsAskTheLayer() {
        drives->bays.push_back({"CD (/media/me/CD)", dir->file("hd"), true, true, std::nullopt});
        auto* box = test::part<QComboBox>(dlg.get(), "DriveBox");
        auto* none = test::part<QLabel>(dlg.get(), "lNoDrive");
        run([&] {
            QCOMPARE(box->count(), 1);
            QCOMPARE(test::part<QComboBox>(dlg.get(), "DriveBox2")->count(), 3);
            QCOMPARE(box->currentText(), QStringLiteral("A:"));
            drives->bays.push_back({"STICK (/media/me/STICK)", disk(3), true, false, std::nullopt});
            btn("BitBtn1")->click();
            QCOMPARE(box->count(), 2);
            QVERIFY(!none->isVisible());
            QVERIFY(!box->accessibleName().isEmpty());
            drives->bays = {drives->bays[1]};  // the hard disk alone
            box->showPopup();
            box->hidePopup();
            QCOMPARE(box->count(), 0);
            QVERIFY(none->isVisible());
            btn("BitBtn7")->click();
        });
    }
};

QTEST_MAIN(BackupDlgTest)
#include "backup_dlg_test.moc"
