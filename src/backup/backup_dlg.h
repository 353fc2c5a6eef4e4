#pragma once
// The backup and restore wizard ("Backup/Restore Calendars"): a start page, then either the backup drive
// page and the backup page, or the restore drive page and the restore page, each replacing the one
// before in the same place. It works on the program's data folder and its "*.dbx" files, and on the
// drives of the context's drive layer, asked again at every step. Results: 1 a backup finished, 2 left
// without one, 3 a backup stopped part-way or the restore abandoned at the disk check, 8 a restore
// finished.

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "backup/disk_files.h"
#include "backup/drive_layer.h"
#include "common/ui_seams.h"

class QLabel;
class QProgressDialog;
class QPushButton;
class QStackedWidget;

namespace orv {

class AppContext;
class BackupRun;
class DriveCombo;
class RestoreRun;

class TBackupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int mrRestored = 8;

    explicit TBackupDlg(AppContext& context, QWidget* parent = nullptr);
    ~TBackupDlg() override;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void buildStartPage();
    void buildBackupDrivePage();
    void buildBackupPage();
    void buildRestoreDrivePage();
    void buildRestorePage();
    QWidget* page(const char* name);
    QLabel* title(QWidget* page, const QString& text);
    QPushButton* button(QWidget* page, const char* name, const QString& caption, int x, int y, int width);
    int ask(MsgIcon icon, const QString& text, MsgButtons buttons);
    void act(const std::function<void()>& handler);  // every handler: no error crosses the event loop

    // Handlers.
    void FormActivate();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn6Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn8Click();
    void StartBtnClick();
    void BitBtn11Click();

    // The drive chosen in box, looked up again; nullopt when it holds no disk now.
    std::optional<Drive> driveNow(DriveCombo* box, const Drive& chosen);
    // Waits for a usable disk in the chosen drive; nullopt when the user cancelled.
    std::optional<std::pair<Drive, std::uint64_t>> backupDisk(const QString& askText);

    // Backup steps.
    void startBackup();
    void continueBackup();
    // Checks disk `disk` in drive: whether its other files go (after a Yes), or nullopt when it is refused
    // and the wizard keeps waiting.
    std::optional<bool> acceptDisk(int disk, const Drive& drive, std::uint64_t capacity);
    // Writes it; false when the backup stopped (the window is then closing).
    bool writeBackupDisk(int disk, const Drive& drive, bool wipe);
    void backupWritten(int disk);
    void stopBackup(const QString& why);  // clean-up, message, Abort

    // Restore steps.
    std::optional<Drive> firstRestoreDisk(int cancelResult);
    void startRestore();
    // Names the calendars changed since the set was made and asks whether to go on; true when there are
    // none or the user agrees.
    bool confirmReplacing();
    void continueRestore();
    // Reads the pieces of the disk in the drive when they are the ones due, then waits or finishes.
    void restoreOn(const Drive& drive);
    void restoreFailed(const QString& why);

    CopyProgress progress(const QString& label);
    void endProgress();
    void setStatus(QLabel* panel, const QString& text);
    QString driveName(const Drive& drive) const;

    AppContext& context_;
    std::string SourceFolder_;  // the data folder, at each opening
    std::string FilePattern_ = "*.dbx";
    std::unique_ptr<BackupRun> backup_;
    std::unique_ptr<RestoreRun> restore_;
    Drive backupDrive_;
    Drive restoreDrive_;
    int nextDisk_ = 0;  // the backup's next disk to write, the restore's disk due in the drive
    bool busy_ = false;
    QProgressDialog* progress_ = nullptr;

    QStackedWidget* Pages_;
    QWidget* StartPage_;
    QPushButton* BitBtn1_;  // "Backup"
    QWidget* BackupDrivePage_;
    DriveCombo* DriveBox_;
    QWidget* BackupPage_;
    QLabel* lRequire_;
    QLabel* lPrepare_;
    QLabel* pInst_;
    QPushButton* BitBtn4_;  // "Start Backup", "Continue", "Finish"
    QWidget* RestoreDrivePage_;
    DriveCombo* DriveBox2_;
    QWidget* RestorePage_;
    QLabel* lSetSize_;
    QLabel* pInst2_;
    QPushButton* StartBtn_;  // "Start", "Continue", "Finish"
};

}  // namespace orv
