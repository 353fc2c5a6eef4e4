#pragma once
// One backup from the data folder onto a set of disks: the plan made at "Next", the pieces prepared in
// temporary folders "Disk0", "Disk1", ... of the data folder, each disk cleared and written in turn, and
// the clean-up. Each disk gets its "DiskSet.inf" after its pieces (the set's identity, the disk's place,
// each piece's checksum); the first also carries the calendar list and the yearly dates. Every disk is
// flushed before the next is asked for; disk 0's "DiskInf.0" is written last, so an interrupted disk is
// never taken for the first disk of a whole set.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_plan.h"
#include "backup/disk_files.h"

namespace orv {

class BackupRun {
public:
    // guarded: folders no disk may hold, since clearing the disk would delete them (the data folder,
    // the program folder, the home folder).
    BackupRun(std::string sourceFolder, std::string pattern, std::vector<std::string> guarded);

    // Each step's status text as it starts ("Preparing backup files", "Deleting old files on target disk",
    // "Copying files", "Deleting temporary files").
    std::function<void(const std::string&)> onStatus;

    // The calendar list and the yearly dates, carried on the first disk where they exist. Before makePlan.
    void carryLists(std::string usersFile, std::string eventsFile);

    // Builds the file table and the plan for disks of capacity bytes, with room on each for what the set
    // adds beside its pieces, and gives the set its identity. false when the folder holds no calendar
    // file. Throws BackupError (a refused table) or IoError.
    bool makePlan(std::uint64_t capacity);
    const BackupPlan& plan() const { return plan_; }

    enum class Verdict {
        Ready,        // nothing on it but an earlier set's files (deleted without asking)
        HoldsOthers,  // other files or folders: deleted only when the user agrees
        HoldsSource,  // it holds a guarded folder: never written
        WrittenNow,   // it holds a disk already written in this run
        TooSmall,     // its capacity is below the pieces it must take
    };
    struct DiskCheck {
        Verdict verdict = Verdict::Ready;
        RootContents contents;
        int writtenAs = -1;         // WrittenNow: that disk, from 0
        std::string guardedFolder;  // HoldsSource: the folder it holds
    };
    DiskCheck checkDisk(int disk, const std::string& root, std::optional<std::uint64_t> capacity) const;

    // "N files and M folders that are not part of a backup set: a, b, c, ..." for a question or a refusal.
    static std::string describeOthers(const RootContents& contents);

    // Sets of two or more disks: the temporary folders and every piece in them; stale pieces of an
    // earlier run go first. false when stopped. Throws IoError or BackupError.
    bool prepare(const CopyProgress& progress = {});
    bool prepared() const { return prepared_; }

    // Clears the disk (its other entries only when deleteOthers) and writes disk `disk` of the set.
    // false when stopped part-way. Throws IoError or BackupError.
    bool writeDisk(int disk, const std::string& root, bool deleteOthers, const CopyProgress& progress = {});

    // Removes the temporary folders; never throws. The first problem, if any, for a message.
    std::optional<std::string> cleanUp();

    std::string tempFolder(int disk) const;

private:
    struct Stamp {
        std::string name;
        std::uint64_t size = 0;
        long long mtime = 0;
    };
    void status(const std::string& text) const;
    void checkUnchanged(const BackupFile& file) const;
    std::string identityOf(int disk) const;
    std::vector<Stamp> stampsOf(const std::string& root, const std::vector<std::string>& names) const;

    std::string source_;
    std::string pattern_;
    std::vector<std::string> guarded_;
    std::vector<std::string> listFiles_;                         // paths in the program folder
    std::vector<std::pair<std::string, std::string>> carried_;  // name on the disk, bytes
    std::string setId_;
    std::int64_t made_ = 0;
    BackupPlan plan_;
    std::vector<std::uint32_t> sums_;  // per piece, once it has been read
    bool prepared_ = false;
    std::vector<std::vector<Stamp>> written_;  // per disk written so far
};

}  // namespace orv
