#pragma once
// One restore of a backup set into the data folder. The set is checked whole before anything is
// written; each disk is checked for the pieces it should hold before it is used; pieces are joined into
// hidden temporary files of the data folder, and only when every file is complete are they renamed over
// the calendars they replace. A stop at any point leaves the data folder as it was.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_plan.h"
#include "backup/disk_files.h"

namespace orv {

class RestoreRun {
public:
    RestoreRun(std::string dataFolder, std::string pattern);
    ~RestoreRun();
    RestoreRun(const RestoreRun&) = delete;
    RestoreRun& operator=(const RestoreRun&) = delete;

    // "Restoring NAME" when a file starts, "Appending NAME" for each further piece.
    std::function<void(const std::string&)> onStatus;

    enum class FirstDisk { Found, NotFirstDisk, DataFolder };
    // Looks for "DiskInf.0" in root; Found sets diskCount(). A "DiskInf.0" that is not 4 bytes or
    // counts no disk is no first disk.
    FirstDisk readFirstDisk(const std::string& root);
    int diskCount() const { return diskCount_; }

    // Reads the set's pieces from the first disk and checks them (for one disk: its "*.dbx" files);
    // removes stale temporary files of an earlier restore. Throws BackupError with the message to show.
    void begin(const std::string& firstRoot);
    const std::vector<BackupPiece>& pieces() const { return pieces_; }

    // The disk the next pieces lie on, from 0; -1 when every piece is in.
    int nextDisk() const;
    // Why root cannot be disk `disk` of the set (a piece missing, of another length, not a plain
    // file, or root is the data folder); nullopt when it holds every piece it should.
    std::optional<std::string> checkDisk(int disk, const std::string& root) const;
    // Joins the pieces of disk `disk` from root into the temporary files. false when stopped. Throws
    // BackupError or IoError; the temporary files are then still there for abandon().
    bool stageDisk(int disk, const std::string& root, const CopyProgress& progress = {});
    // Every piece in: each file's length is checked and the files are renamed over their targets (a
    // calendar spelled in another case keeps its name). Returns the names written.
    std::vector<std::string> commit();
    // After commit: what the restore left behind in the data folder, for a warning; empty when nothing.
    const std::string& leftBehind() const { return leftBehind_; }
    // Removes the temporary files; the data folder is as it was before begin().
    void abandon();

    // A temporary file of the restore, which nothing else takes for a calendar.
    static bool isStagingName(std::string_view name);

private:
    struct Staged {
        std::string name;  // as in the set
        std::string temp;  // full path
        std::uint64_t expected = 0;
    };
    void status(const std::string& text) const;
    void removeStale() const;

    std::string data_;
    std::string pattern_;
    int diskCount_ = 0;
    std::vector<BackupPiece> pieces_;
    size_t next_ = 0;
    std::vector<Staged> staged_;
    bool committed_ = false;
    std::string leftBehind_;
};

}  // namespace orv
