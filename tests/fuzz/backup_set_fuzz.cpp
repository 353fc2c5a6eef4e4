// The descriptor files of a backup set ("DiskInf.0", "Backup.inf") of any bytes: a set that is accepted
// must be written back as the same pieces, and every piece must be a file the restore may write.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backup/backup_set.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "backup set: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (const auto n = readDiskInf(bytes)) check(*n >= 1 && diskInfBytes(*n) == bytes, "disk count round trip");

    const int disks = data[0] % 16 + 1;
    const auto pieces = readBackupInf(bytes, disks);
    if (!pieces) return 0;
    for (const BackupPiece& p : *pieces) {
        check(isCalendarFileName(p.name), "a piece the restore may not write");
        check(p.disk >= 0 && p.disk < disks, "a piece on no disk of the set");
    }
    check(readBackupInf(backupInfBytes(*pieces), disks) == pieces, "pieces round trip");
    return 0;
}
