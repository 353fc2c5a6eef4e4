#pragma once
// The "Calendar Server" window, opened from the Options window: the CalDAV server of a calendar (the
// current one unless another is chosen) set up, tested and removed, the minutes between syncs, and a sync
// on demand. Talking to the server runs on threads of their own; the window only waits for their answers.
// It also speaks for the runs it did not start: the progress of a first sync of many days, the one message
// naming the days merged or restored, and the question before a sync that would delete much.

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "sync/sync_account.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QSpinBox;
class QThread;

namespace orv {

class AppContext;
class SyncRunner;
struct SyncOutcome;

class TSyncDlg : public QDialog {
    Q_OBJECT
public:
    // A first sync shows the progress dialog from this many events or days on.
    static constexpr int kManyDays = 100;

    TSyncDlg(AppContext& context, SyncRunner& runner, QWidget* parent = nullptr);
    ~TSyncDlg() override;

    // The runner's news, wired by start-up.
    void runProgressed(const sync::SyncProgress& progress, bool firstSync);
    void runFinished(const SyncOutcome& outcome);

    // Waits for the window's own talks with the server (tests).
    void waitForServer();

protected:
    void showEvent(QShowEvent* e) override;

private:
    struct Answer {
        bool ok = false;
        QString error;
        std::vector<sync::FoundCollection> collections;  // Test
        sync::FoundCollection chosen;                    // Save
    };
    void showAccount();
    void setBusy(bool busy, const QString& state = {});
    // Remove and Sync Now as the stored account allows.
    void updateButtons();
    // Runs work on a thread of its own, then done on the window's thread.
    void offThread(std::function<Answer()> work, std::function<void(const Answer&)> done);
    std::string calendarName() const;
    QString passwordNote() const;

    // Handlers.
    void cbCalendarChange();
    void bTestClick();
    void bSaveClick();
    void bRemoveClick();
    void bSyncClick();
    void cbIntervalClick();

    AppContext& context_;
    SyncRunner& runner_;
    std::vector<QThread*> threads_;
    QProgressDialog* progress_ = nullptr;
    bool askedGuard_ = false;  // the question was answered No since the last sync on demand

    QComboBox* cbCalendar_;
    QLineEdit* eUrl_;
    QLineEdit* eUser_;
    QLineEdit* ePassword_;
    QLineEdit* ePasswordFile_;
    QLineEdit* eCaFile_;
    QComboBox* cbCollection_;
    QCheckBox* cbInterval_;
    QSpinBox* seInterval_;
    QLabel* lState_;
    QPushButton* bTest_;
    QPushButton* bSave_;
    QPushButton* bRemove_;
    QPushButton* bSync_;
    QPushButton* bClose_;
};

}  // namespace orv
