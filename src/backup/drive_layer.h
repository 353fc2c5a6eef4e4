#pragma once
// The drives a backup set can be written to or read from, as the operating system offers them. The
// wizard asks again at every step, because a removable disk comes back at a new folder each time it is
// inserted.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv {

struct Drive {
    std::string id;    // stays the same while disks are swapped in it (the device, the slot)
    std::string name;  // shown in the drive list: label and mount folder (UTF-8)
    std::string root;  // root folder of the disk in it; empty when it holds none
    bool removable = false;
    bool readOnly = false;
    bool operator==(const Drive&) const = default;
};

class DriveLayer {
public:
    virtual ~DriveLayer() = default;
    virtual std::vector<Drive> drives() = 0;
    // Total capacity in bytes of the disk in the drive; nullopt when no disk can be read there.
    virtual std::optional<std::uint64_t> capacity(const Drive& drive) = 0;
};

// The drive chosen earlier, in a fresh list: the same device, else the same folder, else (for a
// removable drive) the only removable drive that holds a disk. nullopt when none fits.
std::optional<Drive> findDrive(const std::vector<Drive>& drives, const Drive& chosen);

}  // namespace orv
