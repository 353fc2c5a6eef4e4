#pragma once
// The drives of this computer: mounted volumes on block devices, each shown as its label and mount
// folder. A volume is removable when its disk is hot-pluggable media by /sys, or when udisks2 says so
// over D-Bus where it runs.

#include "backup/drive_layer.h"

namespace orv {

class LinuxDriveLayer : public DriveLayer {
public:
    std::vector<Drive> drives() override;
    std::optional<std::uint64_t> capacity(const Drive& drive) override;
};

}  // namespace orv
