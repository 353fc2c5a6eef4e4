#include "backup/restore_run.h"

#include <cstdio>
#include <filesystem>
#include <set>

#include "backup/backup_error.h"
#include "backup/backup_set.h"
#include "common/file_util.h"
#include "common/io_error.h"
#include "common/sys_file.h"

namespace orv {
namespace {

constexpr std::string_view kStagingPrefix = ".orvella-restore-";
constexpr std::string_view kStagingSuffix = ".tmp";

std::string corrupt(const std::string& path) { return "File contains no data or corrupt file " + path; }

bool sameFolder(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

}  // namespace

RestoreRun::RestoreRun(std::string dataFolder, std::string pattern)
    : data_(std::move(dataFolder)), pattern_(std::move(pattern)) {}

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
    if (sameFolder(root, data_)) return FirstDisk::DataFolder;
    const auto name = findRegularFile(root, kDiskInfName);
    if (!name) return FirstDisk::NotFirstDisk;
    const auto size = regularFileSize(joinPath(root, *name));
    if (!size || *size != 4) return FirstDisk::NotFirstDisk;
    const auto bytes = readWholeFile(joinPath(root, *name));
    const auto n = bytes ? readDiskInf(*bytes) : std::nullopt;
    if (!n) return FirstDisk::NotFirstDisk;
    diskCount_ = *n;
    return FirstDisk::Found;
}

void RestoreRun::begin(const std::string& firstRoot) {
    abandon();
    leftBehind_.clear();
    pieces_.clear();
    next_ = 0;
    committed_ = false;
    if (diskCount_ == 1) {
        std::set<std::string> seen;
        for (const auto& name : listFiles(firstRoot, pattern_)) {
            const std::string path = joinPath(firstRoot, name);
            const auto size = regularFileSize(path);
            if (!size) continue;  // a link or a device is no calendar file of a set
            if (!isCalendarFileName(name)) throw BackupError(corrupt(path));
            for (const auto& other : pieces_)
                if (sameFileName(other.name, name))
                    throw BackupError("The backup disk holds \"" + other.name + "\" and \"" + name +
                                      "\", which differ only in the case of letters. Nothing was restored.");
            pieces_.push_back({name, *size, 0});
        }
        if (pieces_.empty()) throw BackupError("No calendar files were found on the backup disk.");
    } else {
        const auto name = findRegularFile(firstRoot, kBackupInfName);
        if (!name) throw BackupError("File " + joinPath(firstRoot, kBackupInfName) + " not found");
        const std::string path = joinPath(firstRoot, *name);
        const auto bytes = readWholeFile(path);
        auto pieces = bytes ? readBackupInf(*bytes, diskCount_) : std::nullopt;
        if (!pieces) throw BackupError(corrupt(path));
        pieces_ = std::move(*pieces);
    }
    removeStale();
}

int RestoreRun::nextDisk() const { return next_ < pieces_.size() ? pieces_[next_].disk : -1; }

std::optional<std::string> RestoreRun::checkDisk(int disk, const std::string& root) const {
    if (sameFolder(root, data_)) return "This folder is the data folder itself, not a backup disk.";
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
    return std::nullopt;
}

bool RestoreRun::stageDisk(int disk, const std::string& root, const CopyProgress& progress) {
    if (nextDisk() != disk) throw BackupError("The backup set needs Disk " + std::to_string(nextDisk() + 1) + " next.");
    if (const auto problem = checkDisk(disk, root)) throw BackupError(*problem);
    std::uint64_t total = 0;
    for (size_t i = next_; i < pieces_.size() && pieces_[i].disk == disk; ++i) total += pieces_[i].length;
    std::uint64_t done = 0;
    while (next_ < pieces_.size() && pieces_[next_].disk == disk) {
        const BackupPiece& piece = pieces_[next_];
        const std::string from = joinPath(root, *findRegularFile(root, piece.name));
        const ProgressSpan span{progress, done, total};
        const bool appending = next_ > 0 && pieces_[next_ - 1].name == piece.name;
        if (appending) {
            status("Appending " + piece.name);
            if (!appendBytes(from, piece.length, staged_.back().temp, span)) return false;
            staged_.back().expected += piece.length;
        } else {
            status("Restoring " + piece.name);
            const std::string temp = joinPath(
                data_, std::string(kStagingPrefix) + std::to_string(staged_.size()) + std::string(kStagingSuffix));
            staged_.push_back({piece.name, temp, 0});
            if (!copyBytes(from, 0, piece.length, temp, span, false)) return false;
            staged_.back().expected = piece.length;
        }
        done += piece.length;
        ++next_;
    }
    return true;
}

std::vector<std::string> RestoreRun::commit() {
    if (nextDisk() >= 0) throw BackupError("The restore has not read every disk of the set.");
    for (const Staged& s : staged_) {
        const auto size = regularFileSize(s.temp);
        if (!size || *size != s.expected)
            throw BackupError("The restored copy of \"" + s.name +
                              "\" does not have the length the backup set gives it.");
    }
    // Whole on the disk before any calendar is replaced by it.
    for (const Staged& s : staged_) syncFile(s.temp);
    // Every calendar of the set is replaced, or none: each one replaced keeps a second name for its old
    // file until all are in place, and gets it back should a later one fail.
    struct Replaced {
        std::string path;
        std::string old;  // empty: there was no file before
    };
    std::vector<Replaced> replaced;
    std::vector<std::string> written;
    std::string pendingOld;  // the second name of the calendar being replaced now
    try {
        for (const Staged& s : staged_) {
            // A calendar spelled in another case is the same calendar: it keeps its own spelling.
            std::string target = s.name;
            if (!fileExists(joinPath(data_, s.name)))
                for (const auto& existing : listFiles(data_, pattern_))
                    if (sameFileName(existing, s.name)) {
                        target = existing;
                        break;
                    }
            const std::string path = joinPath(data_, target);
            std::string& old = pendingOld;
            old.clear();
            if (fileExists(path)) {
                old = s.temp.substr(0, s.temp.size() - kStagingSuffix.size()) + ".old" + std::string(kStagingSuffix);
                // Where the file system has no second names, a copy stands in, so it can come back too.
                if (!linkPath(path, old)) {
                    const auto size = statPath(path);
                    copyBytes(path, 0, size ? static_cast<std::uint64_t>(size->st_size) : 0, old);
                }
            }
            renamePath(s.temp, path);
            replaced.push_back({path, old});
            old.clear();
            written.push_back(target);
        }
        syncFolder(data_);
    } catch (...) {
        if (!pendingOld.empty()) std::remove(pendingOld.c_str());
        for (auto it = replaced.rbegin(); it != replaced.rend(); ++it) {
            try {
                if (it->old.empty()) removePath(it->path);
                else renamePath(it->old, it->path);
            } catch (...) {
            }
        }
        throw;
    }
    staged_.clear();
    committed_ = true;
    // The old files' second names. The restore is done whatever happens here: one left behind is
    // removed by the next restore.
    for (const Replaced& r : replaced) {
        if (r.old.empty()) continue;
        try {
            removePath(r.old);
        } catch (const IoError& e) {
            if (leftBehind_.empty())
                leftBehind_ = std::string("The calendars were restored, but an old copy could not be deleted (") +
                              e.what() + "). The next restore removes it.";
        }
    }
    return written;
}

void RestoreRun::abandon() {
    for (const Staged& s : staged_) {
        try {
            removePath(s.temp);
        } catch (const IoError&) {
            // Removed by the next restore.
        }
    }
    staged_.clear();
}

void RestoreRun::removeStale() const {
    for (const auto& name : listFiles(data_, "*"))
        if (isStagingName(name)) removePath(joinPath(data_, name));
}

}  // namespace orv
