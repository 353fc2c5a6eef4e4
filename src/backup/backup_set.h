#pragma once
// The two descriptor files of a backup set on its first disk: "DiskInf.0" (the disk count N as a
// 32-bit little-endian integer, the mark of a first disk) and "Backup.inf" (the pieces in the grid
// text format: three columns of name, length and disk, no fixed rows or columns). Names are UTF-8 in
// memory and stored in "Backup.inf" as texts are (common/stored_text.h).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backup/backup_plan.h"

namespace orv {

inline constexpr std::string_view kDiskInfName = "DiskInf.0";
inline constexpr std::string_view kBackupInfName = "Backup.inf";
inline constexpr std::string_view kCalendarPattern = "*.dbx";

std::string diskInfBytes(int diskCount);
// N, or nullopt unless the file is exactly 4 bytes holding N >= 1.
std::optional<int> readDiskInf(std::string_view bytes);

// The list's widths in pixels, as the window's list at 96 pixels per inch shows it.
inline constexpr int kBackupInfWidths[3] = {192, 71, 70};

std::string backupInfBytes(const std::vector<BackupPiece>& pieces);

// Reads and checks every row against a set of diskCount disks: a plain file name matching "*.dbx" that
// the calendar list would accept, a length of decimal digits, a disk number within 0..N-1 that never
// decreases, strictly increasing within a file, and one run of rows per file (names compared ignoring
// case). nullopt when any row fails or the table declares no row or not three columns.
std::optional<std::vector<BackupPiece>> readBackupInf(std::string_view bytes, int diskCount);

// A name the restore may write into the data folder and the calendar list would take up: no folder
// part, ending in ".dbx" (any case), its stem a usable calendar name (UTF-8).
bool isCalendarFileName(std::string_view utf8Name);
// Why a FAT disk (long names, UTF-16) cannot hold a file of this name: a message for the user; nullopt when
// it can.
std::optional<std::string> fatNameProblem(std::string_view name);

// Two file names that the disks of Windows take for one.
bool sameFileName(std::string_view utf8A, std::string_view utf8B);
// The one spelling that sameFileName compares, for keys of sets and maps.
std::string fileNameKey(std::string_view utf8Name);

}  // namespace orv
