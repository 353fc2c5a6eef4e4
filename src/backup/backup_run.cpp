#include "backup/backup_run.h"

#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <map>

#include <sys/stat.h>

#include "backup/backup_error.h"
#include "backup/backup_set.h"
#include "backup/crc32.h"
#include "backup/set_identity.h"
#include "common/file_util.h"
#include "common/io_error.h"

namespace orv {
namespace {

constexpr size_t kNamesShown = 5;
constexpr long long kClockSlack = 2;  // FAT keeps times to two seconds

std::string counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// What "DiskSet.inf" takes on a disk at most: its fixed lines, and a line for each piece with every number
// at its longest ("Piece=", 20 digits, a comma, 8 digits, a comma, the name, CR LF).
constexpr std::uint64_t kIdentityLines = 128;
constexpr std::uint64_t kIdentityLine = 40;

}  // namespace

BackupRun::BackupRun(std::string sourceFolder, std::string pattern, std::vector<std::string> guarded)
    : source_(std::move(sourceFolder)), pattern_(std::move(pattern)), guarded_(std::move(guarded)) {}

void BackupRun::status(const std::string& text) const {
    if (onStatus) onStatus(text);
}

std::string BackupRun::tempFolder(int disk) const { return joinPath(source_, "Disk" + std::to_string(disk)); }

void BackupRun::carryLists(std::string usersFile, std::string eventsFile) {
    listFiles_ = {std::move(usersFile), std::move(eventsFile)};
}

bool BackupRun::makePlan(std::uint64_t capacity) {
    auto files = BackupPlan::fileTable(source_, pattern_);
    if (files.empty()) return false;
    // Taken now, so every disk carries the lists as they were when the set was planned.
    carried_.clear();
    const std::string_view names[2] = {kUsersFileName, kEventsFileName};
    for (size_t i = 0; i < listFiles_.size() && i < 2; ++i)
        if (auto bytes = readWholeFile(listFiles_[i])) carried_.emplace_back(std::string(names[i]), std::move(*bytes));
    SetOverhead overhead{kIdentityLines, kIdentityLine, 0};
    for (const auto& [name, bytes] : carried_) overhead.firstDisk += bytes.size() + kIdentityLine + name.size();
    plan_ = BackupPlan::make(std::move(files), capacity, overhead);
    sums_.assign(plan_.pieces.size(), 0);
    setId_ = newSetId();
    made_ = static_cast<std::int64_t>(std::time(nullptr));
    prepared_ = false;
    written_.clear();
    return true;
}

std::string BackupRun::identityOf(int disk) const {
    SetIdentity id;
    id.set = setId_;
    id.made = made_;
    id.disk = disk + 1;
    id.disks = plan_.diskCount;
    for (size_t i = 0; i < plan_.pieces.size(); ++i)
        if (plan_.pieces[i].disk == disk) id.pieces.push_back({plan_.pieces[i].name, plan_.pieces[i].length, sums_[i]});
    if (disk == 0)
        for (const auto& [name, bytes] : carried_) {
            Crc32 sum;
            sum.add(bytes);
            id.carried.push_back({name, bytes.size(), sum.value()});
        }
    return setIdentityBytes(id);
}

std::string BackupRun::describeOthers(const RootContents& contents) {
    size_t folders = 0;
    for (const auto& e : contents.others) folders += e.folder ? 1 : 0;
    const size_t files = contents.others.size() - folders;
    std::string text;
    if (files > 0) text = counted(files, "file", "files");
    if (folders > 0) text += (text.empty() ? "" : " and ") + counted(folders, "folder", "folders");
    text += " that " + std::string(contents.others.size() == 1 ? "is" : "are") + " not part of a backup set: ";
    for (size_t i = 0; i < contents.others.size() && i < kNamesShown; ++i)
        text += (i ? ", " : "") + contents.others[i].name + (contents.others[i].folder ? "/" : "");
    if (contents.others.size() > kNamesShown) text += ", ...";
    return text;
}

BackupRun::DiskCheck BackupRun::checkDisk(int disk, const std::string& root,
                                          std::optional<std::uint64_t> capacity) const {
    DiskCheck check;
    for (const auto& folder : guarded_) {
        if (!folder.empty() && folderIsWithin(folder, root)) {
            check.verdict = Verdict::HoldsSource;
            check.guardedFolder = folder;
            return check;
        }
    }
    if (folderIsWithin(root, source_)) {  // a "disk" inside the data folder would be cleared with it
        check.verdict = Verdict::HoldsSource;
        check.guardedFolder = source_;
        return check;
    }
    for (size_t k = 0; k < written_.size(); ++k) {
        bool all = !written_[k].empty();
        for (const Stamp& s : written_[k]) {
            const auto now = stampsOf(root, {s.name});
            if (now.empty() || now[0].size != s.size || std::llabs(now[0].mtime - s.mtime) > kClockSlack) {
                all = false;
                break;
            }
        }
        if (all) {
            check.verdict = Verdict::WrittenNow;
            check.writtenAs = static_cast<int>(k);
            return check;
        }
    }
    if (capacity && *capacity < plan_.neededOnDisk(disk)) {
        check.verdict = Verdict::TooSmall;
        return check;
    }
    check.contents = readRoot(root);
    if (!check.contents.others.empty()) check.verdict = Verdict::HoldsOthers;
    return check;
}

std::vector<BackupRun::Stamp> BackupRun::stampsOf(const std::string& root,
                                                  const std::vector<std::string>& names) const {
    std::vector<Stamp> stamps;
    for (const auto& name : names) {
        const auto found = findRegularFile(root, name);
        struct stat st {};
        if (!found || ::lstat(joinPath(root, *found).c_str(), &st) != 0) continue;
        stamps.push_back({name, static_cast<std::uint64_t>(st.st_size), static_cast<long long>(st.st_mtime)});
    }
    return stamps;
}

void BackupRun::checkUnchanged(const BackupFile& file) const {
    struct stat st {};
    const std::string path = joinPath(source_, file.name);
    if (::stat(path.c_str(), &st) != 0) throwIoError("Cannot read", path, errno);
    if (static_cast<std::uint64_t>(st.st_size) != file.size)
        throw BackupError("The calendar file \"" + file.name +
                          "\" changed while it was being backed up. Please start the backup again.");
}

bool BackupRun::prepare(const CopyProgress& progress) {
    if (plan_.diskCount < 2) return true;
    status("Preparing backup files");
    namespace fs = std::filesystem;
    for (int k = 0; k < plan_.diskCount; ++k) {
        const fs::path folder = tempFolder(k);
        std::error_code ec;
        const auto type = fs::symlink_status(folder, ec).type();
        if (type == fs::file_type::not_found) {
            if (!fs::create_directory(folder, ec) && ec)
                throwIoError("Cannot create the folder", folder.string(), ec.value());
        } else if (type != fs::file_type::directory) {
            throw BackupError("The data folder holds \"" + folder.filename().string() +
                              "\", which is not a folder; the backup needs that name for its pieces. Please "
                              "rename or remove it.");
        } else {
            for (const auto& stale : listFiles(folder.string(), "*")) deleteEntries(folder.string(), {stale});
        }
    }
    std::map<std::string, std::uint64_t> offsets;
    std::uint64_t done = 0;
    for (size_t i = 0; i < plan_.pieces.size(); ++i) {
        const BackupPiece& piece = plan_.pieces[i];
        auto [at, first] = offsets.emplace(piece.name, 0);
        if (first)
            for (const auto& f : plan_.files)
                if (f.name == piece.name) checkUnchanged(f);
        const ProgressSpan span{progress, done, plan_.total};
        Crc32 sum;
        if (!copyBytes(joinPath(source_, piece.name), at->second, piece.length,
                       joinPath(tempFolder(piece.disk), piece.name), span, true, &sum))
            return false;
        sums_[i] = sum.value();
        at->second += piece.length;
        done += piece.length;
    }
    prepared_ = true;
    return true;
}

bool BackupRun::writeDisk(int disk, const std::string& root, bool deleteOthers, const CopyProgress& progress) {
    const DiskCheck check = checkDisk(disk, root, std::nullopt);
    if (check.verdict == Verdict::HoldsSource)
        throw BackupError("The disk holds \"" + check.guardedFolder + "\" and cannot take a backup.");
    if (check.verdict == Verdict::WrittenNow)
        throw BackupError("This disk already holds Disk " + std::to_string(check.writtenAs + 1) + " of this backup.");
    if (check.verdict == Verdict::HoldsOthers && !deleteOthers)
        throw BackupError("The disk holds " + describeOthers(check.contents) + ".");
    const bool multi = plan_.diskCount > 1;
    if (multi && !prepared_) throw BackupError("The backup files have not been prepared.");

    status("Deleting old files on target disk");
    // The mark of a first disk goes before anything else, so a disk cleared half-way is no set's.
    std::vector<std::string> doomed;
    for (const auto& name : check.contents.setFiles)
        if (equalsIgnoringAsciiCase(name, kDiskInfName)) doomed.insert(doomed.begin(), name);
        else doomed.push_back(name);
    for (const auto& e : check.contents.others) doomed.push_back(e.name);
    deleteEntries(root, doomed);
    syncFolder(root);

    std::vector<std::string> names;
    if (disk == 0 && multi) {
        writeSynced(joinPath(root, kBackupInfName), backupInfBytes(plan_.pieces));
        names.emplace_back(kBackupInfName);
    }
    status("Copying files");
    const std::uint64_t total = plan_.bytesOnDisk(disk);
    std::uint64_t done = 0;
    for (size_t i = 0; i < plan_.pieces.size(); ++i) {
        const BackupPiece& piece = plan_.pieces[i];
        if (piece.disk != disk) continue;
        std::string from = joinPath(multi ? tempFolder(disk) : source_, piece.name);
        if (!multi)
            for (const auto& f : plan_.files)
                if (f.name == piece.name) checkUnchanged(f);
        Crc32 sum;
        if (!copyBytes(from, 0, piece.length, joinPath(root, piece.name), {progress, done, total}, true, &sum))
            return false;
        // A piece read back from its folder must be what was read from the calendar.
        if (multi && sum.value() != sums_[i])
            throw BackupError("The prepared piece of \"" + piece.name + "\" changed before it was copied.");
        sums_[i] = sum.value();
        done += piece.length;
        names.push_back(piece.name);
    }
    if (disk == 0)
        for (const auto& [name, bytes] : carried_) {
            writeSynced(joinPath(root, name), bytes);
            names.push_back(name);
        }
    writeSynced(joinPath(root, kSetIdentityName), identityOf(disk));
    names.emplace_back(kSetIdentityName);
    // Every piece is on the disk before the mark that makes it a first disk.
    syncFileSystem(root);
    if (disk == 0) {
        writeSynced(joinPath(root, kDiskInfName), diskInfBytes(plan_.diskCount));
        names.emplace_back(kDiskInfName);
    }
    if (written_.size() <= static_cast<size_t>(disk)) written_.resize(static_cast<size_t>(disk) + 1);
    written_[static_cast<size_t>(disk)] = stampsOf(root, names);
    return true;
}

std::optional<std::string> BackupRun::cleanUp() {
    if (plan_.diskCount < 2) return std::nullopt;
    status("Deleting temporary files");
    namespace fs = std::filesystem;
    std::optional<std::string> problem;
    for (int k = 0; k < plan_.diskCount; ++k) {
        const fs::path folder = tempFolder(k);
        std::error_code ec;
        if (fs::symlink_status(folder, ec).type() != fs::file_type::directory) continue;
        for (const auto& name : listFiles(folder.string(), "*")) {
            if (!fs::remove(folder / name, ec) && ec && !problem)
                problem = "Cannot delete \"" + (folder / name).string() + "\": " + ec.message();
        }
        if (!fs::remove(folder, ec) && ec && !problem)
            problem = "Cannot remove the folder \"" + folder.string() + "\": " + ec.message();
    }
    prepared_ = false;
    return problem;
}

}  // namespace orv
