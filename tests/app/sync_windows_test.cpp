// The sync's windows against a Radicale of the test's own: an account set up, tested and removed through
// the window (the password in a keyring of the test's own), runs on a thread with their progress, the
// message naming the merged days, and the question before a sync that would delete every day.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <sys/stat.h>

#include "app/sync_dlg.h"
#include "app/sync_runner.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "store/cal_db.h"
#include "support/caldav_server.h"
#include "support/parts.h"
#include "support/session_keyring.h"
#include "support/temp_dir.h"
#include "support/test_context.h"
#include "sync/caldav_client.h"
#include "sync/sync_account.h"
#include "sync/sync_state.h"

using namespace orv;
using test::part;

namespace {

constexpr int kDays = 120;  // a first sync of this many shows the progress dialog

int today() { return dayNumber(2026, 3, 1); }

sync::HttpOptions credentials(const test::CalDavServer& server) {
    sync::HttpOptions o;
    o.user = server.user();
    o.password = server.password();
    return o;
}

// The collection's members, as the server lists them.
std::vector<sync::Member> members(const test::CalDavServer& server, const std::string& collection) {
    sync::HttpClient http(credentials(server));
    return sync::CalDavClient(http).listMembers(collection).changed;
}

void type(QDialog& dlg, const char* name, const QString& text) { part<QLineEdit>(&dlg, name)->setText(text); }
void click(QDialog& dlg, const char* name) {
    QPushButton* b = part<QPushButton>(&dlg, name);
    QVERIFY2(b->isEnabled(), name);
    b->click();
}

}  // namespace

class SyncWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::CalDavServer> server;
    std::unique_ptr<test::SessionKeyring> keyring;
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TestContext> run;
    std::unique_ptr<SyncRunner> runner;
    std::unique_ptr<TSyncDlg> window;
    std::string collection;
    QStringList states;           // the status line's texts
    std::vector<SyncOutcome> outcomes;
    bool progressShown = false;   // the progress dialog was up during a run
    int collections = 0;

    CalDb& store() { return run->program.store; }
    std::string calendarFile() { return run->program.calendars.CalendarFileName(0); }
    std::string passwordFile() { return dir->file("pw"); }

    void syncAndWait(SyncRunner::Trigger trigger) {
        const size_t before = outcomes.size();
        runner->requestSync(trigger);
        runner->waitForRun();
        QCOMPARE(outcomes.size(), before + 1);
    }
    void useAccount() {
        sync::saveSyncAccount(run->program.settingsFile(), "Ann", {collection, server->user(), passwordFile(), {}, {}});
    }

private slots:
    void initTestCase() {
        std::string why;
        server = test::CalDavServer::start(test::CalDavServer::Kind::Radicale, &why);
        if (!server) QSKIP(why.c_str());
        keyring = test::SessionKeyring::start(&why);
    }

    void init() {
        dir = std::make_unique<test::TempDir>();
        dir->write("pw", server->password() + "\n");
        ::chmod(passwordFile().c_str(), 0600);
        run = std::make_unique<test::TestContext>(dir->path(), today());
        run->program.calendars.DataFolder = dir->path();
        run->program.calendars.Names = {"Ann"};
        store().OpenCurrentCalendar();
        for (int i = 0; i < kDays; ++i) store().writeDay(today() + i, "Day " + std::to_string(i) + "\r\nsecond line");
        collection = server->makeCollection("c" + std::to_string(++collections));
        runner = std::make_unique<SyncRunner>(run->context);
        window = std::make_unique<TSyncDlg>(run->context, *runner);
        states.clear();
        outcomes.clear();
        progressShown = false;
        connect(runner.get(), &SyncRunner::stateChanged, this, [this](const QString& s) { states << s; });
        connect(runner.get(), &SyncRunner::progressed, window.get(), &TSyncDlg::runProgressed);
        connect(runner.get(), &SyncRunner::progressed, this, [this] {
            if (auto* p = window->findChild<QProgressDialog*>(QStringLiteral("SyncProgress")); p && p->isVisible())
                progressShown = true;
        });
        connect(runner.get(), &SyncRunner::finished, window.get(), &TSyncDlg::runFinished);
        connect(runner.get(), &SyncRunner::finished, this, [this](const SyncOutcome& o) { outcomes.push_back(o); });
    }

    void cleanup() {
        window.reset();
        runner.reset();
        run.reset();
        dir.reset();
    }

    // Test lists the server's calendars only with the right password; Save keeps the one chosen, the
    // password in the keyring and never in the settings; Sync Now sends every day with the progress dialog
    // up; Remove forgets the account and the state and deletes nothing on the server.
    void anAccountSetUpSyncedAndRemovedThroughTheWindow() {
        if (!keyring) QSKIP("no keyring here");
        window->show();
        type(*window, "eUrl", QString::fromStdString(server->base() + "/"));
        type(*window, "eUser", QString::fromStdString(server->user()));
        const std::string name = collection.substr(collection.rfind('/', collection.size() - 2) + 1);
        struct Try {
            std::string password;
            bool answers;
        };
        for (const Try& t : {Try{"wrong", false}, Try{server->password(), true}}) {
            type(*window, "ePassword", QString::fromStdString(t.password));
            click(*window, "bTest");
            window->waitForServer();
            const auto* found = part<QComboBox>(window.get(), "cbCollection");
            QCOMPARE(found->findData(QString::fromStdString(collection)) >= 0, t.answers);
            click(*window, "bSave");
            window->waitForServer();
            const auto account = sync::loadSyncAccount(run->program.settingsFile(), "Ann");
            QCOMPARE(account.has_value(), t.answers);
        }
        part<QComboBox>(window.get(), "cbCollection")->setEditText(QString::fromStdString(name.substr(0, name.size() - 1)));
        click(*window, "bSave");
        window->waitForServer();
        const auto account = sync::loadSyncAccount(run->program.settingsFile(), "Ann");
        QVERIFY(account);
        QCOMPARE(account->url, collection);
        QVERIFY(account->passwordFile.empty());
        QCOMPARE(sync::keyringPassword(collection, server->user()).value_or(""), server->password());
        QVERIFY(dir->read("Orvella.INI").find(server->password()) == std::string::npos);

        click(*window, "bSync");
        runner->waitForRun();
        QCOMPARE(outcomes.size(), size_t(1));
        QVERIFY2(outcomes[0].ok, qPrintable(outcomes[0].error));
        QCOMPARE(outcomes[0].report.sent, kDays);
        QCOMPARE(int(members(*server, collection).size()), kDays);
        QVERIFY(progressShown);
        QVERIFY(!window->findChild<QProgressDialog*>(QStringLiteral("SyncProgress")) ||
                !window->findChild<QProgressDialog*>(QStringLiteral("SyncProgress"))->isVisible());
        QVERIFY(states.last().startsWith(QStringLiteral("Synced at")));
        QVERIFY(run->seams.messages.empty());

        run->seams.answers = {mrNo, mrYes};
        click(*window, "bRemove");
        QVERIFY(sync::loadSyncAccount(run->program.settingsFile(), "Ann"));
        click(*window, "bRemove");
        window->waitForServer();
        QCOMPARE(run->seams.messages.size(), size_t(2));
        QVERIFY(!sync::loadSyncAccount(run->program.settingsFile(), "Ann"));
        QVERIFY(!sync::SyncState::load(calendarFile()));
        QVERIFY(!sync::keyringPassword(collection, server->user()));
        QCOMPARE(int(members(*server, collection).size()), kDays);
    }

    // A day saved here starts a run a moment later; a day changed on both sides differently is named in
    // one message and keeps both texts.
    void aSaveStartsARunAndAMergedDayIsNamed() {
        useAccount();
        syncAndWait(SyncRunner::Trigger::Periodic);
        QVERIFY(outcomes.back().ok);
        // The second computer changes a day and syncs.
        const int changed = today() + 7;
        test::TempDir other;
        {
            CalDb theirs;
            theirs.LoadStore(other.file("Ann.DBX"));
            theirs.writeDay(changed, "Day 7\r\nfrom the phone");
            theirs.FlushCurrentCalendar();
        }
        const sync::SyncTarget target{"Ann", other.file("Ann.DBX"), other.file("Events.dat"), today()};
        sync::syncCalendar(target, {collection, server->user(), {}, {}, "Ann"}, server->password(), {});

        runner->setDelays(20, 3600 * 1000);
        runner->startRuns();
        QSignalSpy finished(runner.get(), &SyncRunner::finished);
        store().writeDay(changed, "Day 7\r\nfrom here");
        QVERIFY(finished.wait(30000));
        runner->waitForRun();
        const SyncOutcome& o = outcomes.back();
        QVERIFY2(o.ok, qPrintable(o.error));
        QCOMPARE(o.report.mergedDays, std::vector<int>{changed});
        QCOMPARE(run->seams.messages.size(), size_t(1));
        QVERIFY(run->seams.messages[0].text.contains(QString::fromStdString(formatDate("dddd d mmmm yyyy", changed))));
        const std::string merged = store().readDay(changed).value_or("");
        QVERIFY(merged.find("from here") != std::string::npos && merged.find("from the phone") != std::string::npos);
    }

    // A collection emptied elsewhere deletes nothing here until the user says so; an automatic run asks
    // once, the answer No holds for the automatic runs after it, Sync Now asks again.
    void anEmptiedCollectionIsAskedAbout() {
        useAccount();
        syncAndWait(SyncRunner::Trigger::Periodic);
        QVERIFY(outcomes.back().ok);
        sync::HttpClient http(credentials(*server));
        sync::CalDavClient dav(http);
        for (const sync::Member& m : members(*server, collection)) dav.remove(collection, m.href, m.etag);

        run->seams.answers = {mrNo};
        syncAndWait(SyncRunner::Trigger::Periodic);
        syncAndWait(SyncRunner::Trigger::Periodic);
        QCOMPARE(run->seams.messages.size(), size_t(1));
        QCOMPARE(run->seams.messages[0].buttons, MsgButtons::YesNoDefaultNo);
        QCOMPARE(store().readDay(today()).value_or(""), std::string("Day 0\r\nsecond line"));

        window->show();
        run->seams.answers = {mrYes};
        click(*window, "bSync");
        runner->waitForRun();  // the guarded run, then the forced one it asked for
        QCOMPARE(run->seams.messages.size(), size_t(2));
        QVERIFY(outcomes.back().ok && outcomes.back().forced);
        QCOMPARE(outcomes.back().report.deletedHere, kDays);
        store().OpenCurrentCalendar();
        QVERIFY(!store().readDay(today()));
    }

    // Minutes between runs are kept in the settings; none at all is a choice too.
    void theIntervalIsKept() {
        window->show();
        auto* every = part<QCheckBox>(window.get(), "cbInterval");
        for (const bool on : {false, true}) {
            if (every->isChecked() != on) every->click();
            QCOMPARE(sync::loadSyncInterval(run->program.settingsFile()), on ? sync::kDefaultSyncInterval : 0);
            QCOMPARE(runner->interval(), on ? sync::kDefaultSyncInterval : 0);
        }
    }
};

QTEST_MAIN(SyncWindowsTest)
#include "sync_windows_test.moc"
