#include "app/sync_runner.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <exception>

#include "common/app_context.h"
#include "common/file_util.h"
#include "program/program.h"
#include "sync/sync_account.h"
#include "sync/sync_state.h"

namespace orv {
namespace {

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString stepText(const sync::SyncProgress& p) {
    using Step = sync::SyncProgress::Step;
    const QString of = p.total > 0 ? QStringLiteral(" %1 of %2").arg(p.done).arg(p.total) : QString();
    switch (p.step) {
    case Step::Listing: return QStringLiteral("Sync: asking the server what changed");
    case Step::Fetching: return QStringLiteral("Sync: fetching") + (of.isEmpty() ? QStringLiteral(" events") : of);
    case Step::SavingDays: return QStringLiteral("Sync: saving the days");
    case Step::Sending: return QStringLiteral("Sync: sending") + (of.isEmpty() ? QStringLiteral(" days") : of);
    case Step::Finishing: return QStringLiteral("Sync: finishing");
    }
    return {};
}

}  // namespace

QString syncStatusLine(const SyncOutcome& o, const QString& at) {
    if (!o.ok) return QStringLiteral("Sync stopped at %1: %2").arg(at, o.error);
    const sync::SyncReport& r = o.report;
    const int changes = r.sent + r.received + r.deletedHere + r.deletedThere;
    if (changes == 0) return QStringLiteral("In step with the server at %1").arg(at);
    QString line = QStringLiteral("Synced at %1: %2 sent, %3 received").arg(at).arg(r.sent).arg(r.received);
    if (r.deletedHere + r.deletedThere > 0) line += QStringLiteral(", %1 deleted").arg(r.deletedHere + r.deletedThere);
    if (!r.mergedDays.empty()) line += QStringLiteral(", %1 merged").arg(r.mergedDays.size());
    return line;
}

SyncRunner::SyncRunner(AppContext& context, QObject* parent)
    : QObject(parent),
      context_(context),
      periodic_(new QTimer(this)),
      afterSave_(new QTimer(this)),
      intervalMinutes_(sync::kDefaultSyncInterval) {
    qRegisterMetaType<SyncOutcome>();
    qRegisterMetaType<sync::SyncProgress>();
    afterSave_->setSingleShot(true);
    afterSave_->setInterval(5000);
    connect(afterSave_, &QTimer::timeout, this, [this] { requestSync(Trigger::AfterSave); });
    connect(periodic_, &QTimer::timeout, this, [this] { requestSync(Trigger::Periodic); });
    try {
        intervalMinutes_ = sync::loadSyncInterval(context_.program().settingsFile());
    } catch (const std::exception&) {
        // An unreadable settings file is reported by the windows that need it; the runs keep the default.
    }
    // Only this program's own saves: the store of a run is another one.
    context_.program().store.onChanged = [self = QPointer<SyncRunner>(this)] {
        if (self) self->daySaved();
    };
}

SyncRunner::~SyncRunner() {
    context_.program().store.onChanged = nullptr;
    // The windows it would tell are going: the run's end is not delivered.
    cancel();
    if (thread_) {
        thread_->wait();
        delete thread_;
    }
}

void SyncRunner::waitForRun() {
    while (thread_) {
        thread_->wait();
        // The run's end is queued to this thread; it may start the run asked for meanwhile.
        QCoreApplication::sendPostedEvents(this);
    }
}

void SyncRunner::setInterval(int minutes) {
    intervalMinutes_ = minutes;
    if (!started_) return;
    if (minutes > 0) periodic_->start(minutes * 60 * 1000);
    else periodic_->stop();
}

void SyncRunner::setDelays(int afterSaveMs, int afterStartMs) {
    afterSave_->setInterval(afterSaveMs);
    afterStartMs_ = afterStartMs;
}

void SyncRunner::startRuns() {
    if (started_) return;
    started_ = true;
    QTimer::singleShot(afterStartMs_, this, [this] { requestSync(Trigger::Start); });
    setInterval(intervalMinutes_);
}

void SyncRunner::daySaved() {
    if (started_) afterSave_->start();
}

void SyncRunner::cancel() {
    pending_.reset();
    if (thread_) cancel_ = true;
}

void SyncRunner::requestSync(Trigger trigger, bool forceDelete) {
    if (thread_) {
        if (!pending_ || trigger == Trigger::OnDemand) pending_ = trigger;
        pendingForce_ = pendingForce_ || forceDelete;
        return;
    }
    start(trigger, forceDelete);
}

void SyncRunner::start(Trigger trigger, bool forceDelete) {
    Program& program = context_.program();
    if (program.calendars.size() == 0) return;
    const int index = program.calendars.CurrentCalendarIndex;
    const std::string name = program.calendars.currentName();
    SyncOutcome outcome;
    outcome.calendar = fromUtf8(name);
    outcome.forced = forceDelete;
    outcome.onDemand = trigger == Trigger::OnDemand;
    std::optional<sync::SyncAccount> account;
    try {
        account = sync::loadSyncAccount(program.settingsFile(), name);
    } catch (const std::exception& e) {
        outcome.error = fromUtf8(e.what());
    }
    if (!account) {
        if (trigger != Trigger::OnDemand) return;
        if (outcome.error.isEmpty())
            outcome.error = QStringLiteral("The calendar \"%1\" has no server yet.").arg(outcome.calendar);
        emit finished(outcome);
        return;
    }
    // Saves made until now go with this run.
    afterSave_->stop();
    const sync::SyncTarget target = sync::syncTargetFor(program, index);
    firstSync_ = !fileExists(sync::SyncState::stateFileName(target.calendarFile)) &&
                 !fileExists(sync::SyncState::journalFileName(target.calendarFile));
    cancel_ = false;
    emit stateChanged(QStringLiteral("Sync: starting"));
    const bool first = firstSync_;
    thread_ = QThread::create([this, target, account = *account, outcome, forceDelete, first]() mutable {
        sync::SyncRunOptions options;
        options.forceDelete = forceDelete;
        options.cancel = &cancel_;
        options.progress = [this, first](const sync::SyncProgress& p) {
            QMetaObject::invokeMethod(this, [this, p, first] {
                emit stateChanged(stepText(p));
                emit progressed(p, first);
            }, Qt::QueuedConnection);
        };
        try {
            outcome.report = sync::syncCalendar(target, account, sync::accountPassword(account), options);
            outcome.ok = true;
        } catch (const sync::SyncError& e) {
            outcome.errorKind = e.kind();
            outcome.error = fromUtf8(e.what());
        } catch (const std::exception& e) {
            outcome.error = fromUtf8(e.what());
        }
        QMetaObject::invokeMethod(this, [this, outcome] { runFinished(outcome); }, Qt::QueuedConnection);
    });
    thread_->start(QThread::LowPriority);
}

void SyncRunner::runFinished(SyncOutcome outcome) {
    if (thread_) {
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
    emit stateChanged(syncStatusLine(outcome, QTime::currentTime().toString(QStringLiteral("HH:mm"))));
    if (outcome.ok && outcome.report.changedHere) emit calendarChanged();
    emit finished(outcome);
    if (pending_) {
        const Trigger next = *pending_;
        const bool force = pendingForce_;
        pending_.reset();
        pendingForce_ = false;
        start(next, force);
    }
}

}  // namespace orv
