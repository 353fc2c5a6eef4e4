#include "backup/backup_plan.h"

#include <algorithm>
#include <climits>
#include <map>

#include <sys/stat.h>

#include "backup/backup_error.h"
#include "backup/backup_set.h"
#include "common/file_util.h"
#include "common/io_error.h"
#include "store/calendar_list.h"

namespace orv {

std::uint64_t BackupPlan::diskCountFor(std::uint64_t total, std::uint64_t capacity) {
    if (!usableCapacity(capacity)) return 0;
    // (S + 4095) div C + 1, without overflowing for the largest S.
    return total / capacity + (total % capacity + kFirstDiskReserve - 1) / capacity + 1;
}

std::vector<BackupPiece> BackupPlan::distribute(const std::vector<BackupFile>& files, std::uint64_t capacity,
                                                 const SetOverhead& overhead) {
    std::vector<BackupPiece> pieces;
    if (!usableCapacity(capacity)) return pieces;
    int disk = 0;
    std::uint64_t used = kFirstDiskReserve + overhead.firstDisk + overhead.perDisk;
    for (const BackupFile& f : files) {
        const std::uint64_t cost = overhead.pieceCost(f.name);
        // The first piece goes where the file before ended, of 0 bytes on a full disk, unless not even
        // its line fits there.
        if (used > capacity || capacity - used < cost) {
            ++disk;
            used = overhead.perDisk;
        }
        std::uint64_t remainder = f.size;
        for (;;) {
            const std::uint64_t length = std::min(capacity - used - cost, remainder);
            pieces.push_back({f.name, length, disk});
            used += cost + length;
            remainder -= length;
            if (remainder == 0) break;
            ++disk;
            used = overhead.perDisk;
        }
    }
    return pieces;
}

std::vector<BackupFile> BackupPlan::fileTable(const std::string& folder, std::string_view pattern) {
    std::vector<BackupFile> table;
    std::map<std::string, std::string> seen;  // folded name -> name
    for (const std::string& name : listFiles(folder, pattern)) {
        if (const auto problem = fatNameProblem(name)) throw BackupError(*problem);
        if (!isCalendarFileName(name))
            throw BackupError("The file \"" + name +
                              "\" in the data folder cannot be backed up: its name is not a "
                              "calendar's. Please rename or remove it.");
        const auto [it, fresh] = seen.emplace(foldCalendarName(name), name);
        if (!fresh)
            throw BackupError("The calendar files \"" + it->second + "\" and \"" + name +
                              "\" differ only in the case of letters, which a backup disk cannot tell apart. "
                              "Please rename or remove one of them.");
        struct stat st {};
        const std::string path = joinPath(folder, name);
        if (::stat(path.c_str(), &st) != 0) throwIoError("Cannot read", path, errno);
        table.push_back({name, static_cast<std::uint64_t>(st.st_size)});
    }
    return table;
}

BackupPlan BackupPlan::make(std::vector<BackupFile> files, std::uint64_t capacity, const SetOverhead& overhead) {
    if (!usableCapacity(capacity)) throw BackupError("Please insert a disk and click OK");
    BackupPlan plan;
    plan.files = std::move(files);
    std::uint64_t widest = 0;
    for (const auto& f : plan.files) {
        plan.total += f.size;
        widest = std::max(widest, overhead.pieceCost(f.name));
    }
    // Every disk must take a byte of a piece beside its own files, the first beside its 4096 bytes too.
    const std::uint64_t ownFirst = kFirstDiskReserve + overhead.firstDisk + overhead.perDisk + widest;
    if (ownFirst < overhead.firstDisk || capacity <= ownFirst)
        throw BackupError("This disk is too small for a backup set.");
    plan.capacity = capacity;
    plan.overhead = overhead;
    plan.pieces = distribute(plan.files, capacity, overhead);
    const std::uint64_t n = overhead.perDisk == 0 && overhead.perPiece == 0 && overhead.firstDisk == 0
                                ? diskCountFor(plan.total, capacity)
                                : static_cast<std::uint64_t>(plan.pieces.back().disk) + 1;
    if (n > static_cast<std::uint64_t>(INT_MAX))
        throw BackupError("These calendars would need more disks than a backup set can count.");
    plan.diskCount = static_cast<int>(n);
    return plan;
}

std::uint64_t BackupPlan::bytesOnDisk(int disk) const {
    std::uint64_t sum = 0;
    for (const auto& p : pieces)
        if (p.disk == disk) sum += p.length;
    return sum;
}

std::uint64_t BackupPlan::neededOnDisk(int disk) const {
    std::uint64_t sum = overhead.perDisk + (disk == 0 ? kFirstDiskReserve + overhead.firstDisk : 0);
    for (const auto& p : pieces)
        if (p.disk == disk) sum += p.length + overhead.pieceCost(p.name);
    return sum;
}

}  // namespace orv
