#include <random>

#include <gtest/gtest.h>

#include "backup/backup_error.h"
#include "backup/backup_plan.h"
#include "backup/backup_set.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

constexpr std::uint64_t kFloppy = 1457664;

TEST(BackupPlan, WorkedExampleGivesBackupInfByteForByte) {
    const BackupPlan plan = BackupPlan::make({{"A.DBX", 2048}, {"B.DBX", 1500000}}, kFloppy);
    EXPECT_EQ(plan.total, 1502048u);
    EXPECT_EQ(plan.diskCount, 2);
    EXPECT_EQ(backupInfBytes(plan.pieces),
              "3,3\r\n"
              "cw 0,192\r\ncw 1,71\r\ncw 2,70\r\n"
              "0,0,A.DBX\r\n1,0,2048\r\n2,0,0\r\n"
              "0,1,B.DBX\r\n1,1,1451520\r\n2,1,0\r\n"
              "0,2,B.DBX\r\n1,2,48480\r\n2,2,1\r\n");
    EXPECT_EQ(diskInfBytes(plan.diskCount), std::string("\x02\x00\x00\x00", 4));
}

TEST(BackupPlan, DiskCountAndPiecesAtTheEdges) {
    constexpr std::uint64_t C = 10000;
    struct Case {
        const char* what;
        std::vector<BackupFile> files;
        int disks;
        std::vector<BackupPiece> pieces;
    };
    const Case cases[] = {
        {"one small file", {{"A.DBX", 2048}}, 1, {{"A.DBX", 2048, 0}}},
        {"exactly the first disk's room", {{"A.DBX", C - 4096}}, 1, {{"A.DBX", C - 4096, 0}}},
        {"one byte more", {{"A.DBX", C - 4095}}, 2, {{"A.DBX", C - 4096, 0}, {"A.DBX", 1, 1}}},
        // S = 2C - 1000: the reserve pushes the last 3096 bytes onto a third disk.
        {"S = 2C - 1000", {{"A.DBX", 2 * C - 1000}}, 3, {{"A.DBX", C - 4096, 0}, {"A.DBX", C, 1}, {"A.DBX", 3096, 2}}},
        // A file ending at the disk's end leaves the next one a 0-byte piece there.
        {"0-byte piece",
         {{"A.DBX", C - 4096}, {"B.DBX", 10}},
         2,
         {{"A.DBX", C - 4096, 0}, {"B.DBX", 0, 0}, {"B.DBX", 10, 1}}},
        {"empty file on a full disk stays whole",
         {{"A.DBX", C - 4096}, {"E.DBX", 0}},
         1,
         {{"A.DBX", C - 4096, 0}, {"E.DBX", 0, 0}}},
        {"file over three disks",
         {{"A.DBX", 100}, {"B.DBX", 2 * C}},
         3,
         {{"A.DBX", 100, 0}, {"B.DBX", C - 4196, 0}, {"B.DBX", C, 1}, {"B.DBX", 4196, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BackupPlan plan = BackupPlan::make(c.files, C);
        EXPECT_EQ(plan.diskCount, c.disks);
        EXPECT_EQ(plan.pieces, c.pieces);
    }
}

TEST(BackupPlan, CapacityOf4096OrLessIsNoDisk) {
    for (const std::uint64_t c : {0ull, 1ull, 4096ull}) {
        EXPECT_FALSE(BackupPlan::usableCapacity(c)) << c;
        EXPECT_THROW(BackupPlan::make({{"A.DBX", 1}}, c), BackupError) << c;
    }
    EXPECT_EQ(BackupPlan::make({{"A.DBX", 1}}, 4097).diskCount, 1);
    EXPECT_EQ(BackupPlan::make({{"A.DBX", 2}}, 4097).diskCount, 2);
    // Sizes beyond 32 bits: a 5 GB calendar on 4 GB sticks.
    EXPECT_EQ(BackupPlan::diskCountFor(5'000'000'000ull, 4'000'000'000ull), 2u);
    EXPECT_EQ(BackupPlan::diskCountFor(UINT64_MAX, UINT64_MAX), 2u);
}

// Random tables and capacities: every disk number lies below N, no disk takes more than its room,
// every file's pieces add up to it in order, and N is the fewest disks that could hold the set.
TEST(BackupPlan, PiecesRejoinEveryFileAndNoDiskOverflows) {
    std::mt19937_64 rng(20240611);
    for (int round = 0; round < 2000; ++round) {
        const std::uint64_t capacity = 4097 + rng() % (round % 3 == 0 ? 5000 : 2'000'000);
        std::vector<BackupFile> files(1 + rng() % 12);
        for (size_t i = 0; i < files.size(); ++i) {
            files[i].name = "F" + std::to_string(i) + ".DBX";
            const auto kind = rng() % 4;
            files[i].size = kind == 0 ? 0 : kind == 1 ? rng() % 64 : rng() % (3 * capacity);
        }
        const BackupPlan plan = BackupPlan::make(files, capacity);
        SCOPED_TRACE("round " + std::to_string(round) + " C=" + std::to_string(capacity));
        std::vector<std::uint64_t> used(static_cast<size_t>(plan.diskCount), 0);
        used[0] = kFirstDiskReserve;
        size_t row = 0;
        for (const BackupFile& f : files) {
            std::uint64_t joined = 0;
            int lastDisk = -1;
            ASSERT_LT(row, plan.pieces.size());
            while (row < plan.pieces.size() && plan.pieces[row].name == f.name) {
                const BackupPiece& p = plan.pieces[row++];
                ASSERT_GE(p.disk, 0);
                ASSERT_LT(p.disk, plan.diskCount);
                ASSERT_GT(p.disk, lastDisk);
                lastDisk = p.disk;
                used[static_cast<size_t>(p.disk)] += p.length;
                joined += p.length;
            }
            EXPECT_EQ(joined, f.size) << f.name;
        }
        EXPECT_EQ(row, plan.pieces.size());
        for (const auto u : used) EXPECT_LE(u, capacity);
        EXPECT_EQ(plan.pieces.back().disk, plan.diskCount - 1);
        // N disks hold the set beside the reserve, N - 1 would not.
        const auto need = static_cast<unsigned __int128>(plan.total) + kFirstDiskReserve;
        EXPECT_GE(static_cast<unsigned __int128>(plan.diskCount) * capacity, need);
        EXPECT_LT(static_cast<unsigned __int128>(plan.diskCount - 1) * capacity, need);
        const auto back = readBackupInf(backupInfBytes(plan.pieces), plan.diskCount);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, plan.pieces);
    }
}

TEST(BackupPlan, DiskInfHoldsACountOfAtLeastOne) {
    struct Case {
        std::string bytes;
        std::optional<int> n;
    };
    const Case cases[] = {
        {std::string("\x01\x00\x00\x00", 4), 1},
        {std::string("\x03\x01\x00\x00", 4), 259},
        {std::string("\x00\x00\x00\x00", 4), std::nullopt},
        {std::string("\xff\xff\xff\xff", 4), std::nullopt},  // -1
        {std::string("\x01\x00\x00", 3), std::nullopt},
        {std::string("\x01\x00\x00\x00\x00", 5), std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(readDiskInf(c.bytes), c.n) << c.bytes.size();
    EXPECT_EQ(readDiskInf(diskInfBytes(0x7fffffff)), 0x7fffffff);
}

TEST(BackupPlan, FileTableRefusesNamesADiskCannotKeepApart) {
    struct Case {
        std::vector<std::string> names;
        const char* inMessage;  // nullptr: accepted
    };
    const Case cases[] = {
        {{"Ann.DBX", "Bob.dbx", "notes.txt", "Ann.DBX.bak"}, nullptr},
        {{"John.DBX", "JOHN.DBX"}, "differ only in the case"},
        {{"Caf\xc3\xa9.DBX", "CAF\xc3\x89.DBX"}, "differ only in the case"},  // Windows-1252 letters fold too
        {{"Zoë Żak.DBX", "ΣΥΝ.dbx"}, nullptr},
        {{"Żak.DBX", "ŻAK.DBX"}, "differ only in the case"},
        {{"a:b.DBX"}, "a FAT disk cannot hold its name"},
        {{"a\x01.DBX"}, "a FAT disk cannot hold its name"},
        {{"bad\xFF.DBX"}, "a FAT disk cannot hold its name"},  // not UTF-8, shown as Windows-1252
        {{".DBX"}, ".DBX"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        for (const auto& n : c.names) dir.write(n, "x");
        SCOPED_TRACE(c.names[0]);
        if (!c.inMessage) {
            const auto table = BackupPlan::fileTable(dir.path(), kCalendarPattern);
            EXPECT_EQ(table.size(), 2u);
            continue;
        }
        try {
            BackupPlan::fileTable(dir.path(), kCalendarPattern);
            ADD_FAILURE() << "accepted";
        } catch (const BackupError& e) {
            EXPECT_NE(std::string(e.what()).find(c.inMessage), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace orv
