#pragma once
// What the kernel says of a block device under /sys: the whole disk a partition belongs to, and whether
// that disk is hot-pluggable media (a removable flag, or a USB, MMC/SD or floppy connection). Never judged
// from where the volume is mounted: internal disks are mounted under /media too.

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// "sdb1" -> "sdb", "mmcblk0p1" -> "mmcblk0", "sdb" -> "sdb"; nullopt for a name /sys does not know.
std::optional<std::string> wholeDiskOf(std::string_view blockName, const std::string& sysRoot = "/sys");

bool isHotPluggable(const std::string& disk, const std::string& sysRoot = "/sys");

}  // namespace orv
