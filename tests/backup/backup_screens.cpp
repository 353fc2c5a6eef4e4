// Shows the backup and restore window over folders standing for drives, for a look at it on a real
// display and a go at it by hand:
//   backup_screens PROGRAM_FOLDER
// PROGRAM_FOLDER/Data holds the calendars; PROGRAM_FOLDER/floppy is the disk in drive "A:" (1,457,664
// bytes; make it a link to another folder to swap disks), PROGRAM_FOLDER/stick a USB stick. Not a test:
// it prints the window's result and checks nothing.

#include <QApplication>

#include <cstdio>
#include <filesystem>

#include "backup/backup_dlg.h"
#include "backup/folder_drive_layer.h"
#include "common/app_context.h"
#include "program/program.h"

using namespace orv;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: backup_screens PROGRAM_FOLDER\n");
        return 1;
    }
    const std::string folder = std::filesystem::absolute(argv[1]).string();
    Program program(folder);
    program.calendars.DataFolder = folder + "/Data";
    FolderDriveLayer drives;
    drives.bays = {{"A: (3\u00bd\" floppy)", folder + "/floppy", true, false, 1457664},
                   {"C: (hard disk)", "/", false, false, std::nullopt},
                   {"STICK (/media/me/STICK)", folder + "/stick", true, false, std::nullopt}};
    AppContext context(program, {.drives = &drives});
    TBackupDlg dlg(context);
    const int result = context.ui().execModal(&dlg);
    std::printf("result %d\n", result);
    return 0;
}
