// backup and restore from the terminal, folders standing for disks.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "backup/backup_set.h"
#include "events/birthday_list.h"
#include "support/cli_fixture.h"
#include "support/folder_snapshot.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using test::patterned;
using test::snapshot;

class BackupCommandsTest : public test::CliFixture {
protected:
    void SetUp() override {
        dir.write("CalUsers.DAT", "Ann\r\nBob\r\n");
        dir.write("Data/Ann.DBX", patterned(2048, 1));
        dir.write("Data/Bob.DBX", patterned(30000, 2));
        for (const char* d : {"d1", "d2", "d3"}) fs::create_directories(dir.file(d));
    }
    std::vector<std::string> disks(int n) const {
        std::vector<std::string> out;
        for (int i = 1; i <= n; ++i) out.push_back(dir.file("d" + std::to_string(i)));
        return out;
    }
    test::CliResult backup(std::vector<std::string> extra, int n = 3) {
        std::vector<std::string> args{"backup"};
        for (auto& d : disks(n)) args.push_back(d);
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    test::CliResult restore(int n = 3) {
        std::vector<std::string> args{"restore"};
        for (auto& d : disks(n)) args.push_back(d);
        return run(args);
    }
};

TEST_F(BackupCommandsTest, BackupAndRestoreOverThreeFolders) {
    const test::Snapshot before = snapshot(dir.file("Data"));
    const test::CliResult b = backup({"--disk-size", "16000"});
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(b.out,
              "Preparing backup files\n"
              "Deleting old files on target disk\nCopying files\n"
              "Deleting old files on target disk\nCopying files\n"
              "Deleting old files on target disk\nCopying files\n"
              "Deleting temporary files\nBackup Completed\n");
    EXPECT_EQ(dir.read("d1/DiskInf.0"), diskInfBytes(3));
    EXPECT_EQ(test::folderDiff(snapshot(dir.file("Data")), before), "");

    dir.write("Data/Ann.DBX", "changed");
    const test::CliResult r = restore();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Restoring Bob.DBX\nAppending Bob.DBX\nAppending Bob.DBX\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Restoring Ann.DBX\n"), std::string::npos);
    EXPECT_TRUE(r.out.ends_with("Restore Completed\n"));
    EXPECT_EQ(test::folderDiff(snapshot(dir.file("Data")), before), "");

    // One disk from the folder's own file system size; the unused folders are left alone.
    dir.write("d3/mine.txt", "keep");
    ASSERT_EQ(backup({}).status, 0);
    EXPECT_EQ(dir.read("d1/DiskInf.0"), diskInfBytes(1));
    EXPECT_FALSE(dir.exists("d1/Backup.inf"));
    EXPECT_TRUE(dir.exists("d3/mine.txt"));
}

TEST_F(BackupCommandsTest, RefusalsWriteNothing) {
    dir.write("d2/photo.jpg", "jpeg");
    dir.write("one/DiskInf.0", diskInfBytes(1));  // a set of one disk from before disks knew their set
    dir.write("one/a:b.dbx", "x");
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        const char* inErr;
    };
    const Case cases[] = {
        {"too few folders", {"backup", dir.file("d1"), "--disk-size", "16000"}, 2, "needs 3 disks, but 1 folder"},
        {"foreign files",
         {"backup", dir.file("d1"), dir.file("d2"), dir.file("d3"), "--disk-size", "16000"},
         2,
         "1 file that is not part of a backup set: photo.jpg; give --wipe"},
        {"holds the program folder", {"backup", dir.path()}, 2, "holds"},
        {"inside the data folder", {"backup", dir.file("Data")}, 2, "holds"},
        {"a folder twice", {"backup", dir.file("d1"), dir.file("d1/"), "--disk-size", "16000"}, 2, "given twice"},
        {"no such folder", {"backup", dir.file("nowhere")}, 2, "nowhere"},
        {"too small a disk", {"backup", dir.file("d1"), "--disk-size", "4096"}, 2, "4096"},
        {"no folder", {"backup", "--wipe"}, 1, "usage"},
        {"bad size", {"backup", dir.file("d1"), "--disk-size", "1e6"}, 1, "--disk-size"},
        {"no restore folder", {"restore"}, 1, "usage"},
        {"restore from the data folder", {"restore", dir.file("Data")}, 2, "data folder"},
        {"restore without a set", {"restore", dir.file("d1")}, 2, "Incorrect disk!"},
        {"a file no calendar can be named after", {"restore", dir.file("one")}, 2,
         "\"a:b.dbx\", whose name cannot be a calendar's name"},
    };
    const test::Snapshot before = snapshot(dir.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const test::CliResult r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
        EXPECT_EQ(test::folderDiff(snapshot(dir.path()), before), "");
    }
    const test::CliResult wiped = backup({"--disk-size", "16000", "--wipe"});
    EXPECT_EQ(wiped.status, 0) << wiped.err;
    EXPECT_FALSE(dir.exists("d2/photo.jpg"));
}

TEST_F(BackupCommandsTest, CaseTwinsInTheDataFolderAreNamed) {
    dir.write("Data/ANN.DBX", "twin");
    const test::CliResult r = backup({"--disk-size", "16000"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("ANN.DBX"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Ann.DBX"), std::string::npos) << r.err;
    EXPECT_FALSE(dir.exists("d1/DiskInf.0"));
}

// Every kind of damage to a three-disk set: the restore refuses it and the data folder stays as it was.
TEST_F(BackupCommandsTest, DamagedSetsLeaveTheDataFolderAsItWas) {
    ASSERT_EQ(backup({"--disk-size", "16000"}).status, 0);
    const test::Snapshot set = snapshot(dir.path());
    dir.write("Data/Ann.DBX", "newer than the backup");
    const std::string inf = dir.read("d1/Backup.inf");
    // A "Backup.inf" of these cell lines, declaring as many rows as they use.
    const auto withRows = [&](const std::string& rows) {
        int count = 0;
        for (size_t at = 0; at < rows.size(); at = rows.find('\n', at) + 1)
            count = std::max(count, std::atoi(rows.c_str() + rows.find(',', at) + 1) + 1);
        return [=, this] {
            dir.write("d1/Backup.inf", "3," + std::to_string(count) + "\r\ncw 0,192\r\ncw 1,71\r\ncw 2,70\r\n" + rows);
        };
    };
    struct Case {
        const char* what;
        std::function<void()> damage;
        const char* inErr;
    };
    const Case cases[] = {
        {"no DiskInf.0", [&] { fs::remove(dir.file("d1/DiskInf.0")); }, "Incorrect disk!"},
        {"DiskInf.0 of 3 bytes", [&] { dir.write("d1/DiskInf.0", std::string(3, '\3')); }, "Incorrect disk!"},
        {"DiskInf.0 of 5 bytes", [&] { dir.write("d1/DiskInf.0", std::string("\3\0\0\0\0", 5)); }, "Incorrect disk!"},
        {"DiskInf.0 counts 0", [&] { dir.write("d1/DiskInf.0", diskInfBytes(0)); }, "Incorrect disk!"},
        {"DiskInf.0 counts -1", [&] { dir.write("d1/DiskInf.0", diskInfBytes(-1)); }, "Incorrect disk!"},
        {"DiskInf.0 a folder",
         [&] {
             fs::remove(dir.file("d1/DiskInf.0"));
             fs::create_directory(dir.file("d1/DiskInf.0"));
         },
         "Incorrect disk!"},
        {"DiskInf.0 counts too few", [&] { dir.write("d1/DiskInf.0", diskInfBytes(2)); }, "damaged"},
        {"DiskInf.0 counts more than given", [&] { dir.write("d1/DiskInf.0", diskInfBytes(4)); }, "has 4 disks"},
        {"no Backup.inf", [&] { fs::remove(dir.file("d1/Backup.inf")); }, "Backup.inf not found"},
        {"empty Backup.inf", [&] { dir.write("d1/Backup.inf", ""); }, "corrupt file"},
        {"no rows", [&] { dir.write("d1/Backup.inf", "3,0\r\n"); }, "corrupt file"},
        {"no columns", [&] { dir.write("d1/Backup.inf", "0,3\r\n"); }, "corrupt file"},
        {"two columns", [&] { dir.write("d1/Backup.inf", "2,3\r\n" + inf.substr(inf.find("cw"))); }, "corrupt file"},
        {"more rows declared than given", [&] { dir.write("d1/Backup.inf", "3,9" + inf.substr(3)); }, "corrupt file"},
        {"a path for a name", withRows("0,0,../Ann.DBX\r\n1,0,2048\r\n2,0,0\r\n"), "corrupt file"},
        {"a dot name", withRows("0,0,..\r\n1,0,2048\r\n2,0,0\r\n"), "corrupt file"},
        {"an empty name", withRows("1,0,2048\r\n2,0,0\r\n"), "corrupt file"},
        {"not a calendar file", withRows("0,0,Ann.txt\r\n1,0,2048\r\n2,0,0\r\n"), "corrupt file"},
        {"a name no calendar takes", withRows("0,0,a:b.DBX\r\n1,0,2048\r\n2,0,0\r\n"), "corrupt file"},
        {"a signed length", withRows("0,0,Ann.DBX\r\n1,0,+2048\r\n2,0,0\r\n"), "corrupt file"},
        {"a length with a blank", withRows("0,0,Ann.DBX\r\n1,0, 2048\r\n2,0,0\r\n"), "corrupt file"},
        {"a length too large", withRows("0,0,Ann.DBX\r\n1,0,99999999999999999999\r\n2,0,0\r\n"), "corrupt file"},
        {"a disk beyond the set", withRows("0,0,Ann.DBX\r\n1,0,2048\r\n2,0,3\r\n"), "corrupt file"},
        {"a negative disk", withRows("0,0,Ann.DBX\r\n1,0,2048\r\n2,0,-1\r\n"), "corrupt file"},
        {"disks going back", withRows("0,0,Bob.DBX\r\n1,0,1\r\n2,0,1\r\n0,1,Ann.DBX\r\n1,1,2048\r\n2,1,0\r\n"),
         "corrupt file"},
        {"a file in two runs",
         withRows(
             "0,0,Ann.DBX\r\n1,0,1\r\n2,0,0\r\n0,1,Bob.DBX\r\n1,1,1\r\n2,1,0\r\n0,2,Ann.DBX\r\n1,2,1\r\n2,2,1\r\n"),
         "corrupt file"},
        {"case twins", withRows("0,0,Ann.DBX\r\n1,0,1\r\n2,0,0\r\n0,1,ANN.DBX\r\n1,1,1\r\n2,1,0\r\n"), "corrupt file"},
        {"one name twice on a disk", withRows("0,0,Ann.DBX\r\n1,0,1\r\n2,0,0\r\n0,1,Ann.DBX\r\n1,1,1\r\n2,1,0\r\n"),
         "corrupt file"},
        {"a length that is not the piece's", withRows("0,0,Ann.DBX\r\n1,0,2047\r\n2,0,0\r\n"), "damaged"},
        {"a piece missing on the last disk", [&] { fs::remove(dir.file("d3/Bob.DBX")); }, "d3/Bob.DBX not found"},
        {"a piece that is a link",
         [&] {
             fs::rename(dir.file("d2/Bob.DBX"), dir.file("Bob.piece"));
             fs::create_symlink(dir.file("Bob.piece"), dir.file("d2/Bob.DBX"));
         },
         "d2/Bob.DBX not found"},
        {"Backup.inf a folder",
         [&] {
             fs::remove(dir.file("d1/Backup.inf"));
             fs::create_directory(dir.file("d1/Backup.inf"));
         },
         "not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* d : {"d1", "d2", "d3"}) fs::remove_all(dir.file(d));
        fs::remove_all(dir.file("Bob.piece"));
        for (const auto& [path, bytes] : set)
            if (path.starts_with("d") && !path.ends_with("/")) dir.write(path, bytes);
        c.damage();
        const test::Snapshot before = snapshot(dir.file("Data"));
        const test::CliResult r = restore();
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(test::folderDiff(snapshot(dir.file("Data")), before), "");
    }
}

// A set knows its disks: disks in the wrong order, a disk of another set and a damaged piece are refused
// by the disk they cannot be, even where every piece has the length the set gives it; a set made before
// disks knew their set restores as it always did.
TEST_F(BackupCommandsTest, ASetKnowsItsDisks) {
    for (const char* d : {"d4", "e1", "e2", "e3", "e4"}) fs::create_directories(dir.file(d));
    // Four disks of 12000 bytes: Bob's middle pieces fill disks 2 and 3 alike.
    ASSERT_EQ(backup({"--disk-size", "12000"}, 4).status, 0);
    ASSERT_EQ(dir.read("d2/Bob.DBX").size(), dir.read("d3/Bob.DBX").size());
    dir.write("Data/Bob.DBX", patterned(30000, 9));  // the same sizes, other bytes: another set
    ASSERT_EQ(run({"backup", dir.file("e1"), dir.file("e2"), dir.file("e3"), dir.file("e4"), "--disk-size", "12000"})
                  .status,
              0);
    const test::Snapshot sets = snapshot(dir.path());
    dir.write("Data/Bob.DBX", "newer than both");
    const auto swap = [&](const std::string& a, const std::string& b) {
        fs::rename(dir.file(a), dir.file("swap"));
        fs::rename(dir.file(b), dir.file(a));
        fs::rename(dir.file("swap"), dir.file(b));
    };
    struct Case {
        const char* what;
        std::function<void()> change;
        const char* inErr;  // nullptr: restored
    };
    const Case cases[] = {
        {"disks 2 and 3 swapped", [&] { swap("d2", "d3"); }, "cannot be Backup Disk 2: This disk is Disk 3 of this"},
        {"disk 3 of another set", [&] { swap("d3", "e3"); }, "cannot be Backup Disk 3: This disk belongs to another"},
        {"a damaged piece",
         [&] {
             std::string piece = dir.read("d3/Bob.DBX");
             piece[100] ^= 1;
             dir.write("d3/Bob.DBX", piece);
         },
         "cannot be Backup Disk 3: The piece of \"Bob.DBX\" on this disk is damaged"},
        {"a set made before",
         [&] {
             for (const char* d : {"d1", "d2", "d3", "d4"}) fs::remove(dir.file(std::string(d) + "/DiskSet.inf"));
         },
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* d : {"d1", "d2", "d3", "d4", "e3"}) fs::remove_all(dir.file(d));
        for (const auto& [path, bytes] : sets)
            if ((path.starts_with("d") || path.starts_with("e3")) && !path.ends_with("/")) dir.write(path, bytes);
        c.change();
        const test::Snapshot before = snapshot(dir.file("Data"));
        const test::CliResult r = restore(4);
        if (!c.inErr) {
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(dir.read("Data/Bob.DBX"), patterned(30000, 2));
            continue;
        }
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
        EXPECT_EQ(test::folderDiff(snapshot(dir.file("Data")), before), "");
    }
}

// A restore into another program folder adds the set's calendar names and yearly dates that its lists lack,
// keeping theirs, and keeps the calendar it replaces beside the data folder, saying where.
TEST_F(BackupCommandsTest, RestoreBringsTheListsAndKeepsWhatItReplaces) {
    const std::string events = "6,2\r\ncw 0,35\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,1\r\n4,1,2\r\n"
                               "1,2,Bob\r\n2,2,Wedding\r\n3,2,5\r\n4,2,5\r\n";
    dir.write("Events.dat", events);
    ASSERT_EQ(backup({}, 1).status, 0);

    test::TempDir other;
    other.write("CalUsers.DAT", "Cid\r\nANN\r\n");
    other.write("Data/Cid.DBX", patterned(1028, 3));
    other.write("Data/Ann.DBX", "Ann's own");
    other.write("Events.dat", "6,2\r\ncw 0,35\r\n1,1,Cid\r\n2,1,Name day\r\n3,1,7\r\n4,1,7\r\n"
                              "1,2,Bob\r\n2,2,Wedding\r\n3,2,5\r\n4,2,5\r\n5,2,Y\r\n");
    std::ostringstream out, err;
    ASSERT_EQ(cli::run({"--folder", other.path(), "restore", dir.file("d1")}, out, err, Clock(46100)), 0) << err.str();
    const std::string kept = other.file("Data before restore 2026-03-19");
    EXPECT_NE(out.str().find("The files replaced are kept in " + kept + "\n"), std::string::npos) << out.str();
    EXPECT_EQ(other.read("Data before restore 2026-03-19/Ann.DBX"), "Ann's own");
    EXPECT_EQ(other.read("Data/Ann.DBX"), patterned(2048, 1));
    EXPECT_EQ(other.read("Data/Cid.DBX"), patterned(1028, 3));
    EXPECT_EQ(other.read("CalUsers.DAT"), "Cid\r\nANN\r\nBob\r\n");
    BirthdayList dates;
    ASSERT_EQ(dates.LoadEventsFile(other.file("Events.dat")), std::nullopt);
    std::vector<std::string> rows;
    for (int r = 1; r <= dates.rowCount(); ++r)
        if (dates.isComplete(r)) rows.push_back(dates.cell(1, r) + " " + dates.cell(2, r) + " " + dates.cell(5, r));
    EXPECT_EQ(rows, (std::vector<std::string>{"Cid Name day ", "Bob Wedding Y", "Ann Birthday "}));
}

}  // namespace
}  // namespace orv
