#include "backup/folder_drive_layer.h"

#include <sys/statvfs.h>

#include "common/file_util.h"

namespace orv {

std::optional<std::uint64_t> fileSystemSize(const std::string& folder) {
    struct statvfs st {};
    if (::statvfs(folder.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.f_blocks) * static_cast<std::uint64_t>(st.f_frsize);
}

std::vector<Drive> FolderDriveLayer::drives() {
    std::vector<Drive> out;
    for (size_t i = 0; i < bays.size(); ++i) {
        const Bay& s = bays[i];
        const bool present = !s.folder.empty() && folderExists(s.folder);
        out.push_back(
            {"bay:" + std::to_string(i), s.name, present ? s.folder : std::string(), s.removable, s.readOnly});
    }
    return out;
}

std::optional<std::uint64_t> FolderDriveLayer::capacity(const Drive& drive) {
    for (const Bay& s : bays) {
        if (drive.root.empty() || s.folder != drive.root || !folderExists(s.folder)) continue;
        return s.capacity ? s.capacity : fileSystemSize(s.folder);
    }
    return std::nullopt;
}

}  // namespace orv
