#include "backup/drive_layer.h"

namespace orv {

std::optional<Drive> findDrive(const std::vector<Drive>& drives, const Drive& chosen) {
    if (!chosen.id.empty())
        for (const auto& d : drives)
            if (d.id == chosen.id && !d.root.empty()) return d;
    if (!chosen.root.empty())
        for (const auto& d : drives)
            if (d.root == chosen.root) return d;
    if (!chosen.removable) return std::nullopt;
    std::optional<Drive> only;
    for (const auto& d : drives) {
        if (!d.removable || d.root.empty()) continue;
        if (only) return std::nullopt;
        only = d;
    }
    return only;
}

}  // namespace orv
