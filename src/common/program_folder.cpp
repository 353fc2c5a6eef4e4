#include "common/program_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "common/file_util.h"
#include "common/io_error.h"

namespace orv {
namespace fs = std::filesystem;

namespace {

// The shipped folders each user gets a copy of.
constexpr const char* kCopiedFolders[] = {"Artwork", "SOUNDS"};

std::string envOr(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// Holds an exclusive lock on a folder, so that two programs starting at once do not fill it together.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ < 0) throwIoError("Cannot open", folder, errno);
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd_);
            throwIoError("Cannot lock", folder, err);
        }
    }
    ~FolderLock() { ::close(fd_); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

void makeOwnerWritable(const fs::path& root) {
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const auto add = e.is_directory() ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write;
        fs::permissions(e.path(), add, fs::perm_options::add);
    }
}

// Copies shipped/name into user/name through a staging folder renamed at the end, so a copy cut short
// (a full disk, a crash) never passes for the user's own folder.
void copyShippedFolder(const fs::path& shipped, const fs::path& user, const std::string& name) {
    const fs::path from = shipped / name;
    const fs::path to = user / name;
    std::error_code ec;
    if (!fs::is_directory(from, ec)) return;
    if (fs::symlink_status(to, ec).type() != fs::file_type::not_found) return;
    // A folder the user keeps in another case ("artwork") is the one the program uses: none goes beside it.
    if (folderExists(findFolderIgnoringCase(user.string(), name))) return;
    const fs::path staging = user / ("." + name + ".part");
    try {
        fs::remove_all(staging);
        fs::copy(from, staging, fs::copy_options::recursive);
        makeOwnerWritable(staging);
        fs::rename(staging, to);
    } catch (const fs::filesystem_error& e) {
        fs::remove_all(staging, ec);
        throwIoError("Cannot copy the shipped \"" + name + "\" folder into", user.string(), e.code().value());
    }
}

}  // namespace

UserEnvironment UserEnvironment::current() {
    UserEnvironment env{envOr("XDG_DATA_HOME"), envOr("HOME")};
    if (env.home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) env.home = pw->pw_dir;
    }
    return env;
}

std::optional<std::string> shippedFilesFolder(const std::string& executableFolder) {
    std::error_code ec;
    const fs::path candidate = fs::path(executableFolder) / ".." / "share" / "orvella";
    if (!fs::is_directory(candidate, ec)) return std::nullopt;
    const fs::path real = fs::canonical(candidate, ec);
    return ec ? candidate.lexically_normal().string() : real.string();
}

std::string userProgramFolder(const UserEnvironment& env) {
    if (fs::path(env.xdgDataHome).is_absolute()) return (fs::path(env.xdgDataHome) / "orvella").string();
    if (fs::path(env.home).is_absolute()) return (fs::path(env.home) / ".local" / "share" / "orvella").string();
    throw IoError("Cannot find a folder for the calendars: neither XDG_DATA_HOME nor HOME names an absolute folder",
                  {});
}

std::string resolveProgramFolder(const std::string& executableFolder, const UserEnvironment& env) {
    const auto shipped = shippedFilesFolder(executableFolder);
    if (!shipped) return executableFolder;
    const fs::path user = userProgramFolder(env);
    std::error_code ec;
    fs::create_directories(user.parent_path(), ec);
    if (ec) throwIoError("Cannot create", user.parent_path().string(), ec.value());
    if (::mkdir(user.c_str(), 0700) != 0 && errno != EEXIST) throwIoError("Cannot create", user.string(), errno);
    if (!folderExists(user.string())) throwIoError("Cannot use", user.string(), ENOTDIR);
    const FolderLock lock(user.string());
    for (const char* name : kCopiedFolders) copyShippedFolder(*shipped, user, name);
    return user.string();
}

std::string resolveProgramFolder() { return resolveProgramFolder(executableFolder(), UserEnvironment::current()); }

}  // namespace orv
