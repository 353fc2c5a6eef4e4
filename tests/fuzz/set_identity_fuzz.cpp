// "DiskSet.inf" of any bytes: an identity that is accepted must be written back byte for byte (one form
// only, so two readings never differ), and name only what the restore may write: calendar files as pieces,
// the two lists as carried files and those on the first disk alone, the disk within the set.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backup/backup_set.h"
#include "backup/set_identity.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "set identity: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto identity = readSetIdentity(bytes);
    if (!identity) return 0;
    check(setIdentityBytes(*identity) == bytes, "written back otherwise");
    check(identity->disk >= 1 && identity->disk <= identity->disks, "a disk outside its set");
    for (const PieceSum& p : identity->pieces) check(isCalendarFileName(p.name), "a piece the restore may not write");
    for (const PieceSum& f : identity->carried)
        check(identity->disk == 1 && (f.name == kUsersFileName || f.name == kEventsFileName), "a carried file");
    check(readUtcTime(utcTimeText(identity->made)) == identity->made, "the time made");
    return 0;
}
