#include "backup/backup_dlg.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>

#include "backup/backup_plan.h"
#include "backup/backup_run.h"
#include "backup/drive_combo.h"
#include "backup/restore_run.h"
#include "common/app_context.h"
#include "common/error_guard.h"
#include "common/ui_fonts.h"
#include "common/widgets.h"
#include "program/program.h"

namespace orv {
namespace {

constexpr int kWidth = 440;
// The pages are 248 pixels high, but the start page's "Backup" and "Restore" lie below that (tops 254 and
// 255): the window reaches below them, so that they show and can be clicked.
constexpr int kPageHeight = 292;
constexpr int kButtonTop = 254;
constexpr int kCloseTop = 212;
constexpr int kTextLeft = 12;
constexpr int kTextWidth = kWidth - 2 * kTextLeft;

const QString kStartBackup = QStringLiteral("Start Backup");
const QString kContinue = QStringLiteral("Continue");
const QString kFinish = QStringLiteral("Finish");
const QString kStart = QStringLiteral("Start");
const QString kInsertFirst = QStringLiteral("Insert Disk 1 and click Start Backup");
const QString kClickStart = QStringLiteral("Click Start to begin restoring files");
const QString kNoDisk = QStringLiteral("Please insert a disk and click OK");
const QString kIncomplete = QStringLiteral("The disks written so far do not hold a complete backup.");

QString qs(const std::string& s) { return QString::fromStdString(s); }

// N followed by " disk" below 2, " disks" otherwise.
QString disks(int n) { return QString::number(n) + (n < 2 ? QStringLiteral(" disk") : QStringLiteral(" disks")); }

QLabel* text(QWidget* page, const char* name, const QString& caption, int y, int height) {
    auto* label = named(new QLabel(caption, page), name);
    label->setGeometry(kTextLeft, y, kTextWidth, height);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* statusPanel(QWidget* page, const char* name, int y) {
    auto* panel = named(new QLabel(page), name);
    panel->setGeometry(kTextLeft, y, kTextWidth, 40);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setWordWrap(true);
    panel->setFont(sansSerifFont(12, true));
    panel->setAccessibleName(QStringLiteral("Status"));
    return panel;
}

}  // namespace

TBackupDlg::TBackupDlg(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("BackupDlg"));
    setWindowTitle(QStringLiteral("Backup/Restore Calendars"));
    setFixedSize(kWidth, kPageHeight);
    setFont(sansSerifFont(11));
    Pages_ = named(new QStackedWidget(this), "Pages");
    Pages_->setGeometry(0, 0, kWidth, kPageHeight);
    buildStartPage();
    buildBackupDrivePage();
    buildBackupPage();
    buildRestoreDrivePage();
    buildRestorePage();
}

// "Backup" and "Restore" lie below the page's text, first and second in the tab order.
void TBackupDlg::buildStartPage() {
    StartPage_ = page("StartPage");
    QLabel* lImportant =
        text(StartPage_, "lImportant",
             QStringLiteral("It is extremely important to make backup copies of your data files."), 10, 20);
    QFont heading = sansSerifFont(12, true);
    heading.setUnderline(true);
    lImportant->setFont(heading);
    setTextColour(lImportant, Qt::red);
    const QString advice[4] = {
        QStringLiteral("Your calendar files become more valuable the longer you use Orvella, so back them up "
                       "regularly."),
        QStringLiteral("You can also make a backup by copying the folder \"Data\" from Orvella's program folder "
                       "to any medium: a USB stick, a memory card, another disk."),
        QStringLiteral("To restore your data, re-install Orvella then simply reverse the process above. You can "
                       "also move your data to another computer this way."),
        QStringLiteral("It is a good idea to back up your data weekly, or after any major input."),
    };
    const char* names[4] = {"lAdvice1", "lAdvice2", "lAdvice3", "lAdvice4"};
    for (int i = 0; i < 4; ++i) text(StartPage_, names[i], advice[i], 40 + 42 * i, 38);
    BitBtn1_ = button(StartPage_, "BitBtn1", QStringLiteral("Backup"), 96, 254, 100);
    QPushButton* BitBtn2 = button(StartPage_, "BitBtn2", QStringLiteral("Restore"), 244, 255, 100);
    QPushButton* CloseBtn = button(StartPage_, "CloseBtn", QStringLiteral("Close this window."), 300, kCloseTop, 128);
    setTabOrder(BitBtn1_, BitBtn2);
    setTabOrder(BitBtn2, CloseBtn);
    connect(BitBtn1_, &QPushButton::clicked, this, [this] { act([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { act([this] { BitBtn2Click(); }); });
    connect(CloseBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

// Only drives that can take a backup: removable and writable.
void TBackupDlg::buildBackupDrivePage() {
    BackupDrivePage_ = page("BackupDrivePage");
    title(BackupDrivePage_, QStringLiteral("Backup Data Files"));
    text(BackupDrivePage_, "lBackupDriveText",
         QStringLiteral("Choose the drive of your backup disks below: a USB stick, a memory card or a floppy disk. "
                        "Then insert Disk 1 and click Next."),
         48, 50);
    DriveBox_ = named(new DriveCombo(
                          [this] {
                              std::vector<Drive> writable;
                              for (auto& d : context_.drives().drives())
                                  if (d.removable && !d.readOnly) writable.push_back(d);
                              return writable;
                          },
                          BackupDrivePage_),
                      "DriveBox");
    DriveBox_->setAccessibleName(QStringLiteral("Backup drive"));
    DriveBox_->setGeometry(kTextLeft, 110, kTextWidth, 24);
    DriveBox_->setPlaceholderText(QStringLiteral("(no drive)"));
    QLabel* lNoDrive =
        text(BackupDrivePage_, "lNoDrive",
             QStringLiteral("No removable drive is connected. Connect a USB stick, a memory card or a floppy disk "
                            "drive: the list is looked up again when you open it or click Next."),
             142, 50);
    setTextColour(lNoDrive, Qt::darkRed);
    connect(DriveBox_, &DriveCombo::drivesListed, lNoDrive, [lNoDrive](int n) { lNoDrive->setVisible(n == 0); });
    QPushButton* BitBtn6 = button(BackupDrivePage_, "BitBtn6", QStringLiteral("Next"), 256, kButtonTop, 80);
    QPushButton* BitBtn7 = button(BackupDrivePage_, "BitBtn7", QStringLiteral("Cancel"), 348, kButtonTop, 80);
    connect(BitBtn6, &QPushButton::clicked, this, [this] { act([this] { BitBtn6Click(); }); });
    connect(BitBtn7, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TBackupDlg::buildBackupPage() {
    BackupPage_ = page("BackupPage");
    title(BackupPage_, QStringLiteral("Backup Data Files"));
    lRequire_ = text(BackupPage_, "lRequire", QString(), 48, 18);
    lPrepare_ = text(BackupPage_, "lPrepare", QString(), 70, 18);
    text(BackupPage_, "lReuse", QStringLiteral("(You can re-use previous backup diskettes if you wish)"), 92, 18);
    pInst_ = statusPanel(BackupPage_, "pInst", 132);
    BitBtn4_ = button(BackupPage_, "BitBtn4", kStartBackup, 236, kButtonTop, 100);
    QPushButton* BitBtn5 = button(BackupPage_, "BitBtn5", QStringLiteral("Cancel"), 348, kButtonTop, 80);
    connect(BitBtn4_, &QPushButton::clicked, this, [this] { act([this] { BitBtn4Click(); }); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { act([this] { BitBtn5Click(); }); });
}

// Any drive, read-only ones too.
void TBackupDlg::buildRestoreDrivePage() {
    RestoreDrivePage_ = page("RestoreDrivePage");
    title(RestoreDrivePage_, QStringLiteral("Restore Calendar Data Files"));
    text(RestoreDrivePage_, "lRestoreDriveText",
         QStringLiteral("To restore your calendars you need a set of backup disks made by Orvella. Calendar files "
                        "in your data folder with the name of a backed-up file are replaced by the backed-up "
                        "ones.\n\nChoose the drive below, insert Disk 1 and click Next.\n\nOnce you have started "
                        "the Restore process you must complete it."),
         42, 104);
    DriveBox2_ = named(new DriveCombo([this] { return context_.drives().drives(); }, RestoreDrivePage_), "DriveBox2");
    DriveBox2_->setAccessibleName(QStringLiteral("Restore drive"));
    DriveBox2_->setGeometry(kTextLeft, 150, kTextWidth, 24);
    DriveBox2_->setPlaceholderText(QStringLiteral("(no drive)"));
    QLabel* lNoDrive2 = text(RestoreDrivePage_, "lNoDrive2",
                             QStringLiteral("No drive is connected. Connect the drive of your backup disks: the list "
                                            "is looked up again when you open it or click Next."),
                             180, 34);
    setTextColour(lNoDrive2, Qt::darkRed);
    connect(DriveBox2_, &DriveCombo::drivesListed, lNoDrive2, [lNoDrive2](int n) { lNoDrive2->setVisible(n == 0); });
    QPushButton* BitBtn8 = button(RestoreDrivePage_, "BitBtn8", QStringLiteral("Next"), 256, kButtonTop, 80);
    QPushButton* BitBtn9 = button(RestoreDrivePage_, "BitBtn9", QStringLiteral("Cancel"), 348, kButtonTop, 80);
    connect(BitBtn8, &QPushButton::clicked, this, [this] { act([this] { BitBtn8Click(); }); });
    connect(BitBtn9, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TBackupDlg::buildRestorePage() {
    RestorePage_ = page("RestorePage");
    title(RestorePage_, QStringLiteral("Restore Data Files"));
    lSetSize_ = text(RestorePage_, "lSetSize", QString(), 56, 18);
    pInst2_ = statusPanel(RestorePage_, "pInst2", 100);
    StartBtn_ = button(RestorePage_, "StartBtn", kStart, 256, kButtonTop, 80);
    QPushButton* BitBtn11 = button(RestorePage_, "BitBtn11", QStringLiteral("Cancel"), 348, kButtonTop, 80);
    connect(StartBtn_, &QPushButton::clicked, this, [this] { act([this] { StartBtnClick(); }); });
    connect(BitBtn11, &QPushButton::clicked, this, [this] { act([this] { BitBtn11Click(); }); });
}

TBackupDlg::~TBackupDlg() = default;

QWidget* TBackupDlg::page(const char* name) {
    auto* p = named(new QWidget(Pages_), name);
    Pages_->addWidget(p);
    return p;
}

QLabel* TBackupDlg::title(QWidget* page, const QString& caption) {
    QLabel* label = text(page, "lTitle", caption, 10, 26);
    label->setFont(arialFont(18, true));
    return label;
}

QPushButton* TBackupDlg::button(QWidget* page, const char* name, const QString& caption, int x, int y, int width) {
    auto* b = named(new QPushButton(caption, page), name);
    b->setGeometry(x, y, width, 27);
    return b;
}

int TBackupDlg::ask(MsgIcon icon, const QString& message, MsgButtons buttons) {
    return context_.ui().message(this, icon, message, buttons);
}

void TBackupDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TBackupDlg::FormActivate() {
    // What the opener hands in: the data folder and the pattern of its calendar files.
    SourceFolder_ = context_.program().calendars.DataFolder;
    FilePattern_ = "*.dbx";
    backup_.reset();
    restore_.reset();
    nextDisk_ = 0;
    busy_ = false;
    Pages_->setCurrentWidget(StartPage_);
    BitBtn4_->setText(kStartBackup);
    StartBtn_->setText(kStart);
    DriveBox_->refresh();
    DriveBox2_->refresh();
    pInst_->setText(kInsertFirst);
    pInst2_->setText(kClickStart);
    BitBtn1_->setFocus();
}

void TBackupDlg::reject() {
    if (busy_) return;
    if (Pages_->currentWidget() == BackupPage_) act([this] { BitBtn5Click(); });
    else if (Pages_->currentWidget() == RestorePage_) act([this] { BitBtn11Click(); });
    else done(mrCancel);
}

// A disk that cannot be read where nothing expected it (its root, its "DiskInf.0") is shown, and the
// wizard waits where it was for another try or Cancel.
void TBackupDlg::act(const std::function<void()>& handler) {
    if (guarded(context_.ui(), this, handler)) return;
    endProgress();
    busy_ = false;
}

void TBackupDlg::setStatus(QLabel* panel, const QString& status) {
    panel->setText(status);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString TBackupDlg::driveName(const Drive& drive) const { return qs(drive.name); }

std::optional<Drive> TBackupDlg::driveNow(DriveCombo* box, const Drive& chosen) {
    box->refresh();
    const auto found = findDrive(box->listed(), chosen);
    if (found) {
        for (int i = 0; i < box->count(); ++i)
            if (box->listed()[static_cast<size_t>(i)] == *found) box->setCurrentIndex(i);
    }
    return found;
}

CopyProgress TBackupDlg::progress(const QString& label) {
    endProgress();
    progress_ = new QProgressDialog(label, QStringLiteral("Cancel"), 0, 1000, this);
    named(progress_, "CopyProgress");
    progress_->setWindowTitle(windowTitle());
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumWidth(320);  // room for the window title
    progress_->setMinimumDuration(300);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->setValue(0);
    return [this](std::uint64_t done, std::uint64_t total) {
        if (!progress_) return true;
        progress_->setValue(total == 0 ? 1000 : static_cast<int>(done * 1000 / total));
        QCoreApplication::processEvents();
        return !progress_->wasCanceled();
    };
}

void TBackupDlg::endProgress() {
    delete progress_;
    progress_ = nullptr;
}

// ---- Backup ----

void TBackupDlg::BitBtn1Click() {
    Pages_->setCurrentWidget(BackupDrivePage_);
    DriveBox_->refresh();
    DriveBox_->setFocus();
}

std::optional<std::pair<Drive, std::uint64_t>> TBackupDlg::backupDisk(const QString& askText) {
    for (;;) {
        const auto drive = driveNow(DriveBox_, backupDrive_);
        const auto capacity = drive ? context_.drives().capacity(*drive) : std::nullopt;
        if (capacity && BackupPlan::usableCapacity(*capacity)) {
            backupDrive_ = *drive;
            return std::pair{*drive, *capacity};
        }
        if (ask(MsgIcon::Information, askText, MsgButtons::OkCancel) != mrOk) return std::nullopt;
    }
}

void TBackupDlg::BitBtn6Click() {
    if (busy_) return;
    // The drives are asked again: what the list showed may have changed since.
    DriveBox_->refresh();
    const auto chosen = DriveBox_->chosen();
    if (!chosen) {
        ask(MsgIcon::Warning,
            QStringLiteral("No removable drive is connected. Please connect a USB stick, a memory card or a floppy "
                           "disk drive and click Next."),
            MsgButtons::Ok);
        DriveBox_->setFocus();
        return;
    }
    backupDrive_ = *chosen;
    const auto disk = backupDisk(kNoDisk);
    if (!disk) {
        done(mrCancel);
        return;
    }
    backup_ = std::make_unique<BackupRun>(
        SourceFolder_, FilePattern_,
        std::vector<std::string>{SourceFolder_, context_.program().programFolder(), homeFolder()});
    backup_->onStatus = [this](const std::string& s) { setStatus(pInst_, qs(s)); };
    backup_->carryLists(context_.program().usersFile(), context_.program().eventsFile());
    // A disk that holds the calendars themselves is never offered: it is cleared before it is written.
    const auto check = backup_->checkDisk(0, disk->first.root, std::nullopt);
    if (check.verdict == BackupRun::Verdict::HoldsSource) {
        ask(MsgIcon::Warning,
            QStringLiteral("The drive %1 holds the folder %2, which a backup would delete. Please choose another "
                           "drive.")
                .arg(driveName(disk->first), qs(check.guardedFolder)),
            MsgButtons::Ok);
        backup_.reset();
        DriveBox_->setFocus();
        return;
    }
    bool found = false;
    try {
        found = backup_->makePlan(disk->second);
    } catch (const std::exception& e) {
        ask(MsgIcon::Error, qs(e.what()), MsgButtons::Ok);
        done(mrCancel);
        return;
    }
    if (!found) {
        ask(MsgIcon::Information, QStringLiteral("No files were found to back up."), MsgButtons::Ok);
        done(mrCancel);
        return;
    }
    const int n = backup_->plan().diskCount;
    lRequire_->setText(QStringLiteral("Backing up your data will require ") + disks(n));
    lPrepare_->setText(QStringLiteral("Please prepare and label ") + disks(n));
    nextDisk_ = 0;
    Pages_->setCurrentWidget(BackupPage_);
    BitBtn4_->setFocus();
}

void TBackupDlg::BitBtn4Click() {
    if (busy_ || !backup_) return;
    const QString caption = BitBtn4_->text();
    if (caption == kFinish) done(mrOk);
    else if (caption == kContinue) continueBackup();
    else startBackup();
}

void TBackupDlg::startBackup() {
    const auto disk = backupDisk(kNoDisk);
    if (!disk) {
        backup_->cleanUp();
        done(mrCancel);
        return;
    }
    const auto wipe = acceptDisk(0, disk->first, disk->second);
    if (!wipe) return;  // still "Start Backup"
    if (backup_->plan().diskCount > 1 && !backup_->prepared()) {
        busy_ = true;
        bool prepared = false;
        try {
            prepared = backup_->prepare(progress(QStringLiteral("Preparing backup files")));
        } catch (const std::exception& e) {
            endProgress();
            backup_->cleanUp();
            busy_ = false;
            ask(MsgIcon::Error, qs(e.what()), MsgButtons::Ok);
            done(mrCancel);
            return;
        }
        endProgress();
        busy_ = false;
        if (!prepared) {  // stopped before any disk was touched
            backup_->cleanUp();
            done(mrCancel);
            return;
        }
    }
    if (writeBackupDisk(0, disk->first, *wipe)) backupWritten(0);
}

void TBackupDlg::continueBackup() {
    const auto disk = backupDisk(kNoDisk);
    if (!disk) {
        stopBackup(QString());
        return;
    }
    const auto wipe = acceptDisk(nextDisk_, disk->first, disk->second);
    if (wipe && writeBackupDisk(nextDisk_, disk->first, *wipe)) backupWritten(nextDisk_);
}

std::optional<bool> TBackupDlg::acceptDisk(int disk, const Drive& drive, std::uint64_t capacity) {
    const QString number = QString::number(disk + 1);
    const auto check = backup_->checkDisk(disk, drive.root, capacity);
    switch (check.verdict) {
        case BackupRun::Verdict::HoldsSource:
            ask(MsgIcon::Warning,
                QStringLiteral("The disk in %1 holds the folder %2, which a backup would delete. Please insert "
                               "another disk.")
                    .arg(driveName(drive), qs(check.guardedFolder)),
                MsgButtons::Ok);
            return std::nullopt;
        case BackupRun::Verdict::WrittenNow:
            ask(MsgIcon::Warning,
                QStringLiteral("This disk already holds Disk %1 of this backup. Please insert Disk %2 and click "
                               "Continue.")
                    .arg(check.writtenAs + 1)
                    .arg(number),
                MsgButtons::Ok);
            return std::nullopt;
        case BackupRun::Verdict::TooSmall:
            ask(MsgIcon::Warning,
                QStringLiteral("This disk is too small for Disk %1 of this backup. Please insert a larger disk.")
                    .arg(number),
                MsgButtons::Ok);
            return std::nullopt;
        case BackupRun::Verdict::HoldsOthers:
            if (ask(MsgIcon::Confirmation,
                    QStringLiteral("The disk in %1 holds %2.\r\rDelete them all and write Disk %3 of the backup?")
                        .arg(driveName(drive), qs(BackupRun::describeOthers(check.contents)), number),
                    MsgButtons::YesNoDefaultNo) != mrYes)
                return std::nullopt;
            return true;
        case BackupRun::Verdict::Ready: break;
    }
    return false;
}

bool TBackupDlg::writeBackupDisk(int disk, const Drive& drive, bool wipe) {
    // A one-disk set reads "Finish" while its files are copied.
    if (backup_->plan().diskCount == 1) BitBtn4_->setText(kFinish);
    busy_ = true;
    bool written = false;
    try {
        written = backup_->writeDisk(disk, drive.root, wipe, progress(QStringLiteral("Copying files")));
    } catch (const std::exception& e) {
        stopBackup(QStringLiteral("The backup could not be completed:\r") + qs(e.what()));
        return false;
    }
    endProgress();
    busy_ = false;
    if (!written) {
        stopBackup(QStringLiteral("The backup was cancelled."));
        return false;
    }
    return true;
}

void TBackupDlg::backupWritten(int disk) {
    nextDisk_ = disk + 1;
    if (nextDisk_ < backup_->plan().diskCount) {
        BitBtn4_->setText(kContinue);
        setStatus(pInst_,
                  QStringLiteral("Insert Disk ") + QString::number(disk + 2) + QStringLiteral(" and click Continue"));
        return;
    }
    BitBtn4_->setText(kFinish);
    if (const auto problem = backup_->cleanUp()) ask(MsgIcon::Warning, qs(*problem), MsgButtons::Ok);
    setStatus(pInst_, QStringLiteral("Backup Completed - Click Finish"));
}

void TBackupDlg::stopBackup(const QString& why) {
    endProgress();
    busy_ = true;
    backup_->cleanUp();
    busy_ = false;
    if (!why.isEmpty()) ask(MsgIcon::Error, why + QStringLiteral("\r\r") + kIncomplete, MsgButtons::Ok);
    done(mrAbort);
}

void TBackupDlg::BitBtn5Click() {
    if (busy_) return;
    // While the backup waits for the next disk, Cancel stops it part-way.
    if (backup_ && BitBtn4_->text() == kContinue) {
        stopBackup(QString());
        return;
    }
    if (backup_) backup_->cleanUp();
    done(mrCancel);
}

// ---- Restore ----

void TBackupDlg::BitBtn2Click() {
    Pages_->setCurrentWidget(RestoreDrivePage_);
    DriveBox2_->refresh();
    DriveBox2_->setFocus();
}

std::optional<Drive> TBackupDlg::firstRestoreDisk(int cancelResult) {
    for (;;) {
        // Nothing chosen (no drive was there): the first drive that has come since.
        if (restoreDrive_ == Drive{}) {
            DriveBox2_->refresh();
            restoreDrive_ = DriveBox2_->chosen().value_or(Drive{});
        }
        const auto drive = driveNow(DriveBox2_, restoreDrive_);
        const QString name = driveName(drive ? *drive : restoreDrive_);
        if (!drive || !context_.drives().capacity(*drive)) {
            const QString where = restoreDrive_ == Drive{}
                                      ? QStringLiteral("Please insert Backup Disk 1 in a drive: no drive is "
                                                       "connected now.")
                                      : QStringLiteral("Please insert Backup Disk 1 in drive ") + name;
            if (ask(MsgIcon::Warning, where, MsgButtons::OkCancel) != mrOk) {
                done(cancelResult);
                return std::nullopt;
            }
            continue;
        }
        restoreDrive_ = *drive;
        switch (restore_->readFirstDisk(drive->root)) {
            case RestoreRun::FirstDisk::Found: return drive;
            case RestoreRun::FirstDisk::DataFolder:
                ask(MsgIcon::Warning,
                    QStringLiteral("%1 is Orvella's own data folder, not a backup disk. Please choose the drive "
                                   "that holds Backup Disk 1.")
                        .arg(name),
                    MsgButtons::Ok);
                return std::nullopt;
            case RestoreRun::FirstDisk::NotFirstDisk:
                if (ask(MsgIcon::Warning,
                        QStringLiteral("Incorrect disk!\r\rPlease insert Backup Disk 1 in drive ") + name,
                        MsgButtons::OkCancel) != mrOk) {
                    done(cancelResult);
                    return std::nullopt;
                }
                break;
        }
    }
}

void TBackupDlg::BitBtn8Click() {
    if (busy_) return;
    restoreDrive_ = DriveBox2_->chosen().value_or(Drive{});
    restore_ = std::make_unique<RestoreRun>(RestoreFolders{SourceFolder_, context_.program().programFolder()},
                                            FilePattern_);
    restore_->onStatus = [this](const std::string& s) { setStatus(pInst2_, qs(s)); };
    if (!firstRestoreDisk(mrAbort)) {
        if (Pages_->currentWidget() == RestoreDrivePage_) DriveBox2_->setFocus();
        return;
    }
    lSetSize_->setText(QStringLiteral("This backup set consists of ") + disks(restore_->diskCount()));
    Pages_->setCurrentWidget(RestorePage_);
    StartBtn_->setFocus();
}

void TBackupDlg::StartBtnClick() {
    if (busy_ || !restore_) return;
    const QString caption = StartBtn_->text();
    if (caption == kFinish) done(mrRestored);
    else if (caption == kContinue) continueRestore();
    else startRestore();
}

void TBackupDlg::startRestore() {
    // The disk may have been swapped since "Next": it is read again.
    const auto drive = firstRestoreDisk(mrCancel);
    if (!drive) return;
    lSetSize_->setText(QStringLiteral("This backup set consists of ") + disks(restore_->diskCount()));
    try {
        restore_->begin(drive->root);
    } catch (const std::exception& e) {
        restoreFailed(qs(e.what()));
        return;
    }
    if (!confirmReplacing()) {
        restore_->abandon();
        return;
    }
    nextDisk_ = 0;
    restoreOn(*drive);
}

bool TBackupDlg::confirmReplacing() {
    std::vector<std::string> changed;
    try {
        changed = restore_->changedSinceMade();
    } catch (const std::exception& e) {
        restoreFailed(qs(e.what()));
        return false;
    }
    if (changed.empty()) return true;
    QString names;
    for (const auto& file : changed) names += QStringLiteral("\r    ") + qs(file.substr(0, file.size() - 4));
    const QString made =
        QDateTime::fromSecsSinceEpoch(restore_->made()).toString(QStringLiteral("d MMMM yyyy, HH:mm"));
    return ask(MsgIcon::Confirmation,
               QStringLiteral("These calendars have changed since the backup set was made (%1):\r%2\r\rThe restore "
                              "replaces them with the backed-up ones. The present ones are kept as copies beside "
                              "the data folder.\r\rRestore them all the same?")
                   .arg(made, names),
               MsgButtons::YesNoDefaultNo) == mrYes;
}

void TBackupDlg::continueRestore() {
    const auto drive = driveNow(DriveBox2_, restoreDrive_);
    if (!drive || !context_.drives().capacity(*drive)) {
        ask(MsgIcon::Warning,
            QStringLiteral("Please insert Backup Disk %1 in drive %2").arg(nextDisk_ + 1).arg(driveName(restoreDrive_)),
            MsgButtons::Ok);
        return;
    }
    restoreDrive_ = *drive;
    restoreOn(*drive);
}

void TBackupDlg::restoreOn(const Drive& drive) {
    RestoreRun::Committed committed;
    try {
        if (restore_->nextDisk() == nextDisk_) {
            if (const auto problem = restore_->checkDisk(nextDisk_, drive.root)) {
                // The first disk without its own pieces is a broken set; a later one is the wrong disk.
                if (nextDisk_ == 0) {
                    restoreFailed(qs(*problem));
                    return;
                }
                ask(MsgIcon::Warning,
                    QStringLiteral("Incorrect disk!\r\rPlease insert Backup Disk %1 in drive %2\r\r%3")
                        .arg(nextDisk_ + 1)
                        .arg(driveName(drive), qs(*problem)),
                    MsgButtons::Ok);
                return;
            }
            busy_ = true;
            const bool staged = restore_->stageDisk(nextDisk_, drive.root, progress(QStringLiteral("Restoring files")));
            endProgress();
            busy_ = false;
            if (!staged) {
                restore_->abandon();
                done(mrCancel);
                return;
            }
        }
        if (restore_->nextDisk() >= 0) {
            nextDisk_ = restore_->nextDisk();
            StartBtn_->setText(kContinue);
            setStatus(pInst2_, QStringLiteral("Insert disk ") + QString::number(nextDisk_ + 1) +
                                   QStringLiteral(" and click Continue"));
            return;
        }
        Program& program = context_.program();
        committed = restore_->commit(program.today(), program.calendars.Names);
        // The list as written: the main window writes it again when it closes.
        if (committed.names) program.calendars.Names = *committed.names;
    } catch (const std::exception& e) {
        restoreFailed(qs(e.what()));
        return;
    }
    for (const auto& note : committed.notes) ask(MsgIcon::Warning, qs(note), MsgButtons::Ok);
    if (!committed.copies.empty())
        ask(MsgIcon::Information,
            QStringLiteral("The calendars the restore replaced are kept as they were in the folder:\r") +
                qs(committed.copies),
            MsgButtons::Ok);
    setStatus(pInst2_, QStringLiteral("Restore Completed - Click Finish"));
    StartBtn_->setText(kFinish);
}

void TBackupDlg::restoreFailed(const QString& why) {
    endProgress();
    busy_ = false;
    restore_->abandon();
    ask(MsgIcon::Error, why + QStringLiteral("\r\rNothing was restored; your calendars are as they were."),
        MsgButtons::Ok);
    nextDisk_ = 0;
    StartBtn_->setText(kStart);
    setStatus(pInst2_, kClickStart);
}

void TBackupDlg::BitBtn11Click() {
    if (busy_) return;
    if (restore_) restore_->abandon();
    done(mrCancel);
}

}  // namespace orv
