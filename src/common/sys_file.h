#pragma once
// Every system call the program makes on its files goes through here: each result is checked, only
// regular files are ever opened (a FIFO or a device would block or never end), and one seam lets tests
// fail any single call the way a full or broken disk would, or stop the process at it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <sys/stat.h>
#include <sys/types.h>

namespace orv {

enum class FileCall { Open, Stat, Read, Write, Sync, Truncate, Chmod, Chown, Close, Rename, Remove, MakeFolder, Link, Lock };

const char* fileCallName(FileCall call);

// The seam: asked before each call with the call and its path; 0 lets the call run, an errno value
// makes it fail with that error instead. Tests only; an empty hook (the default) runs every call.
using FileCallHook = std::function<int(FileCall call, const std::string& path)>;
void setFileCallHook(FileCallHook hook);

// One open regular file. Closing is explicit (its result counts: a late write error shows there); the
// destructor closes unchecked, for paths that are already failing.
class SysFile {
public:
    SysFile() = default;
    ~SysFile();
    SysFile(SysFile&& other) noexcept;
    SysFile& operator=(SysFile&& other) noexcept;
    SysFile(const SysFile&) = delete;
    SysFile& operator=(const SysFile&) = delete;

    // An existing file with O_RDONLY, O_WRONLY or O_RDWR; invalid when it does not exist.
    static SysFile openExisting(const std::string& path, int access);
    // A file created with the flags (O_EXCL, O_TRUNC) and mode (before the umask) when it does not
    // exist, else opened; access as above.
    static SysFile create(const std::string& path, int access, int flags, mode_t mode);

    bool valid() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

    struct stat status() const;
    std::int64_t size() const { return static_cast<std::int64_t>(status().st_size); }

    // Reads up to n bytes at offset; fewer only at the end of the file.
    std::size_t readAt(char* buffer, std::size_t n, std::int64_t offset) const;
    void writeAt(const char* bytes, std::size_t n, std::int64_t offset) const;
    void sync() const;
    void truncate(std::int64_t length) const;
    void chmod(mode_t mode) const;
    // Where the system does not permit it (not the owner's process), the owner stays ours.
    void chown(uid_t owner, gid_t group) const;
    // An advisory lock on the whole file, shared or exclusive, owned by this open file (not the process: a
    // second opening in the same process is another owner); never waits. False when another owner holds a
    // lock that conflicts. Released by closing.
    bool tryLock(bool exclusive) const;
    void close();

private:
    SysFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::string path_;
};

// The refusal of a FIFO, device or folder where a file was expected.
std::string notRegularFileMessage(const std::string& path);

// The file's status, following links; nullopt when nothing is there. Throws IoError for other failures.
std::optional<struct stat> statPath(const std::string& path);
// The same file with the same contents, as far as two statuses tell: a change of the contents moves the
// change time (to the clock's tick), a replacement changes the inode.
bool sameFileState(const struct stat& a, const struct stat& b);
void renamePath(const std::string& from, const std::string& to);
// Renames without ever replacing: false when to exists already.
bool renameWithoutReplacing(const std::string& from, const std::string& to);
// Returns false when there was nothing to remove.
bool removePath(const std::string& path);
// Removes an empty folder; false when there was none.
bool removeEmptyFolder(const std::string& path);
// Cuts a file (following links) back to length.
void truncatePath(const std::string& path, std::int64_t length);
// Creates the folder and any missing folders above it, with mode (before the umask).
void makeFolders(const std::string& path, mode_t mode = 0777);
// A second name for a file (a hard link); false where the file system has no such thing.
bool linkPath(const std::string& from, const std::string& to);
// Flushes a folder's entries (new names, renames) to the disk; with wholeDisk, everything written on its
// file system. A file system that cannot flush a folder is no failure.
void flushFolder(const std::string& folder, bool wholeDisk = false);

// The path a chain of symbolic links ends at (it need not exist); path itself when it is no link.
std::string resolveLinks(const std::string& path);

}  // namespace orv
