#include <filesystem>

#include <gtest/gtest.h>

#include "backup/block_devices.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// A /sys tree of a laptop: an internal SATA disk, a USB stick, an SD card in the built-in reader, an
// internal NVMe disk, a disk that only says it is removable and a floppy drive.
class BlockDevicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        disk("sda", "pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0", "0", {"sda1", "sda2"});
        disk("sdb", "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0", "0", {"sdb1"});
        disk("mmcblk0", "pci0000:00/0000:00:1c.0/mmc_host/mmc0/mmc0:aaaa", "0", {"mmcblk0p1"});
        disk("nvme0n1", "pci0000:00/0000:00:1d.0/nvme/nvme0", "0", {"nvme0n1p1"});
        disk("sdc", "pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0", "1", {});
        disk("fd0", "platform/floppy.0", "0", {});
    }
    void disk(const std::string& name, const std::string& device, const std::string& removable,
              const std::vector<std::string>& partitions) {
        const fs::path devices = fs::path(sys.path()) / "devices";
        const fs::path folder = devices / device / "block" / name;
        fs::create_directories(folder);
        sys.write("devices/" + device + "/block/" + name + "/removable", removable + "\n");
        fs::create_directories(fs::path(sys.path()) / "block");
        fs::create_directories(fs::path(sys.path()) / "class" / "block");
        fs::create_directory_symlink(folder, fs::path(sys.path()) / "block" / name);
        fs::create_directory_symlink(folder, fs::path(sys.path()) / "class" / "block" / name);
        fs::create_directory_symlink(devices / device, folder / "device");
        for (const auto& p : partitions) {
            fs::create_directories(folder / p);
            sys.write("devices/" + device + "/block/" + name + "/" + p + "/partition", "1\n");
            fs::create_directory_symlink(folder / p, fs::path(sys.path()) / "class" / "block" / p);
        }
    }
    test::TempDir sys;
};

TEST_F(BlockDevicesTest, PartitionsLeadToTheirDiskAndTheDiskToItsBus) {
    struct Case {
        const char* block;
        std::optional<std::string> disk;
        bool hotPluggable;
    };
    const Case cases[] = {
        {"sda1", "sda", false},         {"sda", "sda", false},           {"sdb1", "sdb", true},
        {"mmcblk0p1", "mmcblk0", true}, {"nvme0n1p1", "nvme0n1", false}, {"sdc", "sdc", true},
        {"fd0", "fd0", true},           {"sdz1", std::nullopt, false},   {"../block", std::nullopt, false},
        {"", std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        const auto disk = wholeDiskOf(c.block, sys.path());
        EXPECT_EQ(disk, c.disk);
        EXPECT_EQ(disk && isHotPluggable(*disk, sys.path()), c.hotPluggable);
    }
}

}  // namespace
}  // namespace orv
