#pragma once
// What a backup writes where: the calendar files of the data folder, their total size S, the disk
// capacity C, the number of disks N and the pieces each disk holds. Disk 0 keeps 4096 bytes free for
// "DiskInf.0" and "Backup.inf"; every later disk is filled to C.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

constexpr std::uint64_t kFirstDiskReserve = 4096;

struct BackupFile {
    std::string name;  // as in the folder (UTF-8)
    std::uint64_t size = 0;
};

struct BackupPiece {
    std::string name;  // the file the piece belongs to (UTF-8)
    std::uint64_t length = 0;
    int disk = 0;  // counting from 0
    bool operator==(const BackupPiece&) const = default;
};

class BackupPlan {
public:
    std::vector<BackupFile> files;  // in the order the file system lists them
    std::uint64_t total = 0;        // S
    std::uint64_t capacity = 0;     // C
    int diskCount = 0;              // N
    std::vector<BackupPiece> pieces;

    // A disk this small cannot hold even the descriptor files: the same as no disk.
    static bool usableCapacity(std::uint64_t capacity) { return capacity > kFirstDiskReserve; }

    // N = (S + 4095) div C + 1: the fewest disks of C bytes that hold S bytes beside the reserve.
    static std::uint64_t diskCountFor(std::uint64_t total, std::uint64_t capacity);

    // Fills each disk to the byte, in table order; a file that meets a full disk gets a 0-byte piece
    // there and continues on the next.
    static std::vector<BackupPiece> distribute(const std::vector<BackupFile>& files, std::uint64_t capacity);

    // The regular files of folder matching pattern, with their sizes. Throws BackupError when two names
    // differ only in case (a disk may not tell them apart) or a name is no calendar's, so that every
    // set written can be restored.
    static std::vector<BackupFile> fileTable(const std::string& folder, std::string_view pattern);

    // The plan for a table and a capacity. Throws BackupError for an unusable capacity or a set of
    // more disks than "DiskInf.0" can count.
    static BackupPlan make(std::vector<BackupFile> files, std::uint64_t capacity);

    // The bytes disk k holds (its pieces; the descriptors of disk 0 not counted).
    std::uint64_t bytesOnDisk(int disk) const;
};

}  // namespace orv
