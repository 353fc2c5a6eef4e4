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

std::vector<BackupPiece> BackupPlan::distribute(const std::vector<BackupFile>& files, std::uint64_t capacity) {
    std::vector<BackupPiece> pieces;
    if (!usableCapacity(capacity)) return pieces;
    int disk = 0;
    std::uint64_t used = kFirstDiskReserve;
    for (const BackupFile& f : files) {
        const std::uint64_t room = capacity - used;
        if (room >= f.size) {
            pieces.push_back({f.name, f.size, disk});
            used += f.size;
            continue;
        }
        pieces.push_back({f.name, room, disk});
        std::uint64_t remainder = f.size - room;
        while (remainder > 0) {
            ++disk;
            const std::uint64_t length = std::min(capacity, remainder);
            pieces.push_back({f.name, length, disk});
            used = length;
            remainder -= length;
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

BackupPlan BackupPlan::make(std::vector<BackupFile> files, std::uint64_t capacity) {
    if (!usableCapacity(capacity)) throw BackupError("Please insert a disk and click OK");
    BackupPlan plan;
    plan.files = std::move(files);
    for (const auto& f : plan.files) plan.total += f.size;
    plan.capacity = capacity;
    const std::uint64_t n = diskCountFor(plan.total, capacity);
    if (n > static_cast<std::uint64_t>(INT_MAX))
        throw BackupError("These calendars would need more disks than a backup set can count.");
    plan.diskCount = static_cast<int>(n);
    plan.pieces = distribute(plan.files, capacity);
    return plan;
}

std::uint64_t BackupPlan::bytesOnDisk(int disk) const {
    std::uint64_t sum = 0;
    for (const auto& p : pieces)
        if (p.disk == disk) sum += p.length;
    return sum;
}

}  // namespace orv
