#include "app/sync_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QThread>
#include <algorithm>
#include <exception>
#include <memory>

#include "app/sync_runner.h"
#include "common/app_context.h"
#include "common/date_format.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"
#include "program/program.h"

namespace orv {
namespace {

constexpr int kWidth = 470;
constexpr int kHeight = 352;

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string toUtf8(const QString& s) { return s.toUtf8().toStdString(); }

QString dayList(const std::vector<int>& days) {
    QStringList out;
    for (const int day : days) out << fromUtf8(formatDate("dddd d mmmm yyyy", day));
    return out.join(QStringLiteral("\n"));
}

}  // namespace

TSyncDlg::TSyncDlg(AppContext& context, SyncRunner& runner, QWidget* parent)
    : QDialog(parent), context_(context), runner_(runner) {
    setWindowTitle(QStringLiteral("Calendar Server"));
    setFixedSize(kWidth, kHeight);
    setFont(sansSerifFont(11, true));

    int y = 12;
    auto row = [this, &y](const char* labelName, const QString& caption, QWidget* field, const QString& hint) {
        auto* label = named(new QLabel(caption, this), labelName);
        label->setGeometry(12, y + 3, 160, 20);
        label->setBuddy(field);
        field->setGeometry(176, y, kWidth - 188, 24);
        field->setAccessibleName(QString(caption).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        setHint(field, hint);
        y += 30;
    };
    cbCalendar_ = named(new QComboBox(this), "cbCalendar");
    row("lCalendar", QStringLiteral("C&alendar:"), cbCalendar_, QStringLiteral("The calendar kept in step with the server"));
    connect(cbCalendar_, &QComboBox::activated, this, [this](int) { cbCalendarChange(); });
    eUrl_ = named(new QLineEdit(this), "eUrl");
    eUrl_->setPlaceholderText(QStringLiteral("https://example.org/dav/"));
    row("lUrl", QStringLiteral("Server &address:"), eUrl_,
        QStringLiteral("The address of the server, or of the calendar on it"));
    eUser_ = named(new QLineEdit(this), "eUser");
    row("lUser", QStringLiteral("&User name:"), eUser_, QStringLiteral("Your user name on the server"));
    ePassword_ = named(new QLineEdit(this), "ePassword");
    ePassword_->setEchoMode(QLineEdit::Password);
    row("lPassword", QStringLiteral("&Password:"), ePassword_,
        QStringLiteral("Kept in the desktop's keyring, never in the settings"));
    ePasswordFile_ = named(new QLineEdit(this), "ePasswordFile");
    ePasswordFile_->setPlaceholderText(QStringLiteral("none: the keyring"));
    row("lPasswordFile", QStringLiteral("Password &file:"), ePasswordFile_,
        QStringLiteral("Instead of the keyring: a file that only you can read, the password on its first line"));
    eCaFile_ = named(new QLineEdit(this), "eCaFile");
    eCaFile_->setPlaceholderText(QStringLiteral("none: the system's certificates"));
    row("lCaFile", QStringLiteral("E&xtra CA file:"), eCaFile_,
        QStringLiteral("The certificate of a server that signs its own, trusted beside the system's"));
    cbCollection_ = named(new QComboBox(this), "cbCollection");
    cbCollection_->setEditable(true);
    cbCollection_->lineEdit()->setPlaceholderText(QStringLiteral("the first calendar found"));
    row("lCollection", QStringLiteral("Calendar &on the server:"), cbCollection_,
        QStringLiteral("Which of the server's calendars this one is kept in step with; Test lists them"));

    cbInterval_ = named(new QCheckBox(QStringLiteral("&Sync every"), this), "cbInterval");
    cbInterval_->setGeometry(12, y + 4, 160, 20);
    setHint(cbInterval_, QStringLiteral("Sync while Orvella runs, besides at its start and after each change"));
    connect(cbInterval_, &QCheckBox::clicked, this, [this] { cbIntervalClick(); });
    seInterval_ = named(new QSpinBox(this), "seInterval");
    seInterval_->setRange(1, sync::kMaxSyncInterval);
    seInterval_->setSuffix(QStringLiteral(" minutes"));
    seInterval_->setGeometry(176, y, 130, 26);
    seInterval_->setAccessibleName(QStringLiteral("Minutes between syncs"));
    setHint(seInterval_, QStringLiteral("Minutes between syncs while Orvella runs"));
    connect(seInterval_, &QSpinBox::editingFinished, this, [this] { cbIntervalClick(); });
    y += 34;

    lState_ = named(new QLabel(this), "lState");
    lState_->setGeometry(12, y, kWidth - 24, 62);
    lState_->setWordWrap(true);
    lState_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lState_->setFrameShape(QFrame::Panel);
    lState_->setFrameShadow(QFrame::Sunken);
    lState_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lState_->setFont(sansSerifFont(11));

    struct Button {
        QPushButton** button;
        const char* name;
        QString caption;
        QString hint;
    };
    const Button buttons[] = {
        {&bTest_, "bTest", QStringLiteral("&Test"), QStringLiteral("Check that the server answers and takes the password")},
        {&bSave_, "bSave", QStringLiteral("Sa&ve"), QStringLiteral("Keep this server for the calendar")},
        {&bRemove_, "bRemove", QStringLiteral("&Remove"),
         QStringLiteral("Stop syncing this calendar; nothing is deleted on either side")},
        {&bSync_, "bSync", QStringLiteral("Sync &Now"), QStringLiteral("Sync the current calendar now")},
        {&bClose_, "bClose", QStringLiteral("Close"), QStringLiteral("Close this window")},
    };
    int x = 12;
    for (const Button& b : buttons) {
        *b.button = named(new QPushButton(b.caption, this), b.name);
        (*b.button)->setGeometry(x, kHeight - 37, 84, 27);
        setHint(*b.button, b.hint);
        x += 90;
    }
    bClose_->setDefault(true);
    connect(bTest_, &QPushButton::clicked, this, [this] { bTestClick(); });
    connect(bSave_, &QPushButton::clicked, this, [this] { bSaveClick(); });
    connect(bRemove_, &QPushButton::clicked, this, [this] { bRemoveClick(); });
    connect(bSync_, &QPushButton::clicked, this, [this] { bSyncClick(); });
    connect(bClose_, &QPushButton::clicked, this, [this] { done(mrOk); });
}

TSyncDlg::~TSyncDlg() {
    for (QThread* t : threads_) {
        t->wait();
        delete t;
    }
}

void TSyncDlg::waitForServer() {
    while (!threads_.empty()) {
        threads_.front()->wait();
        QCoreApplication::sendPostedEvents(this);
    }
}

void TSyncDlg::offThread(std::function<Answer()> work, std::function<void(const Answer&)> done) {
    // The thread's own address, for its end on the window's thread; set before it starts.
    auto self = std::make_shared<QThread*>(nullptr);
    QThread* thread = QThread::create([this, self, work = std::move(work), done = std::move(done)]() mutable {
        Answer answer;
        try {
            answer = work();
        } catch (const std::exception& e) {
            answer.ok = false;
            answer.error = fromUtf8(e.what());
        }
        QMetaObject::invokeMethod(this, [this, self, answer, done = std::move(done)] {
            QThread* t = *self;
            t->wait();
            threads_.erase(std::find(threads_.begin(), threads_.end(), t));
            delete t;
            done(answer);
        }, Qt::QueuedConnection);
    });
    *self = thread;
    threads_.push_back(thread);
    thread->start();
}

std::string TSyncDlg::calendarName() const { return toUtf8(cbCalendar_->currentText()); }

void TSyncDlg::showEvent(QShowEvent* e) {
    const CalendarList& calendars = context_.program().calendars;
    cbCalendar_->clear();
    for (const std::string& name : calendars.Names) cbCalendar_->addItem(fromUtf8(name));
    cbCalendar_->setCurrentIndex(calendars.CurrentCalendarIndex);
    const int minutes = runner_.interval();
    cbInterval_->setChecked(minutes > 0);
    seInterval_->setValue(minutes > 0 ? minutes : sync::kDefaultSyncInterval);
    showAccount();
    QDialog::showEvent(e);
}

void TSyncDlg::cbCalendarChange() { showAccount(); }

void TSyncDlg::showAccount() {
    std::optional<sync::SyncAccount> account;
    const bool read = guarded(context_.ui(), this, [&] {
        account = sync::loadSyncAccount(context_.program().settingsFile(), calendarName());
    });
    eUrl_->setText(account ? fromUtf8(account->url) : QString());
    eUser_->setText(account ? fromUtf8(account->user) : QString());
    ePassword_->clear();
    ePassword_->setPlaceholderText(account && account->passwordFile.empty() && !account->user.empty()
                                       ? QStringLiteral("kept in the keyring; type to change it")
                                       : QString());
    // File names are bytes; shown as well as they read.
    ePasswordFile_->setText(account ? QString::fromLocal8Bit(account->passwordFile.c_str()) : QString());
    eCaFile_->setText(account ? QString::fromLocal8Bit(account->caFile.c_str()) : QString());
    cbCollection_->clear();
    cbCollection_->setEditText(QString());
    updateButtons();
    if (!read) lState_->setText(QStringLiteral("The settings file cannot be read."));
    else if (!account) lState_->setText(QStringLiteral("This calendar is kept on this computer only."));
    else lState_->setText(QStringLiteral("Kept in step with %1").arg(fromUtf8(account->url)));
}

void TSyncDlg::updateButtons() {
    std::optional<sync::SyncAccount> account;
    try {
        account = sync::loadSyncAccount(context_.program().settingsFile(), calendarName());
    } catch (const std::exception&) {
        // showAccount tells.
    }
    const bool current = cbCalendar_->currentIndex() == context_.program().calendars.CurrentCalendarIndex;
    bRemove_->setEnabled(account.has_value());
    bSync_->setEnabled(account.has_value() && current && !runner_.running());
}

void TSyncDlg::setBusy(bool busy, const QString& state) {
    for (QWidget* w : std::initializer_list<QWidget*>{cbCalendar_, bTest_, bSave_, bRemove_, bSync_}) w->setEnabled(!busy);
    if (!busy) updateButtons();
    if (!state.isEmpty()) lState_->setText(state);
}

void TSyncDlg::bTestClick() {
    const std::string url = toUtf8(eUrl_->text().trimmed()), user = toUtf8(eUser_->text().trimmed());
    const std::string typed = toUtf8(ePassword_->text());
    const std::string passwordFile = ePasswordFile_->text().trimmed().toLocal8Bit().toStdString();
    const std::string caFile = eCaFile_->text().trimmed().toLocal8Bit().toStdString();
    if (url.empty()) {
        lState_->setText(QStringLiteral("Type the address of the server first."));
        return;
    }
    setBusy(true, QStringLiteral("Asking the server..."));
    offThread(
        [=] {
            std::string password = typed;
            if (!passwordFile.empty()) password = sync::readPasswordFile(passwordFile);
            else if (password.empty() && !user.empty()) password = sync::keyringPassword(url, user).value_or("");
            Answer a;
            a.collections = sync::listCollections(url, user, password, caFile);
            a.ok = true;
            return a;
        },
        [this](const Answer& a) {
            setBusy(false);
            if (!a.ok) {
                lState_->setText(QStringLiteral("The test failed: %1").arg(a.error));
                return;
            }
            const QString chosen = cbCollection_->currentText();
            cbCollection_->clear();
            QStringList names;
            for (const sync::FoundCollection& c : a.collections) {
                cbCollection_->addItem(fromUtf8(c.displayName), fromUtf8(c.url));
                names << fromUtf8(c.displayName);
            }
            if (!chosen.isEmpty()) cbCollection_->setEditText(chosen);
            lState_->setText(a.collections.empty()
                                 ? QStringLiteral("The server answers, but holds no calendar for this user.")
                                 : QStringLiteral("The server answers and takes the password. Its calendars: %1")
                                       .arg(names.join(QStringLiteral(", "))));
        });
}

void TSyncDlg::bSaveClick() {
    const std::string name = calendarName();
    const std::string url = toUtf8(eUrl_->text().trimmed()), user = toUtf8(eUser_->text().trimmed());
    const std::string typed = toUtf8(ePassword_->text());
    const std::string passwordFile = ePasswordFile_->text().trimmed().toLocal8Bit().toStdString();
    const std::string caFile = eCaFile_->text().trimmed().toLocal8Bit().toStdString();
    const std::string collection = toUtf8(cbCollection_->currentText().trimmed());
    if (url.empty()) {
        lState_->setText(QStringLiteral("Type the address of the server first."));
        return;
    }
    if (!passwordFile.empty() && passwordFile.front() != '/') {
        lState_->setText(QStringLiteral("Give the password file with its whole path, from \"/\" on."));
        return;
    }
    std::optional<sync::SyncAccount> before;
    if (!guarded(context_.ui(), this, [&] { before = sync::loadSyncAccount(context_.program().settingsFile(), name); }))
        return;
    const std::string oldUrl = before ? before->url : std::string();
    setBusy(true, QStringLiteral("Asking the server..."));
    offThread(
        [=] {
            std::string password = typed;
            if (!passwordFile.empty()) {
                password = sync::readPasswordFile(passwordFile);
            } else if (password.empty() && !user.empty()) {
                auto known = sync::keyringPassword(url, user);
                if (!known && !oldUrl.empty()) known = sync::keyringPassword(oldUrl, user);
                if (!known) throw sync::AccountError("type the password: the keyring holds none for this server");
                password = *known;
            }
            Answer a;
            a.chosen = sync::findCollection(url, user, password, caFile, collection);
            if (passwordFile.empty() && !user.empty()) sync::storeKeyringPassword(a.chosen.url, user, password);
            a.ok = true;
            return a;
        },
        [this, name, user, passwordFile, caFile, before](const Answer& a) {
            setBusy(false);
            if (!a.ok) {
                // What was typed stays, to be put right.
                lState_->setText(QStringLiteral("Not saved: %1").arg(a.error));
                return;
            }
            // A calendar set up again keeps the name its events were made under.
            const std::string identity = before && !before->identity.empty() ? before->identity : name;
            if (!guarded(context_.ui(), this, [&] {
                    sync::saveSyncAccount(context_.program().settingsFile(), name,
                                          {a.chosen.url, user, passwordFile, caFile, identity});
                }))
                return;
            showAccount();
            lState_->setText(QStringLiteral("Saved: kept in step with \"%1\" at %2")
                                 .arg(fromUtf8(a.chosen.displayName), fromUtf8(a.chosen.url)));
        });
}

void TSyncDlg::bRemoveClick() {
    const std::string name = calendarName();
    std::optional<sync::SyncAccount> account;
    if (!guarded(context_.ui(), this, [&] { account = sync::loadSyncAccount(context_.program().settingsFile(), name); }) ||
        !account)
        return;
    const QString question =
        QStringLiteral("The calendar \"%1\" will no longer be synced with %2.\n\nNothing is deleted, here or on the "
                       "server. Remove the server?")
            .arg(cbCalendar_->currentText(), fromUtf8(account->url));
    if (context_.ui().message(this, MsgIcon::Confirmation, question, MsgButtons::YesNoDefaultNo) != mrYes) return;
    const CalendarList& calendars = context_.program().calendars;
    const int index = cbCalendar_->currentIndex();
    if (!guarded(context_.ui(), this, [&] {
            sync::removeSyncAccount(context_.program().settingsFile(), name);
            sync::forgetSyncState(calendars.CalendarFileName(index));
        }))
        return;
    showAccount();
    if (account->passwordFile.empty() && !account->user.empty()) {
        const sync::SyncAccount gone = *account;
        offThread(
            [gone] {
                sync::clearKeyringPassword(gone.url, gone.user);
                return Answer{true, {}, {}, {}};
            },
            [this](const Answer& a) {
                if (!a.ok) lState_->setText(QStringLiteral("Removed; the password stays in the keyring: %1").arg(a.error));
            });
    }
}

void TSyncDlg::bSyncClick() {
    askedGuard_ = false;
    bSync_->setEnabled(false);
    lState_->setText(QStringLiteral("Syncing..."));
    runner_.requestSync(SyncRunner::Trigger::OnDemand);
}

void TSyncDlg::cbIntervalClick() {
    const int minutes = cbInterval_->isChecked() ? seInterval_->value() : 0;
    seInterval_->setEnabled(cbInterval_->isChecked());
    if (minutes == runner_.interval()) return;
    if (guarded(context_.ui(), this, [&] { sync::saveSyncInterval(context_.program().settingsFile(), minutes); }))
        runner_.setInterval(minutes);
}

void TSyncDlg::runProgressed(const sync::SyncProgress& p, bool firstSync) {
    if (!firstSync || p.total < kManyDays) {
        if (progress_) progress_->setValue(p.done);
        return;
    }
    if (!progress_) {
        QWidget* over = isVisible() ? this : parentWidget();
        progress_ = named(new QProgressDialog(over), "SyncProgress");
        progress_->setWindowTitle(QStringLiteral("First Sync"));
        progress_->setWindowModality(Qt::NonModal);
        progress_->setMinimumDuration(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        progress_->setCancelButtonText(QStringLiteral("Stop"));
        progress_->setAccessibleName(QStringLiteral("First sync"));
        connect(progress_, &QProgressDialog::canceled, this, [this] { runner_.cancel(); });
    }
    using Step = sync::SyncProgress::Step;
    progress_->setLabelText(p.step == Step::Fetching
                                ? QStringLiteral("Fetching %1 events from the server...").arg(p.total)
                                : p.step == Step::SavingDays ? QStringLiteral("Saving %1 days here...").arg(p.total)
                                                             : QStringLiteral("Sending %1 days to the server...").arg(p.total));
    progress_->setMaximum(p.total);
    progress_->setValue(p.done);
    progress_->show();
}

void TSyncDlg::runFinished(const SyncOutcome& o) {
    if (progress_) {
        progress_->hide();
        progress_->deleteLater();
        progress_ = nullptr;
    }
    updateButtons();
    lState_->setText(syncStatusLine(o, QTime::currentTime().toString(QStringLiteral("HH:mm"))));
    QWidget* over = isVisible() ? this : parentWidget();
    UiSeams& ui = context_.ui();
    if (!o.ok) {
        if (o.errorKind == sync::SyncError::Kind::Guard && !o.forced && (o.onDemand || !askedGuard_)) {
            const QString question =
                QStringLiteral("The sync of \"%1\" stopped and deleted nothing: %2.\n\nIf the days were deleted on "
                               "purpose, the sync can go on and delete them. Delete them?")
                    .arg(o.calendar, o.error);
            if (ui.message(over, MsgIcon::Warning, question, MsgButtons::YesNoDefaultNo) == mrYes)
                runner_.requestSync(SyncRunner::Trigger::OnDemand, true);
            else askedGuard_ = true;
        } else if (o.onDemand && o.errorKind != sync::SyncError::Kind::Cancelled) {
            ui.error(over, QStringLiteral("The sync of \"%1\" stopped: %2").arg(o.calendar, o.error));
        }
        return;
    }
    const sync::SyncReport& r = o.report;
    QStringList parts;
    if (!r.mergedDays.empty())
        parts << QStringLiteral("Changed here and on the server, now holding both texts:\n") + dayList(r.mergedDays);
    if (!r.restoredDays.empty())
        parts << QStringLiteral("Deleted on one side and changed on the other, the change kept:\n") + dayList(r.restoredDays);
    for (const std::string& m : r.messages) parts << fromUtf8(m);
    if (!parts.isEmpty())
        ui.information(over, QStringLiteral("The sync of \"%1\" with its server:\n\n").arg(o.calendar) +
                                 parts.join(QStringLiteral("\n\n")));
}

}  // namespace orv
