#include "app/start_link.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "common/io_error.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~EnvVar() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(StartLink, TenShellFolderNames) {
    const char* names[] = {"Desktop", "Favorites", "Fonts",      "NetHood", "Programs",
                           "Recent",  "SendTo",    "Start Menu", "Startup", "Templates"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(shellFolderName(i), names[i]);
    EXPECT_EQ(shellFolderName(-1), "");
    EXPECT_EQ(shellFolderName(10), "");
    EXPECT_EQ(shellFolder(10), "");
    EXPECT_EQ(shellFolder(0), "");  // no counterpart here
}

TEST(StartLink, AutostartFolderFromTheEnvironment) {
    {
        EnvVar xdg("XDG_CONFIG_HOME", "/cfg/");
        EnvVar home("HOME", "/home/u");
        EXPECT_EQ(startupFolder(), "/cfg/autostart");
    }
    {
        EnvVar xdg("XDG_CONFIG_HOME", "relative/cfg");  // to be ignored
        EnvVar home("HOME", "/home/u");
        EXPECT_EQ(startupFolder(), "/home/u/.config/autostart");
    }
    {
        EnvVar xdg("XDG_CONFIG_HOME", nullptr);
        EnvVar home("HOME", nullptr);
        EXPECT_EQ(startupFolder(), "");
        EXPECT_FALSE(CreateStartLink("/opt/orvella"));
        DeleteStartLink();  // nothing to do, no error
    }
}

TEST(StartLink, CreatedOnceLeftUnchangedAndDeleted) {
    test::TempDir dir;
    EnvVar xdg("XDG_CONFIG_HOME", dir.path().c_str());
    EXPECT_TRUE(CreateStartLink("/opt/orvella/"));
    const std::string text = dir.read("autostart/Orvella.desktop");
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=/opt/orvella/orvella\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nPath=/opt/orvella\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nComment=Orvella 3\n"), std::string::npos);
    EXPECT_FALSE(dir.exists("autostart/Orvella.desktop.tmp"));

    // An existing link is left as it is.
    dir.write("autostart/Orvella.desktop", "mine");
    EXPECT_FALSE(CreateStartLink("/elsewhere"));
    EXPECT_EQ(dir.read("autostart/Orvella.desktop"), "mine");

    DeleteStartLink();
    EXPECT_FALSE(dir.exists("autostart/Orvella.desktop"));
    DeleteStartLink();  // a missing link is no error
    EXPECT_TRUE(CreateStartLink("/opt/orvella"));
    EXPECT_TRUE(dir.exists("autostart/Orvella.desktop"));
}

TEST(StartLink, MissingFoldersAreMadePrivateAndFailuresReported) {
    test::TempDir dir;
    {
        EnvVar xdg("XDG_CONFIG_HOME", dir.file("fresh/config").c_str());
        EXPECT_TRUE(CreateStartLink("/opt/orvella"));
        EXPECT_TRUE(dir.exists("fresh/config/autostart/Orvella.desktop"));
        const auto mode = std::filesystem::status(dir.file("fresh/config/autostart")).permissions();
        EXPECT_EQ(mode & std::filesystem::perms::all, std::filesystem::perms::owner_all);
    }
    {
        // Where the folder should be there is a file: neither link nor folder can be made.
        dir.write("blocked/autostart", "");
        EnvVar xdg("XDG_CONFIG_HOME", dir.file("blocked").c_str());
        EXPECT_THROW(CreateStartLink("/opt/orvella"), IoError);
        EXPECT_NO_THROW(DeleteStartLink());  // nothing there to delete
    }
    {
        // A link that cannot be removed (a folder in its place) stays, and that is said.
        std::filesystem::create_directories(dir.file("stuck/autostart/Orvella.desktop"));
        EnvVar xdg("XDG_CONFIG_HOME", dir.file("stuck").c_str());
        EXPECT_THROW(DeleteStartLink(), IoError);
    }
}

TEST(StartLink, ExecLineQuotesAWkwardPaths) {
    struct Case {
        const char* folder;
        const char* exec;
        const char* path;
    };
    const Case cases[] = {
        {"/opt/My Programs/Orvella", "Exec=\"/opt/My Programs/Orvella/orvella\"", "Path=/opt/My Programs/Orvella"},
        {"/opt/100%", "Exec=/opt/100%%/orvella", "Path=/opt/100%"},
        {"/opt/$HOME", "Exec=\"/opt/\\\\$HOME/orvella\"", "Path=/opt/$HOME"},
        {"/opt/back\\slash", "Exec=\"/opt/back\\\\\\\\slash/orvella\"", "Path=/opt/back\\\\slash"},
    };
    for (const Case& c : cases) {
        const std::string text = startLinkText(c.folder, std::string(c.folder) + "/orvella");
        EXPECT_NE(text.find(std::string("\n") + c.exec + "\n"), std::string::npos) << text;
        EXPECT_NE(text.find(std::string("\n") + c.path + "\n"), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace orv
