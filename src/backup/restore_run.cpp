#include "backup/restore_run.h"

#include <fcntl.h>

#include <ctime>
#include <filesystem>
#include <set>

#include "backup/backup_error.h"
#include "backup/backup_set.h"
#include "backup/crc32.h"
#include "common/file_util.h"
#include "common/grid_text.h"
#include "common/io_error.h"
#include "common/sys_file.h"
#include "events/birthday_list.h"
#include "store/calendar_list.h"

namespace orv {
namespace {

constexpr std::string_view kStagingPrefix = ".orvella-restore-";
constexpr std::string_view kStagingSuffix = ".tmp";

std::string corrupt(const std::string& path) { return "File contains no data or corrupt file " + path; }

bool sameFolder(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

std::string nameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string stagingName(const std::string& what) {
    return std::string(kStagingPrefix) + what + std::string(kStagingSuffix);
}

// "11 March 2026, 14:05" in the local time zone.
std::string localTimeText(std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!::localtime_r(&t, &local)) return utcTimeText(seconds);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%e %B %Y, %H:%M", &local);
    std::string text = buffer;
    if (!text.empty() && text[0] == ' ') text.erase(0, 1);
    return text;
}

std::optional<SetIdentity> identityIn(const std::string& root, bool* damaged) {
    *damaged = false;
    const auto name = findRegularFile(root, kSetIdentityName);
    if (!name) return std::nullopt;
    std::optional<std::string> bytes;
    try {
        bytes = readWholeFile(joinPath(root, *name), kMaxSetIdentityBytes);
    } catch (const CorruptFileError&) {
    }
    auto identity = bytes ? readSetIdentity(*bytes) : std::nullopt;
    *damaged = !identity;
    return identity;
}

std::string damagedPiece(const std::string& name) {
    return "The piece of \"" + name + "\" on this disk is damaged: its bytes are not those the backup set made.";
}

}  // namespace

RestoreRun::RestoreRun(RestoreFolders folders, std::string pattern)
    : folders_(std::move(folders)), pattern_(std::move(pattern)) {}

RestoreRun::~RestoreRun() {
    if (!committed_) abandon();
}

void RestoreRun::status(const std::string& text) const {
    if (onStatus) onStatus(text);
}

bool RestoreRun::isStagingName(std::string_view name) {
    return name.size() > kStagingPrefix.size() + kStagingSuffix.size() && name.starts_with(kStagingPrefix) &&
           name.ends_with(kStagingSuffix);
}

RestoreRun::FirstDisk RestoreRun::readFirstDisk(const std::string& root) {
    if (sameFolder(root, folders_.data)) return FirstDisk::DataFolder;
    const auto name = findRegularFile(root, kDiskInfName);
    if (!name) return FirstDisk::NotFirstDisk;
    const std::string path = joinPath(root, *name);
    const auto size = regularFileSize(path);
    if (!size || *size != 4) return FirstDisk::NotFirstDisk;
    const auto bytes = readWholeFile(path);
    const auto n = bytes ? readDiskInf(*bytes) : std::nullopt;
    if (!n) return FirstDisk::NotFirstDisk;
    diskCount_ = *n;
    // An older set tells when it was made by its mark alone, written last.
    const auto st = statPath(path);
    made_ = st ? static_cast<std::int64_t>(st->st_mtim.tv_sec) : 0;
    return FirstDisk::Found;
}

void RestoreRun::readIdentity(const std::string& firstRoot) {
    bool damaged = false;
    identity_ = identityIn(firstRoot, &damaged);
    const std::string where = "The file \"" + std::string(kSetIdentityName) + "\" on Backup Disk 1";
    if (damaged) throw BackupError(where + " is damaged. Nothing was restored.");
    if (!identity_) return;
    if (identity_->disk != 1 || identity_->disks != diskCount_)
        throw BackupError(where + " does not agree with its \"DiskInf.0\": the disk is damaged. Nothing was restored.");
    made_ = identity_->made;
    for (const PieceSum& f : identity_->carried) {
        const auto name = findRegularFile(firstRoot, f.name);
        const std::string path = joinPath(firstRoot, name.value_or(f.name));
        const auto size = name ? regularFileSize(path) : std::nullopt;
        std::optional<std::string> bytes;
        if (size && *size == f.length) {
            try {
                bytes = readWholeFile(path, kMaxTextFileBytes);
            } catch (const CorruptFileError&) {
            }
        }
        Crc32 sum;
        if (bytes) sum.add(*bytes);
        if (!bytes || sum.value() != f.crc)
            throw BackupError("The file \"" + f.name + "\" on Backup Disk 1 is missing or damaged. Nothing was restored.");
        carried_[f.name] = std::move(*bytes);
    }
}

void RestoreRun::begin(const std::string& firstRoot) {
    abandon();
    pieces_.clear();
    carried_.clear();
    next_ = 0;
    committed_ = false;
    folderAboveData(folders_.data);  // the journal and the copies need it
    completeInterruptedRestore(folders_);
    readIdentity(firstRoot);
    if (diskCount_ == 1 && identity_) {
        for (const PieceSum& p : identity_->pieces) pieces_.push_back({p.name, p.length, 0});
    } else if (diskCount_ == 1) {
        for (const auto& name : listFiles(firstRoot, pattern_)) {
            const std::string path = joinPath(firstRoot, name);
            const auto size = regularFileSize(path);
            if (!size) continue;  // a link or a device is no calendar file of a set
            if (!isCalendarFileName(name))
                throw BackupError("The backup disk holds the file \"" + name +
                                  "\", whose name cannot be a calendar's name. Nothing was restored.");
            for (const auto& other : pieces_)
                if (sameFileName(other.name, name))
                    throw BackupError("The backup disk holds \"" + other.name + "\" and \"" + name +
                                      "\", which differ only in the case of letters. Nothing was restored.");
            pieces_.push_back({name, *size, 0});
        }
    } else {
        const auto name = findRegularFile(firstRoot, kBackupInfName);
        if (!name) throw BackupError("File " + joinPath(firstRoot, kBackupInfName) + " not found");
        const std::string path = joinPath(firstRoot, *name);
        const auto bytes = readWholeFile(path);
        auto pieces = bytes ? readBackupInf(*bytes, diskCount_) : std::nullopt;
        if (!pieces) throw BackupError(corrupt(path));
        pieces_ = std::move(*pieces);
    }
    if (pieces_.empty()) throw BackupError("No calendar files were found on the backup disk.");
    removeStale();
}

std::vector<std::string> RestoreRun::changedSinceMade() const {
    std::vector<std::string> changed;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        if (i > 0 && pieces_[i - 1].name == pieces_[i].name) continue;
        const auto found = findRegularFile(folders_.data, pieces_[i].name);
        const std::string path = joinPath(folders_.data, found.value_or(""));
        const auto st = found ? statPath(path) : std::nullopt;
        // Written before the set was made (to the second): what the set holds is newer.
        if (!st || st->st_mtim.tv_sec < made_) continue;
        std::uint64_t length = 0;
        size_t last = i;
        for (; last < pieces_.size() && pieces_[last].name == pieces_[i].name; ++last) length += pieces_[last].length;
        // Written in that second or later: unchanged only where the set's checksum shows the very bytes, for
        // a calendar the first disk holds whole.
        std::optional<std::uint32_t> sum;
        if (identity_ && last == i + 1 && pieces_[i].disk == 0)
            for (const PieceSum& p : identity_->pieces)
                if (p.name == pieces_[i].name) sum = p.crc;
        const bool same =
            sum && static_cast<std::uint64_t>(st->st_size) == length && fileCrc(path, length, true) == *sum;
        if (!same) changed.push_back(*found);
    }
    return changed;
}

int RestoreRun::nextDisk() const { return next_ < pieces_.size() ? pieces_[next_].disk : -1; }

std::vector<PieceSum> RestoreRun::expectedOn(int disk) const {
    std::vector<PieceSum> out;
    for (const BackupPiece& p : pieces_)
        if (p.disk == disk) out.push_back({p.name, p.length, 0});
    return out;
}

std::optional<std::string> RestoreRun::checkIdentity(int disk, const std::string& root) const {
    bool damaged = false;
    const auto id = identityIn(root, &damaged);
    if (!identity_) {
        // A set made before disks knew their set has none on any disk.
        if ((id || damaged) && disk > 0) return std::string("This disk belongs to another backup set.");
        return std::nullopt;
    }
    if (damaged) return "The file \"" + std::string(kSetIdentityName) + "\" on this disk is damaged.";
    if (!id) return std::string("This disk is not part of this backup set.");
    if (id->set != identity_->set)
        return "This disk belongs to another backup set, made " + localTimeText(id->made) + ".";
    if (id->disk != disk + 1) return "This disk is Disk " + std::to_string(id->disk) + " of this backup set.";
    std::vector<PieceSum> listed = id->pieces;
    for (auto& p : listed) p.crc = 0;
    if (id->disks != diskCount_ || listed != expectedOn(disk))
        return "The file \"" + std::string(kSetIdentityName) +
               "\" on this disk does not list the pieces the backup set gives it: the disk is damaged.";
    return std::nullopt;
}

std::optional<std::string> RestoreRun::checkDisk(int disk, const std::string& root) const {
    if (sameFolder(root, folders_.data)) return "This folder is the data folder itself, not a backup disk.";
    if (const auto problem = checkIdentity(disk, root)) return problem;
    for (size_t i = next_; i < pieces_.size() && pieces_[i].disk <= disk; ++i) {
        const BackupPiece& piece = pieces_[i];
        if (piece.disk != disk) continue;
        const auto found = findRegularFile(root, piece.name);
        if (!found) return "File " + joinPath(root, piece.name) + " not found";
        const auto size = regularFileSize(joinPath(root, *found));
        if (!size || *size != piece.length)
            return "File " + joinPath(root, *found) + " does not have the " + std::to_string(piece.length) +
                   " bytes the backup set gives it";
    }
    if (!identity_) return std::nullopt;
    bool damaged = false;
    const auto id = identityIn(root, &damaged);
    for (const PieceSum& p : id->pieces)
        if (fileCrc(joinPath(root, *findRegularFile(root, p.name)), p.length) != p.crc) return damagedPiece(p.name);
    return std::nullopt;
}

bool RestoreRun::stageDisk(int disk, const std::string& root, const CopyProgress& progress) {
    if (nextDisk() != disk) throw BackupError("The backup set needs Disk " + std::to_string(nextDisk() + 1) + " next.");
    if (const auto problem = checkDisk(disk, root)) throw BackupError(*problem);
    std::vector<std::uint32_t> sums;
    if (identity_) {
        bool damaged = false;
        const auto id = identityIn(root, &damaged);
        for (const PieceSum& p : id->pieces) sums.push_back(p.crc);
    }
    std::uint64_t total = 0;
    for (size_t i = next_; i < pieces_.size() && pieces_[i].disk == disk; ++i) total += pieces_[i].length;
    std::uint64_t done = 0;
    for (size_t k = 0; next_ < pieces_.size() && pieces_[next_].disk == disk; ++k) {
        const BackupPiece& piece = pieces_[next_];
        const std::string from = joinPath(root, *findRegularFile(root, piece.name));
        const ProgressSpan span{progress, done, total};
        const bool appending = next_ > 0 && pieces_[next_ - 1].name == piece.name;
        Crc32 sum;
        if (appending) {
            status("Appending " + piece.name);
            if (!appendBytes(from, piece.length, staged_.back().temp, span, &sum)) return false;
            staged_.back().expected += piece.length;
        } else {
            status("Restoring " + piece.name);
            const std::string temp = joinPath(folders_.data, stagingName(std::to_string(staged_.size())));
            staged_.push_back({piece.name, temp, 0});
            if (!copyBytes(from, 0, piece.length, temp, span, false, &sum)) return false;
            staged_.back().expected = piece.length;
        }
        // Read once more than checked: the disk may have changed in between.
        if (identity_ && sum.value() != sums[k]) throw BackupError(damagedPiece(piece.name));
        done += piece.length;
        ++next_;
    }
    return true;
}

void RestoreRun::stageLists(std::vector<JournalEntry>& entries,
                            const std::optional<std::vector<std::string>>& listNames, Committed& out) {
    const auto stage = [&](const std::string& target, const std::string& bytes, bool existed) {
        const std::string name = stagingName("list-" + std::to_string(stagedLists_.size()));
        const std::string temp = joinPath(folders_.program, name);
        stagedLists_.push_back(temp);
        writeSynced(temp, bytes);
        if (existed) {
            if (const auto st = statPath(target)) {
                SysFile file = SysFile::openExisting(temp, O_WRONLY);
                file.chmod(st->st_mode & 07777);
                file.close();
            }
        }
        entries.push_back({false, existed, name, nameOf(target)});
    };

    if (const auto it = carried_.find(std::string(kUsersFileName)); it != carried_.end()) {
        const std::string path = findFileIgnoringCase(folders_.program, kUsersFileName);
        const auto current = readWholeFile(path);
        CalendarList merged;
        merged.Names = listNames ? *listNames : current ? CalendarList::parseUsersFile(*current)
                                                        : std::vector<std::string>{};
        const size_t had = merged.Names.size();
        for (const auto& name : CalendarList::parseUsersFile(it->second))
            if (!name.empty() && !calendarNameProblem(name) && merged.indexOf(name) < 0) merged.Names.push_back(name);
        const std::string bytes = CalendarList::formatUsersFile(merged.Names);
        if (merged.Names.size() != had) out.names = merged.Names;
        if (!current || *current != bytes) stage(path, bytes, current.has_value());
    }
    if (const auto it = carried_.find(std::string(kEventsFileName)); it != carried_.end()) {
        const std::string path = findFileIgnoringCase(folders_.program, kEventsFileName);
        const bool exists = statPath(path).has_value();
        BirthdayList mine;
        const auto failure = exists ? mine.LoadEventsFile(path) : std::nullopt;
        const GridTextRead theirs = readGridText(it->second, 1);
        if (failure) {
            out.notes.push_back("The yearly dates of the backup set were not added: " + *failure);
        } else if (theirs.status != GridTextStatus::Ok) {
            out.notes.push_back("The yearly dates of the backup set could not be read and were not added.");
        } else {
            BirthdayList set;
            set.assignFrom(theirs.table);
            if (mine.addMissingRows(set) > 0) stage(path, mine.savedForm(), exists);
        }
    }
}

RestoreRun::Committed RestoreRun::commit(int today, const std::optional<std::vector<std::string>>& listNames) {
    if (nextDisk() >= 0) throw BackupError("The restore has not read every disk of the set.");
    for (const Staged& s : staged_) {
        const auto size = regularFileSize(s.temp);
        if (!size || *size != s.expected)
            throw BackupError("The restored copy of \"" + s.name +
                              "\" does not have the length the backup set gives it.");
    }
    // Whole on the disk before any calendar is replaced by it.
    for (const Staged& s : staged_) syncFile(s.temp);
    Committed out;
    std::vector<JournalEntry> entries;
    for (const Staged& s : staged_) {
        // A calendar spelled in another case is the same calendar: it keeps its own spelling.
        std::string target = s.name;
        if (!fileExists(joinPath(folders_.data, s.name)))
            for (const auto& existing : listFiles(folders_.data, pattern_))
                if (sameFileName(existing, s.name)) {
                    target = existing;
                    break;
                }
        entries.push_back({true, fileExists(joinPath(folders_.data, target)), nameOf(s.temp), target});
        out.written.push_back(target);
    }
    stageLists(entries, listNames, out);
    RestoreJournal journal{true, freeCopiesName(folders_.data, today), entries};
    const auto warning = carryOutJournal(journal, folders_);
    staged_.clear();
    stagedLists_.clear();
    committed_ = true;
    for (const JournalEntry& e : entries)
        if (e.hadOld) out.copies = joinPath(folderAboveData(folders_.data), journal.copies);
    if (warning) out.notes.push_back(*warning);
    return out;
}

void RestoreRun::abandon() {
    const auto remove = [](const std::string& path) {
        try {
            removePath(path);
        } catch (const IoError&) {
            // Removed by the next restore.
        }
    };
    for (const Staged& s : staged_) remove(s.temp);
    for (const std::string& temp : stagedLists_) remove(temp);
    staged_.clear();
    stagedLists_.clear();
}

void RestoreRun::removeStale() const {
    for (const std::string& folder : {folders_.data, folders_.program})
        for (const auto& name : listFiles(folder, "*"))
            if (isStagingName(name)) removePath(joinPath(folder, name));
}

}  // namespace orv
