#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "common/io_error.h"
#include "common/program_folder.h"
#include "support/temp_dir.h"

namespace orv {
namespace {
namespace fs = std::filesystem;

// Every file under root with its bytes, to see that nothing changed there.
std::map<std::string, std::string> snapshot(const test::TempDir& dir, const std::string& under) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir.file(under))) {
        const std::string rel = fs::relative(e.path(), dir.path()).string();
        files[rel] = e.is_regular_file() ? dir.read(rel) : "<folder>";
    }
    return files;
}

class ProgramFolderTest : public ::testing::Test {
protected:
    // An installed copy under <dir>/usr with its shipped pictures and sounds; the user's data under <dir>/home.
    void SetUp() override {
        dir.write("usr/bin/orvella", "program");
        dir.write("usr/share/orvella/Artwork/01-January.jpg", "january");
        dir.write("usr/share/orvella/Artwork/07-July.bmp", "july");
        dir.write("usr/share/orvella/SOUNDS/05-May.wav", "may");
        dir.write("usr/share/orvella/SOUNDS/Sounds.ini", "[Loop]\r\n05-May.wav=1\r\n");
        fs::create_directories(dir.file("home"));
    }
    std::string resolve() { return resolveProgramFolder(dir.file("usr/bin"), {dir.file("home/data"), "/nowhere"}); }

    test::TempDir dir;
};

TEST_F(ProgramFolderTest, PortableCopyKeepsItsOwnFolder) {
    dir.write("stick/orvella", "program");
    dir.write("stick/share/orvella/Artwork/x.jpg", "not beside the executable's folder");
    EXPECT_EQ(resolveProgramFolder(dir.file("stick"), {dir.file("home/data"), dir.file("home")}), dir.file("stick"));
    EXPECT_FALSE(dir.exists("home/data"));
    EXPECT_FALSE(shippedFilesFolder(dir.file("stick")));
    EXPECT_EQ(shippedFilesFolder(dir.file("usr/bin")), dir.file("usr/share/orvella"));
}

TEST_F(ProgramFolderTest, FirstStartOfAnInstalledCopyFillsThePerUserFolder) {
    const auto shippedBefore = snapshot(dir, "usr");
    fs::permissions(dir.file("usr/share/orvella/Artwork/01-January.jpg"), fs::perms::owner_read);

    ASSERT_EQ(resolve(), dir.file("home/data/orvella"));
    EXPECT_EQ(dir.read("home/data/orvella/Artwork/01-January.jpg"), "january");
    EXPECT_EQ(dir.read("home/data/orvella/Artwork/07-July.bmp"), "july");
    EXPECT_EQ(dir.read("home/data/orvella/SOUNDS/Sounds.ini"), "[Loop]\r\n05-May.wav=1\r\n");
    EXPECT_EQ(snapshot(dir, "home/data/orvella").size(), 6u);  // the two folders and their files, no leftovers
    EXPECT_EQ(snapshot(dir, "usr"), shippedBefore);

    struct stat st {};
    ASSERT_EQ(::stat(dir.file("home/data/orvella").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A read-only shipped picture still becomes the user's to replace.
    ASSERT_EQ(::stat(dir.file("home/data/orvella/Artwork/01-January.jpg").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
}

TEST_F(ProgramFolderTest, LaterStartsKeepWhatTheUserChangedAndRefillOnlyMissingFolders) {
    resolve();
    dir.write("home/data/orvella/Artwork/01-January.jpg", "my own picture");
    fs::remove(dir.file("home/data/orvella/Artwork/07-July.bmp"));
    fs::remove_all(dir.file("home/data/orvella/SOUNDS"));

    resolve();
    EXPECT_EQ(dir.read("home/data/orvella/Artwork/01-January.jpg"), "my own picture");
    EXPECT_FALSE(dir.exists("home/data/orvella/Artwork/07-July.bmp"));
    EXPECT_EQ(dir.read("home/data/orvella/SOUNDS/05-May.wav"), "may");

    // A folder kept in another case is the one in use: no second one beside it.
    fs::rename(dir.file("home/data/orvella/Artwork"), dir.file("home/data/orvella/artwork"));
    resolve();
    EXPECT_FALSE(dir.exists("home/data/orvella/Artwork"));
    EXPECT_EQ(dir.read("home/data/orvella/artwork/01-January.jpg"), "my own picture");
}

TEST_F(ProgramFolderTest, CopyCutShortEarlierIsRedoneWhole) {
    dir.write("home/data/orvella/.Artwork.part/01-January.jpg", "half");
    resolve();
    EXPECT_FALSE(dir.exists("home/data/orvella/.Artwork.part"));
    EXPECT_EQ(dir.read("home/data/orvella/Artwork/07-July.bmp"), "july");
}

TEST_F(ProgramFolderTest, PerUserFolderFollowsTheEnvironment) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"/x/data", "/home/ann", "/x/data/orvella"},
        {"", "/home/ann", "/home/ann/.local/share/orvella"},
        {"relative/data", "/home/ann", "/home/ann/.local/share/orvella"},  // not absolute: ignored
        {"/x/data", "", "/x/data/orvella"},
        {"", "/root", "/root/.local/share/orvella"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.xdg) + " | " + c.home);
        EXPECT_EQ(userProgramFolder({c.xdg, c.home}), c.folder);
    }
    EXPECT_THROW(userProgramFolder({"", ""}), IoError);
    EXPECT_THROW(userProgramFolder({"data", "home"}), IoError);
}

TEST_F(ProgramFolderTest, UnusablePerUserFolderIsReportedByName) {
    dir.write("home/data/orvella", "a file where the folder should be");
    try {
        resolve();
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("home/data/orvella")), std::string::npos) << e.what();
    }
    dir.write("home/blocked", "a file where a parent folder should be");
    EXPECT_THROW(resolveProgramFolder(dir.file("usr/bin"), {dir.file("home/blocked/data"), ""}), IoError);
}

}  // namespace
}  // namespace orv
