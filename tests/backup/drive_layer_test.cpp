#include <gtest/gtest.h>

#include "backup/folder_drive_layer.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

TEST(DriveLayer, TheChosenDriveIsFoundAgainAfterADiskSwap) {
    const Drive stick{"sdb", "STICK (/media/me/STICK)", "/media/me/STICK", true};
    const Drive stickAgain{"sdb", "SECOND (/media/me/SECOND)", "/media/me/SECOND", true};
    const Drive other{"sdc", "CARD (/media/me/CARD)", "/media/me/CARD", true};
    const Drive newStick{"sdd", "NEW (/media/me/NEW)", "/media/me/NEW", true};
    const Drive home{"sda", "/home", "/home", false};
    const Drive emptyReader{"sde", "Card reader", "", true};
    struct Case {
        const char* what;
        std::vector<Drive> now;
        Drive chosen;
        std::optional<Drive> found;
    };
    const Case cases[] = {
        {"same device, new folder", {home, stickAgain}, stick, stickAgain},
        {"same folder", {home, stick}, Drive{"", "", "/media/me/STICK", true}, stick},
        {"device gone, one other removable", {home, newStick, emptyReader}, stick, newStick},
        {"device gone, two other removables", {home, newStick, other}, stick, std::nullopt},
        {"nothing inserted", {home, emptyReader}, stick, std::nullopt},
        {"a fixed drive is never guessed", {newStick}, home, std::nullopt},
        {"the device without a disk is no answer", {Drive{"sdb", "Card reader", "", true}, newStick}, stick, newStick},
    };
    for (const Case& c : cases) EXPECT_EQ(findDrive(c.now, c.chosen), c.found) << c.what;
}

TEST(DriveLayer, FolderSlotsAnswerNoDiskWhenEmptyOrGone) {
    test::TempDir dir;
    dir.write("a/x", "");
    dir.write("d/x", "");
    FolderDriveLayer layer;
    layer.bays = {{"A:", dir.file("a"), true, false, 1457664},
                  {"B:", "", true, false, std::nullopt},
                  {"C:", dir.file("gone"), false, false, std::nullopt},
                  {"D:", dir.file("d"), false, false, std::nullopt}};
    const auto drives = layer.drives();
    ASSERT_EQ(drives.size(), 4u);
    EXPECT_EQ(layer.capacity(drives[0]), 1457664u);
    EXPECT_EQ(layer.capacity(drives[1]), std::nullopt);
    EXPECT_EQ(layer.capacity(drives[2]), std::nullopt);
    EXPECT_EQ(layer.capacity(drives[3]), fileSystemSize(dir.path()));
    EXPECT_GT(*fileSystemSize(dir.path()), 4096u);
}

}  // namespace
}  // namespace orv
