#pragma once
// One restore of a backup set into the data folder. The set is checked whole before anything is
// written; each disk is checked against the set ("DiskSet.inf": its set, its place, every piece's
// checksum) before it is used; pieces are joined into hidden temporary files of the data folder, and
// only when every file is complete are they put in place, under a journal beside the data folder, each
// calendar replaced kept as a copy beside it. A stop at any point leaves the data folder as it was; a
// process killed while the files are put in place is completed at the next start.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_plan.h"
#include "backup/disk_files.h"
#include "backup/restore_journal.h"
#include "backup/set_identity.h"

namespace orv {

class RestoreRun {
public:
    // The staged file through which a calendar kept on another file system goes back.
    static constexpr std::string_view kPutBackName = ".orvella-restore-back.tmp";

    RestoreRun(RestoreFolders folders, std::string pattern);
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

    // Completes a restore left unfinished, then reads the set's pieces from the first disk and checks them
    // (for one disk: its "*.dbx" files, or those its "DiskSet.inf" names) with the files the first disk
    // carries; removes stale temporary files of an earlier restore. Throws BackupError with the message
    // to show, IoError for a file that cannot be read.
    void begin(const std::string& firstRoot);
    const std::vector<BackupPiece>& pieces() const { return pieces_; }
    // Whether the set knows itself ("DiskSet.inf"), and when it was made (seconds since 1970; for an
    // older set the time of its "DiskInf.0").
    bool knowsItself() const { return identity_.has_value(); }
    std::int64_t made() const { return made_; }
    // The calendars of the data folder the restore replaces that were changed since the set was made.
    std::vector<std::string> changedSinceMade() const;

    // The disk the next pieces lie on, from 0; -1 when every piece is in.
    int nextDisk() const;
    // Why root cannot be disk `disk` of the set (a piece missing, of another length or damaged, a disk
    // of another set or of another place, not a plain file, or root is the data folder); nullopt when it
    // holds every piece it should. Reads every piece of a set that keeps checksums.
    std::optional<std::string> checkDisk(int disk, const std::string& root) const;
    // Joins the pieces of disk `disk` from root into the temporary files. false when stopped. Throws
    // BackupError or IoError; the temporary files are then still there for abandon().
    bool stageDisk(int disk, const std::string& root, const CopyProgress& progress = {});

    struct Committed {
        std::vector<std::string> written;  // the calendar files put in place
        std::string copies;                // where the files replaced are kept; empty when none was
        // The calendar list as written, when the set's names were added to it (Windows-1252).
        std::optional<std::vector<std::string>> names;
        std::vector<std::string> notes;  // what the user is told besides (UTF-8)
    };
    // Every piece in: each file's length is checked, the set's calendar names and yearly dates that the
    // lists lack are added, and every file is put in place together (a calendar spelled in another case
    // keeps its name). today names the copies' folder. listNames: the calendar list to add to, when the
    // caller holds it (the windows); else "CalUsers.DAT" as it is.
    Committed commit(int today, const std::optional<std::vector<std::string>>& listNames = std::nullopt);
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
    void readIdentity(const std::string& firstRoot);
    std::optional<std::string> checkIdentity(int disk, const std::string& root) const;
    std::vector<PieceSum> expectedOn(int disk) const;
    void stageLists(std::vector<JournalEntry>& entries, const std::optional<std::vector<std::string>>& listNames,
                    Committed& out);

    RestoreFolders folders_;
    std::string pattern_;
    int diskCount_ = 0;
    std::int64_t made_ = 0;
    std::optional<SetIdentity> identity_;         // of the first disk
    std::map<std::string, std::string> carried_;  // "CalUsers.DAT", "Events.dat": their bytes
    std::vector<BackupPiece> pieces_;
    size_t next_ = 0;
    std::vector<Staged> staged_;
    std::vector<std::string> stagedLists_;  // full paths in the program folder
    bool committed_ = false;
};

}  // namespace orv
