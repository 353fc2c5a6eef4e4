#include "backup/block_devices.h"

#include <filesystem>
#include <fstream>

namespace orv {
namespace {

namespace fs = std::filesystem;

bool plainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

}  // namespace

std::optional<std::string> wholeDiskOf(std::string_view blockName, const std::string& sysRoot) {
    if (!plainName(blockName)) return std::nullopt;
    const fs::path entry = fs::path(sysRoot) / "class" / "block" / std::string(blockName);
    std::error_code ec;
    const fs::path real = fs::canonical(entry, ec);
    if (ec) return std::nullopt;
    // A partition's folder lies inside its disk's folder and holds a "partition" file.
    if (fs::exists(real / "partition", ec)) return real.parent_path().filename().string();
    return std::string(blockName);
}

bool isHotPluggable(const std::string& disk, const std::string& sysRoot) {
    if (!plainName(disk)) return false;
    const fs::path block = fs::path(sysRoot) / "block" / disk;
    std::ifstream removable(block / "removable");
    char flag = '0';
    if (removable >> flag && flag == '1') return true;
    if (disk.starts_with("fd")) return true;  // the floppy driver's disks
    std::error_code ec;
    const std::string device = fs::canonical(block / "device", ec).string();
    if (ec) return false;
    for (const char* bus : {"/usb", "/mmc", "/memstick", "/floppy"})
        if (device.find(bus) != std::string::npos) return true;
    return false;
}

}  // namespace orv
