#pragma once
// What a backup writes where: the calendar files of the data folder, their total size S, the disk
// capacity C, the number of disks N and the pieces each disk holds. Disk 0 keeps 4096 bytes free for
// "DiskInf.0" and "Backup.inf"; every disk is filled to C but for the room its own further files take.

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

// What a set writes on a disk besides the pieces and the first disk's 4096 bytes, for which the disk keeps
// room: a part on every disk, a line for each piece on it (perPiece plus the piece's name), and files only
// the first disk carries. None at all gives the plain arithmetic: each disk filled to C.
struct SetOverhead {
    std::uint64_t perDisk = 0;
    std::uint64_t perPiece = 0;
    std::uint64_t firstDisk = 0;
    std::uint64_t pieceCost(const std::string& name) const { return perPiece ? perPiece + name.size() : 0; }
};

class BackupPlan {
public:
    std::vector<BackupFile> files;  // in the order the file system lists them
    std::uint64_t total = 0;        // S
    std::uint64_t capacity = 0;     // C
    SetOverhead overhead;
    int diskCount = 0;              // N
    std::vector<BackupPiece> pieces;

    // A disk this small cannot hold even the descriptor files: the same as no disk.
    static bool usableCapacity(std::uint64_t capacity) { return capacity > kFirstDiskReserve; }

    // N = (S + 4095) div C + 1: the fewest disks of C bytes that hold S bytes beside the reserve.
    static std::uint64_t diskCountFor(std::uint64_t total, std::uint64_t capacity);

    // Fills each disk to the byte, in table order; a file that meets a full disk gets a 0-byte piece
    // there (where its line still fits) and continues on the next.
    static std::vector<BackupPiece> distribute(const std::vector<BackupFile>& files, std::uint64_t capacity,
                                               const SetOverhead& overhead = {});

    // The regular files of folder matching pattern, with their sizes. Throws BackupError when two names
    // differ only in case (a disk may not tell them apart) or a name is no calendar's, so that every
    // set written can be restored.
    static std::vector<BackupFile> fileTable(const std::string& folder, std::string_view pattern);

    // The plan for a table and a capacity. Throws BackupError for an unusable capacity (too small for a
    // piece beside the overhead) or a set of more disks than "DiskInf.0" can count.
    static BackupPlan make(std::vector<BackupFile> files, std::uint64_t capacity, const SetOverhead& overhead = {});

    // The bytes disk k holds (its pieces; the descriptors of disk 0 not counted).
    std::uint64_t bytesOnDisk(int disk) const;
    // The room disk k needs: its pieces, the overhead, and the first disk's 4096 bytes.
    std::uint64_t neededOnDisk(int disk) const;
};

}  // namespace orv
