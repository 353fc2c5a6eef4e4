#pragma once
// The windows' syncs of the current calendar with its CalDAV server: a while after the start, every few
// minutes, a few seconds after a day was saved, and on demand. A run works on a thread of its own with a
// store of its own, so the windows go on meanwhile; one run at a time, and one asked for during a run
// follows it. What a run did comes back as signals on the windows' thread.

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "sync/calendar_sync.h"

class QThread;
class QTimer;

namespace orv {

class AppContext;

// What one run came to.
struct SyncOutcome {
    QString calendar;  // the calendar's name
    bool ok = false;
    sync::SyncReport report;               // ok
    std::optional<sync::SyncError::Kind> errorKind;  // not ok: nullopt for an account that cannot be used
    QString error;                         // not ok
    bool forced = false;                   // run with forceDelete
    bool onDemand = false;                 // asked for by the user
};

class SyncRunner : public QObject {
    Q_OBJECT
public:
    enum class Trigger { Start, Periodic, AfterSave, OnDemand };

    explicit SyncRunner(AppContext& context, QObject* parent = nullptr);
    // Stops a run that is still going and waits for its thread.
    ~SyncRunner() override;

    // A run of the current calendar, when it has an account; none (and no signal) without one, unless
    // asked for on demand, which reports the missing account.
    void requestSync(Trigger trigger, bool forceDelete = false);
    void cancel();
    bool running() const { return thread_ != nullptr; }

    // The first start of the window program: a run a while later, once the windows are up. Only once.
    void startRuns();
    // Minutes between runs (0: none), from the settings at construction.
    void setInterval(int minutes);
    int interval() const { return intervalMinutes_; }
    // The wait after a save and after the start, in milliseconds.
    void setDelays(int afterSaveMs, int afterStartMs);

    // Waits for the running thread (tests, the end of the program).
    void waitForRun();

signals:
    // The status line's text: what runs, or what the last run did.
    void stateChanged(const QString& line);
    // A step of the run; firstSync: the calendar was never synced with this collection.
    void progressed(sync::SyncProgress progress, bool firstSync);
    // The run changed the calendar file: the windows show its days anew.
    void calendarChanged();
    void finished(const orv::SyncOutcome& outcome);

private:
    void daySaved();
    void start(Trigger trigger, bool forceDelete);
    void runFinished(SyncOutcome outcome);

    AppContext& context_;
    QTimer* periodic_;
    QTimer* afterSave_;
    int afterStartMs_ = 4000;
    int intervalMinutes_;
    bool started_ = false;
    QThread* thread_ = nullptr;
    std::atomic<bool> cancel_{false};
    // A run asked for while one runs: the strongest of them.
    std::optional<Trigger> pending_;
    bool pendingForce_ = false;
    bool firstSync_ = false;
};

QString syncStatusLine(const SyncOutcome& outcome, const QString& at);

}  // namespace orv

Q_DECLARE_METATYPE(orv::SyncOutcome)
Q_DECLARE_METATYPE(orv::sync::SyncProgress)
