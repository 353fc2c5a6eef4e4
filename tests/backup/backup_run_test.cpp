// Backups and restores over folders standing for disks, through the engine the window drives: the waits
// between disks, stops at each of them, and the checks made on every disk before it is used.

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>

#include "backup/backup_error.h"
#include "backup/backup_run.h"
#include "backup/backup_set.h"
#include "backup/restore_run.h"
#include "common/sys_file.h"
#include "support/folder_snapshot.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using test::patterned;
using test::snapshot;

constexpr std::uint64_t kDisk = 20000;  // three disks for the calendars below
constexpr int kToday = 46100;

class BackupRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("Data/Ann.DBX", patterned(3000, 1));
        dir.write("Data/Bob.DBX", patterned(30000, 2));  // split over all three disks
        dir.write("Data/Cy.DBX", patterned(5000, 3));
        for (int i = 1; i <= 4; ++i) fs::create_directories(disk(i - 1));
    }
    std::string data() const { return dir.file("Data"); }
    RestoreFolders folders() const { return {data(), dir.path()}; }
    std::string disk(int i) const { return dir.file("disk" + std::to_string(i + 1)); }

    BackupRun backupRun() {
        BackupRun run(data(), std::string(kCalendarPattern), {data(), dir.path()});
        run.onStatus = [this](const std::string& s) { steps.push_back(s); };
        return run;
    }
    // Plans and prepares; the disks are then written one by one by the test.
    BackupRun planned(std::uint64_t capacity = kDisk) {
        BackupRun run = backupRun();
        EXPECT_TRUE(run.makePlan(capacity));
        EXPECT_TRUE(run.prepare());
        return run;
    }
    void backUp(std::uint64_t capacity = kDisk) {
        BackupRun run = planned(capacity);
        for (int i = 0; i < run.plan().diskCount; ++i) ASSERT_TRUE(run.writeDisk(i, disk(i), false));
        EXPECT_FALSE(run.cleanUp());
    }
    // Runs a whole restore from the disks in order; the first problem, if any.
    std::optional<std::string> restore() {
        RestoreRun run(folders(), std::string(kCalendarPattern));
        run.onStatus = [this](const std::string& s) { steps.push_back(s); };
        try {
            if (run.readFirstDisk(disk(0)) != RestoreRun::FirstDisk::Found) return "no first disk";
            run.begin(disk(0));
            for (int d = run.nextDisk(); d >= 0; d = run.nextDisk()) {
                if (auto problem = run.checkDisk(d, disk(d))) return problem;
                run.stageDisk(d, disk(d));
            }
            run.commit(kToday);
        } catch (const std::exception& e) {
            return e.what();
        }
        return std::nullopt;
    }

    test::TempDir dir;
    std::vector<std::string> steps;
};

TEST_F(BackupRunTest, RoundTripsOverOneAndThreeDisks) {
    struct Case {
        const char* what;
        std::uint64_t capacity;
        int disks;
    };
    for (const Case c : {Case{"one disk", 1'000'000, 1}, Case{"three disks, a file split", kDisk, 3}}) {
        SCOPED_TRACE(c.what);
        // An older set on the disks goes without a question.
        for (int i = 0; i < 3; ++i) dir.write("disk" + std::to_string(i + 1) + "/old.dbx", "old");
        dir.write("disk1/DiskInf.0", diskInfBytes(7));
        dir.write("disk1/BACKUP.INF", "1,1\r\n");
        const test::Snapshot before = snapshot(data());
        steps.clear();
        backUp(c.capacity);
        EXPECT_EQ(test::folderDiff(snapshot(data()), before), "") << "temporary folders left behind";
        EXPECT_EQ(dir.read("disk1/DiskInf.0"), diskInfBytes(c.disks));
        EXPECT_EQ(dir.exists("disk1/Backup.inf"), c.disks > 1);
        EXPECT_FALSE(dir.exists("disk1/old.dbx"));
        EXPECT_FALSE(dir.exists("disk1/BACKUP.INF"));

        // Calendars changed and lost since: the restore brings back the backed-up bytes and leaves a
        // calendar of another name alone.
        dir.write("Data/Ann.DBX", "changed");
        fs::remove(dir.file("Data/Bob.DBX"));
        dir.write("Data/Keep.DBX", "mine");
        steps.clear();
        EXPECT_EQ(restore(), std::nullopt);
        test::Snapshot expected = before;
        expected["Keep.DBX"] = "mine";
        EXPECT_EQ(test::folderDiff(snapshot(data()), expected), "");
        fs::remove(dir.file("Data/Keep.DBX"));
        for (int i = 0; i < 3; ++i) fs::remove_all(disk(i)), fs::create_directories(disk(i));
    }
    // The files come in the order the data folder listed them.
    std::sort(steps.begin(), steps.end());
    EXPECT_EQ(steps, (std::vector<std::string>{"Appending Bob.DBX", "Appending Bob.DBX", "Restoring Ann.DBX",
                                               "Restoring Bob.DBX", "Restoring Cy.DBX"}));
}

TEST_F(BackupRunTest, StopAtEachWaitLeavesDataFolderAndWrittenDisks) {
    const test::Snapshot before = snapshot(data());
    for (int stopAfter = 0; stopAfter < 2; ++stopAfter) {
        SCOPED_TRACE(stopAfter);
        BackupRun run = planned();
        ASSERT_EQ(run.plan().diskCount, 3);
        for (int i = 0; i <= stopAfter; ++i) ASSERT_TRUE(run.writeDisk(i, disk(i), false));
        EXPECT_FALSE(run.cleanUp());
        EXPECT_EQ(test::folderDiff(snapshot(data()), before), "");
        EXPECT_EQ(dir.read("disk1/DiskInf.0"), diskInfBytes(3));  // disks written stay as written
        EXPECT_TRUE(dir.exists("disk1/Backup.inf"));
    }
    // A restore of the incomplete set stops at the missing disk and writes nothing.
    dir.write("Data/Ann.DBX", "newer");
    const test::Snapshot newer = snapshot(data());
    fs::remove_all(disk(2));
    fs::create_directories(disk(2));
    EXPECT_NE(restore(), std::nullopt);
    EXPECT_EQ(test::folderDiff(snapshot(data()), newer), "");
}

TEST_F(BackupRunTest, CopyStoppedInTheFirstDiskLeavesNoFirstDisk) {
    dir.write("disk1/DiskInf.0", diskInfBytes(1));  // last week's set
    BackupRun run = planned();
    int calls = 0;
    EXPECT_FALSE(run.writeDisk(0, disk(0), false, [&](std::uint64_t, std::uint64_t) { return ++calls < 2; }));
    EXPECT_FALSE(run.cleanUp());
    RestoreRun restore(folders(), std::string(kCalendarPattern));
    EXPECT_EQ(restore.readFirstDisk(disk(0)), RestoreRun::FirstDisk::NotFirstDisk);
    EXPECT_FALSE(fs::exists(dir.file("Data/Disk0")));
}

TEST_F(BackupRunTest, EachDiskIsCheckedBeforeItIsWritten) {
    BackupRun run = planned();
    ASSERT_TRUE(run.writeDisk(0, disk(0), false));
    dir.write("disk2/photo.jpg", "jpeg");
    dir.write("disk2/DCIM/100.jpg", "jpeg");
    dir.write("disk2/old.DBX", "an older set's");
    struct Case {
        const char* what;
        std::string root;
        std::optional<std::uint64_t> capacity;
        BackupRun::Verdict verdict;
    };
    const Case cases[] = {
        {"the first disk again", disk(0), kDisk, BackupRun::Verdict::WrittenNow},
        {"somebody's photos", disk(1), kDisk, BackupRun::Verdict::HoldsOthers},
        {"an empty disk", disk(2), kDisk, BackupRun::Verdict::Ready},
        {"too small", disk(2), 1000, BackupRun::Verdict::TooSmall},
        {"holds the data folder", dir.path(), kDisk, BackupRun::Verdict::HoldsSource},
        {"holds the home folder", "/", kDisk, BackupRun::Verdict::HoldsSource},
        {"inside the data folder", data() + "/Disk1", kDisk, BackupRun::Verdict::HoldsSource},
    };
    for (const Case& c : cases) EXPECT_EQ(run.checkDisk(1, c.root, c.capacity).verdict, c.verdict) << c.what;
    const auto check = run.checkDisk(1, disk(1), kDisk);
    EXPECT_EQ(BackupRun::describeOthers(check.contents),
              "1 file and 1 folder that are not part of a backup set: DCIM/, photo.jpg");
    EXPECT_EQ(check.contents.setFiles, std::vector<std::string>{"old.DBX"});

    // Without leave nothing is deleted; with it the disk is cleared and written.
    EXPECT_THROW(run.writeDisk(1, disk(1), false), BackupError);
    EXPECT_TRUE(dir.exists("disk2/photo.jpg"));
    EXPECT_THROW(run.writeDisk(1, disk(0), true), BackupError);  // never over a disk of this run
    ASSERT_TRUE(run.writeDisk(1, disk(1), true));
    EXPECT_FALSE(dir.exists("disk2/photo.jpg"));
    EXPECT_FALSE(dir.exists("disk2/DCIM"));
    EXPECT_FALSE(dir.exists("disk2/old.DBX"));
    EXPECT_EQ(run.checkDisk(2, disk(1), kDisk).writtenAs, 1);
    EXPECT_FALSE(run.cleanUp());
}

TEST_F(BackupRunTest, StalePiecesAndAForeignDiskFolderName) {
    dir.write("Data/Disk0/Old.DBX", "stale piece");
    dir.write("Data/Disk1/Bob.DBX", "stale piece of Bob");
    backUp();
    EXPECT_FALSE(dir.exists("Data/Disk0"));
    EXPECT_FALSE(dir.exists("Data/Disk1"));
    EXPECT_FALSE(dir.exists("disk1/Old.DBX"));
    EXPECT_EQ(restore(), std::nullopt);
    EXPECT_EQ(dir.read("Data/Bob.DBX"), patterned(30000, 2));

    dir.write("Data/Disk2", "a file where a folder should go");
    BackupRun run = backupRun();
    ASSERT_TRUE(run.makePlan(kDisk));
    EXPECT_THROW(run.prepare(), BackupError);
    EXPECT_FALSE(run.cleanUp());
    EXPECT_EQ(dir.read("Data/Disk2"), "a file where a folder should go");
}

TEST_F(BackupRunTest, ACalendarThatChangesOrADiskThatGoesAreReported) {
    BackupRun run = backupRun();
    ASSERT_TRUE(run.makePlan(kDisk));
    dir.write("Data/Cy.DBX", "shorter now");
    EXPECT_THROW(run.prepare(), BackupError);
    EXPECT_FALSE(run.cleanUp());

    BackupRun pulled = planned();
    fs::remove_all(disk(0));
    EXPECT_ANY_THROW(pulled.writeDisk(0, disk(0), false));
    EXPECT_FALSE(pulled.cleanUp());
    EXPECT_FALSE(dir.exists("Data/Disk0"));
}

TEST_F(BackupRunTest, RestoreStoppedAtEachWaitChangesNothing) {
    backUp();
    dir.write("Data/Ann.DBX", "newer than the backup");
    const test::Snapshot before = snapshot(data());
    for (int stopBefore = 1; stopBefore <= 3; ++stopBefore) {
        SCOPED_TRACE(stopBefore);
        {
            RestoreRun run(folders(), std::string(kCalendarPattern));
            ASSERT_EQ(run.readFirstDisk(disk(0)), RestoreRun::FirstDisk::Found);
            run.begin(disk(0));
            for (int d = 0; d < stopBefore; ++d) ASSERT_TRUE(run.stageDisk(d, disk(d)));
        }  // a run that ends without commit (even with every disk read) takes its temporary files with it
        EXPECT_EQ(test::folderDiff(snapshot(data()), before), "");
    }
    RestoreRun run(folders(), std::string(kCalendarPattern));
    ASSERT_EQ(run.readFirstDisk(disk(0)), RestoreRun::FirstDisk::Found);
    run.begin(disk(0));
    EXPECT_FALSE(run.stageDisk(0, disk(0), [](std::uint64_t, std::uint64_t) { return false; }));
    run.abandon();
    EXPECT_EQ(test::folderDiff(snapshot(data()), before), "");
}

TEST_F(BackupRunTest, RestoreWaitsForTheRightDisk) {
    backUp();
    RestoreRun run(folders(), std::string(kCalendarPattern));
    ASSERT_EQ(run.readFirstDisk(disk(0)), RestoreRun::FirstDisk::Found);
    run.begin(disk(0));
    ASSERT_TRUE(run.stageDisk(0, disk(0)));
    ASSERT_EQ(run.nextDisk(), 1);
    // The first or third disk in place of the second: a piece is missing or has another length.
    EXPECT_NE(run.checkDisk(1, disk(0)), std::nullopt);
    EXPECT_NE(run.checkDisk(1, disk(2)), std::nullopt);
    EXPECT_NE(run.checkDisk(1, disk(3)), std::nullopt);  // an empty disk
    EXPECT_THROW(run.stageDisk(1, disk(2)), BackupError);
    // A piece that is a link to a file of the right length is no piece.
    fs::rename(dir.file("disk2/Bob.DBX"), dir.file("elsewhere.DBX"));
    fs::create_symlink(dir.file("elsewhere.DBX"), dir.file("disk2/Bob.DBX"));
    EXPECT_NE(run.checkDisk(1, disk(1)), std::nullopt);
    fs::remove(dir.file("disk2/Bob.DBX"));
    fs::rename(dir.file("elsewhere.DBX"), dir.file("disk2/bob.dbx"));  // another case is the same file
    EXPECT_EQ(run.checkDisk(1, disk(1)), std::nullopt);
    ASSERT_TRUE(run.stageDisk(1, disk(1)));
    ASSERT_TRUE(run.stageDisk(2, disk(2)));
    auto written = run.commit(kToday).written;
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"Ann.DBX", "Bob.DBX", "Cy.DBX"}));
    EXPECT_EQ(dir.read("Data/Bob.DBX"), patterned(30000, 2));
}

// Fails each file call of a three-disk backup and then of its restore in turn, as a full or broken disk
// would: a backup that reports success restores exactly; a backup that fails inside the first disk leaves
// no first disk; the data folder is never touched by a backup, and a restore changes it whole or not at all.
TEST_F(BackupRunTest, EveryFailingFileCallIsReportedAndLosesNothing) {
    const test::Snapshot data0 = snapshot(data());
    const auto freshDisks = [&] {
        for (int i = 0; i < 3; ++i) fs::remove_all(disk(i)), fs::create_directories(disk(i));
        dir.write("disk1/DiskInf.0", diskInfBytes(1));  // last week's one-disk set
        dir.write("disk1/Ann.DBX", "last week");
    };
    // Returns what failed; stage: -1 while preparing, then the disk being written, 3 in the clean-up.
    const auto backUpReporting = [&](int& stage) -> std::optional<std::string> {
        stage = -1;
        BackupRun run = backupRun();
        std::optional<std::string> problem;
        try {
            if (!run.makePlan(kDisk)) return "no plan";
            const bool prepared = run.prepare();
            for (stage = 0; prepared && stage < run.plan().diskCount; ++stage)
                if (!run.writeDisk(stage, disk(stage), false)) break;
            if (!prepared || stage < 3) problem = "stopped";
        } catch (const std::exception& e) {
            problem = e.what();
        }
        if (const auto left = run.cleanUp(); left && !problem) problem = left;
        return problem;
    };
    const auto failing = [&](int k, int error, int& n) {
        n = 0;
        setFileCallHook([&n, k, error](FileCall, const std::string&) { return ++n == k ? error : 0; });
    };

    freshDisks();
    int calls = 0, stage = 0;
    failing(0, 0, calls);
    ASSERT_EQ(backUpReporting(stage), std::nullopt);
    ASSERT_GT(calls, 20);
    for (int k = 1; k <= calls; ++k) {
        SCOPED_TRACE("backup, call " + std::to_string(k) + " of " + std::to_string(calls));
        freshDisks();
        int n = 0;
        failing(k, k % 2 ? EIO : ENOSPC, n);
        const auto problem = backUpReporting(stage);
        setFileCallHook(nullptr);
        EXPECT_EQ(test::folderDiff(snapshot(data()), data0), "");
        if (!problem) {
            EXPECT_EQ(restore(), std::nullopt);
            EXPECT_EQ(test::folderDiff(snapshot(data()), data0), "");
        } else if (stage == 0) {
            RestoreRun probe(folders(), std::string(kCalendarPattern));
            EXPECT_EQ(probe.readFirstDisk(disk(0)), RestoreRun::FirstDisk::NotFirstDisk) << *problem;
        }
    }

    freshDisks();
    ASSERT_EQ(backUpReporting(stage), std::nullopt);
    dir.write("Data/Ann.DBX", "changed since");
    fs::remove(dir.file("Data/Bob.DBX"));
    dir.write("Data/Keep.DBX", "mine");
    const test::Snapshot changed = snapshot(data());
    test::Snapshot restored = data0;
    restored["Keep.DBX"] = "mine";
    failing(0, 0, calls);
    ASSERT_EQ(restore(), std::nullopt);
    setFileCallHook(nullptr);
    for (int k = 1; k <= calls; ++k) {
        SCOPED_TRACE("restore, call " + std::to_string(k) + " of " + std::to_string(calls));
        for (const auto& [path, bytes] : changed) dir.write("Data/" + path, bytes);
        fs::remove(dir.file("Data/Bob.DBX"));
        int n = 0;
        failing(k, k % 2 ? EIO : ENOSPC, n);
        const auto problem = restore();
        setFileCallHook(nullptr);
        test::Snapshot now = snapshot(data());
        if (!problem) std::erase_if(now, [](const auto& e) { return RestoreRun::isStagingName(e.first); });
        EXPECT_EQ(test::folderDiff(now, problem ? changed : restored), "") << problem.value_or("");
    }
}

TEST_F(BackupRunTest, MoreThanAHundredCalendarsOverThreeDisks) {
    for (int i = 0; i < 110; ++i) dir.write("Data/Cal" + std::to_string(i) + ".DBX", patterned(100 + i, i));
    const test::Snapshot before = snapshot(data());
    backUp();
    // 113 pieces' lines in the disks' "DiskSet.inf" take a fourth disk.
    EXPECT_EQ(dir.read("disk1/DiskInf.0"), diskInfBytes(4));
    for (const auto& [name, bytes] : before) fs::remove(dir.file("Data/" + name));
    EXPECT_EQ(restore(), std::nullopt);
    EXPECT_EQ(test::folderDiff(snapshot(data()), before), "");
}

// A data folder on a file system without second names (a FAT stick): a calendar that cannot be put in
// place gives the ones before it back their old files.
TEST_F(BackupRunTest, AFailedRestoreWithoutHardLinksPutsEveryCalendarBack) {
    backUp();
    dir.write("Data/Ann.DBX", "newer");
    dir.write("Data/Bob.DBX", "newer too");
    const test::Snapshot before = snapshot(data());
    // Ann goes in place first; Bob's turn fails.
    const std::string bob = dir.file("Data/Bob.DBX");
    setFileCallHook([&](FileCall call, const std::string& path) {
        if (call == FileCall::Link) return EPERM;
        return call == FileCall::Rename && path == bob ? EIO : 0;
    });
    EXPECT_NE(restore(), std::nullopt);
    setFileCallHook(nullptr);
    EXPECT_EQ(test::folderDiff(snapshot(data()), before), "");
    EXPECT_EQ(snapshot(dir.path()).count("Data before restore 2026-03-19/"), 0u);
}

TEST_F(BackupRunTest, RestoreKeepsTheSpellingOfTheCalendarItReplaces) {
    fs::remove(dir.file("Data/Ann.DBX"));
    fs::rename(dir.file("Data/Bob.DBX"), dir.file("Data/JOHN.DBX"));
    backUp();
    fs::rename(dir.file("Data/JOHN.DBX"), dir.file("Data/John.dbx"));
    dir.write("Data/John.dbx", "older");
    dir.write("Data/.orvella-restore-0.tmp", "left by a restore that crashed");
    EXPECT_EQ(restore(), std::nullopt);
    EXPECT_EQ(dir.read("Data/John.dbx"), patterned(30000, 2));
    EXPECT_FALSE(dir.exists("Data/JOHN.DBX"));
    EXPECT_FALSE(dir.exists("Data/.orvella-restore-0.tmp"));

    RestoreRun fromData(folders(), std::string(kCalendarPattern));
    dir.write("Data/DiskInf.0", diskInfBytes(1));
    EXPECT_EQ(fromData.readFirstDisk(data()), RestoreRun::FirstDisk::DataFolder);
}

}  // namespace
}  // namespace orv
