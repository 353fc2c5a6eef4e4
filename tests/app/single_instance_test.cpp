// One window program per program folder: the claim in every state the lock and the socket can be in, and
// a second start of the real program.

#include <QtTest>

#include <atomic>
#include <memory>

#include <fcntl.h>

#include "app/single_instance.h"
#include "common/sys_file.h"
#include "support/temp_dir.h"

using namespace orv;
using Claim = SingleInstance::Claim;

namespace {

// A second claim, as another process would make it: on its own thread, while this one answers.
Claim claimBeside(const std::string& folder, const std::string& runtime, int waitMs) {
    std::atomic<bool> done = false;
    Claim result = Claim::Unchecked;
    std::unique_ptr<QThread> other(QThread::create([&] {
        result = SingleInstance(folder, runtime).claim(waitMs);
        done = true;
    }));
    other->start();
    [[maybe_unused]] const bool finished = QTest::qWaitFor([&] { return done.load(); }, waitMs + 10000);
    other->wait();
    return result;
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void claims_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("expected");
        QTest::newRow("running on the same folder") << "running" << int(Claim::AnsweredByOther);
        QTest::newRow("running on another folder") << "other folder" << int(Claim::Ours);
        QTest::newRow("socket left by a killed one") << "stale socket" << int(Claim::Ours);
        QTest::newRow("locked, not listening") << "silent" << int(Claim::OtherSilent);
        QTest::newRow("no runtime folder") << "no runtime" << int(Claim::Unchecked);
        QTest::newRow("no program folder") << "no folder" << int(Claim::Unchecked);
    }
    void claims() {
        QFETCH(QString, setup);
        QFETCH(int, expected);
        test::TempDir folder, other, runtimeDir;
        std::string runtime = runtimeDir.path();
        std::string asked = folder.path();
        SingleInstance first(setup == "other folder" ? other.path() : folder.path(), runtime);
        int raised = 0;
        connect(&first, &SingleInstance::raiseRequested, [&] { ++raised; });
        SysFile holder;
        if (setup == "running" || setup == "other folder") {
            QCOMPARE(first.claim(), Claim::Ours);
        } else if (setup == "stale socket") {
            runtimeDir.write(first.socketPath().substr(runtime.size() + 1), "");
        } else if (setup == "silent") {
            holder = SysFile::create(first.socketPath().substr(0, first.socketPath().rfind('.')) + ".lock",
                                     O_RDWR, 0, 0600);
            QVERIFY(holder.tryLock(true));
        } else if (setup == "no runtime") {
            runtime += "/missing";
        } else if (setup == "no folder") {
            asked += "/missing";
        }
        QCOMPARE(int(claimBeside(asked, runtime, 300)), expected);
        QCOMPARE(raised, setup == "running" ? 1 : 0);
    }

    // The real program: a second start on the folder ends at once with 0 and leaves the first running.
    void secondStartOfTheProgram() {
        test::TempDir folder, runtime;
        folder.write("CalUsers.DAT", "Ann\r\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.path()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        const QStringList args{"--folder", QString::fromStdString(folder.path())};
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(ORVELLA_PROGRAM, args);
        QVERIFY(first.waitForStarted());
        const std::string socket = SingleInstance(folder.path(), runtime.path()).socketPath();
        QVERIFY(QTest::qWaitFor([&] { return statPath(socket).has_value(); }, 60000));
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(ORVELLA_PROGRAM, args);
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(30000));
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
