// backup and restore: the backup window's work with folders standing for the disks, disk 1 first.
// Everything is checked before the first byte is written, since no one is there to swap a disk.

#include <filesystem>
#include <ostream>

#include "backup/backup_error.h"
#include "backup/backup_run.h"
#include "backup/backup_set.h"
#include "backup/folder_drive_layer.h"
#include "backup/restore_run.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/file_util.h"

namespace orv::cli {
namespace {

std::uint64_t parseBytes(const std::string& text) {
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("--disk-size must be a whole number of bytes: " + text);
    return std::stoull(text);
}

void expectFolders(const std::vector<std::string>& folders) {
    for (const auto& f : folders)
        if (!folderExists(f)) throw DataError("no such folder: " + f);
    for (size_t i = 0; i < folders.size(); ++i)
        for (size_t j = 0; j < i; ++j) {
            std::error_code ec;
            if (std::filesystem::equivalent(folders[i], folders[j], ec))
                throw DataError("the folder " + folders[i] + " is given twice; every disk needs a folder of its own");
        }
}

std::string plural(int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

}  // namespace

int cmdBackup(CliContext& ctx, const Args& args) {
    std::vector<std::string> folders;
    std::optional<std::uint64_t> diskSize;
    bool wipe = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--disk-size") {
            if (i + 1 >= args.size()) throw UsageError("--disk-size needs a value");
            diskSize = parseBytes(args[++i]);
        } else if (args[i] == "--wipe") {
            wipe = true;
        } else if (args[i].starts_with("--")) {
            throw UsageError("unknown option for backup: " + args[i]);
        } else {
            folders.push_back(args[i]);
        }
    }
    if (folders.empty()) throw UsageError("backup DISK_DIR... [--disk-size BYTES] [--wipe]");
    ctx.openCalendarForReading();
    expectFolders(folders);
    const std::string data = ctx.program.calendars.DataFolder;
    BackupRun run(data, std::string(kCalendarPattern), {data, ctx.program.programFolder(), homeFolder()});
    run.onStatus = [&](const std::string& s) { ctx.out << s << '\n'; };
    run.carryLists(ctx.program.usersFile(), ctx.program.eventsFile());

    const auto capacityOf = [&](const std::string& folder) { return diskSize ? diskSize : fileSystemSize(folder); };
    const auto capacity = capacityOf(folders[0]);
    if (!capacity || !BackupPlan::usableCapacity(*capacity))
        throw DataError("the disk " + folders[0] + " is too small: a disk needs more than 4096 bytes");
    try {
        if (!run.makePlan(*capacity)) throw DataError("No files were found to back up.");
        const int n = run.plan().diskCount;
        if (n > static_cast<int>(folders.size()))
            throw DataError("the backup needs " + plural(n, "disk") + ", but " +
                            plural(static_cast<int>(folders.size()), "folder") + " " +
                            (folders.size() == 1 ? "was" : "were") + " given");
        for (int i = 0; i < n; ++i) {
            const std::string& f = folders[static_cast<size_t>(i)];
            const auto check = run.checkDisk(i, f, capacityOf(f));
            switch (check.verdict) {
                case BackupRun::Verdict::HoldsSource:
                    throw DataError("the folder " + f + " holds " + check.guardedFolder +
                                    ", which a backup would delete");
                case BackupRun::Verdict::TooSmall:
                    throw DataError("the disk " + f + " is too small for Disk " + std::to_string(i + 1) +
                                    " of the backup");
                case BackupRun::Verdict::HoldsOthers:
                    if (!wipe)
                        throw DataError("the folder " + f + " holds " + BackupRun::describeOthers(check.contents) +
                                        "; give --wipe to delete them");
                    break;
                case BackupRun::Verdict::WrittenNow:
                case BackupRun::Verdict::Ready: break;
            }
        }
        try {
            if (!run.prepare()) throw DataError("the backup was stopped");
            for (int i = 0; i < n; ++i) run.writeDisk(i, folders[static_cast<size_t>(i)], wipe);
        } catch (...) {
            run.cleanUp();
            throw;
        }
        if (const auto problem = run.cleanUp()) ctx.err << "orvella-cli: " << *problem << '\n';
    } catch (const BackupError& e) {
        throw DataError(e.what());
    }
    ctx.out << "Backup Completed\n";
    return 0;
}

int cmdRestore(CliContext& ctx, const Args& args) {
    for (const auto& a : args)
        if (a.starts_with("--")) throw UsageError("unknown option for restore: " + a);
    if (args.empty()) throw UsageError("restore DISK_DIR...");
    ctx.openCalendar();
    expectFolders(args);
    RestoreRun run({ctx.program.calendars.DataFolder, ctx.program.programFolder()}, std::string(kCalendarPattern));
    run.onStatus = [&](const std::string& s) { ctx.out << s << '\n'; };
    switch (run.readFirstDisk(args[0])) {
        case RestoreRun::FirstDisk::DataFolder:
            throw DataError("the folder " + args[0] + " is the data folder itself, not a backup disk");
        case RestoreRun::FirstDisk::NotFirstDisk:
            throw DataError("Incorrect disk! " + args[0] + " holds no first disk of a backup set (\"DiskInf.0\")");
        case RestoreRun::FirstDisk::Found: break;
    }
    const int n = run.diskCount();
    if (n > static_cast<int>(args.size()))
        throw DataError("the backup set has " + plural(n, "disk") + ", but " +
                        plural(static_cast<int>(args.size()), "folder") + " " + (args.size() == 1 ? "was" : "were") +
                        " given");
    RestoreRun::Committed done;
    try {
        run.begin(args[0]);
        // Every disk is checked, its checksums read, before a byte is staged.
        for (int d = 0; d < n; ++d)
            if (const auto problem = run.checkDisk(d, args[static_cast<size_t>(d)]))
                throw DataError("the folder " + args[static_cast<size_t>(d)] + " cannot be Backup Disk " +
                                std::to_string(d + 1) + ": " + *problem);
        for (int d = run.nextDisk(); d >= 0; d = run.nextDisk())
            if (!run.stageDisk(d, args[static_cast<size_t>(d)])) throw DataError("the restore was stopped");
        done = run.commit(ctx.program.today());
    } catch (const BackupError& e) {
        throw DataError(e.what());
    }
    for (const auto& note : done.notes) ctx.err << "orvella-cli: warning: " << note << '\n';
    if (!done.copies.empty()) ctx.out << "The files replaced are kept in " << done.copies << '\n';
    ctx.out << "Restore Completed\n";
    return 0;
}

}  // namespace orv::cli
