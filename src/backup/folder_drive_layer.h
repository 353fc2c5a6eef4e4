#pragma once
// Drives made of folders: each bay is a drive whose disk is a folder (or none). The command-line tool
// gives one bay per folder it is handed; tests swap a bay's folder as a person swaps disks.

#include "backup/drive_layer.h"

namespace orv {

class FolderDriveLayer : public DriveLayer {
public:
    struct Bay {
        std::string name;
        std::string folder;  // empty: no disk in the drive
        bool removable = true;
        bool readOnly = false;
        std::optional<std::uint64_t> capacity;  // the folder's file system size when not given
    };
    std::vector<Bay> bays;

    std::vector<Drive> drives() override;
    std::optional<std::uint64_t> capacity(const Drive& drive) override;
};

// Total size of the file system that holds folder; nullopt when it cannot be read.
std::optional<std::uint64_t> fileSystemSize(const std::string& folder);

}  // namespace orv
