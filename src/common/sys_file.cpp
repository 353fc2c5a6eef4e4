#include "common/sys_file.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <unistd.h>

#include "common/io_error.h"

namespace orv {
namespace {

FileCallHook& hook() {
    static FileCallHook h;
    return h;
}

// Runs the seam; an injected error is left in errno as the call itself would leave it.
bool injected(FileCall call, const std::string& path) {
    const FileCallHook& h = hook();
    if (!h) return false;
    const int err = h(call, path);
    if (err == 0) return false;
    errno = err;
    return true;
}

[[noreturn]] void notRegular(const std::string& path) { throw IoError(notRegularFileMessage(path), path); }

// Opens and makes sure the result is a regular file. -1 with errno ENOENT when it does not exist.
int openRegular(const std::string& path, int flags, mode_t mode) {
    if (injected(FileCall::Open, path)) {
        if (errno == ENOENT) return -1;
        throwIoError("Cannot open", path, errno);
    }
    int fd;
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for its other end.
    do fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT) return -1;
        if (errno == ENXIO || errno == EISDIR) notRegular(path);
        throwIoError((flags & O_CREAT) ? "Cannot create" : "Cannot open", path, errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        notRegular(path);
    }
    return fd;
}

}  // namespace

std::string notRegularFileMessage(const std::string& path) {
    return "Cannot open \"" + path + "\": it is not a regular file";
}

const char* fileCallName(FileCall call) {
    switch (call) {
        case FileCall::Open: return "open";
        case FileCall::Stat: return "stat";
        case FileCall::Read: return "read";
        case FileCall::Write: return "write";
        case FileCall::Sync: return "sync";
        case FileCall::Truncate: return "truncate";
        case FileCall::Chmod: return "chmod";
        case FileCall::Chown: return "chown";
        case FileCall::Close: return "close";
        case FileCall::Rename: return "rename";
        case FileCall::Remove: return "remove";
        case FileCall::MakeFolder: return "mkdir";
        case FileCall::Link: return "link";
        case FileCall::Lock: return "lock";
    }
    return "?";
}

void setFileCallHook(FileCallHook h) { hook() = std::move(h); }

SysFile::~SysFile() {
    if (fd_ >= 0) ::close(fd_);
}

SysFile::SysFile(SysFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

SysFile& SysFile::operator=(SysFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

SysFile SysFile::openExisting(const std::string& path, int access) {
    const int fd = openRegular(path, access, 0);
    return fd < 0 ? SysFile() : SysFile(fd, path);
}

SysFile SysFile::create(const std::string& path, int access, int flags, mode_t mode) {
    const int fd = openRegular(path, access | O_CREAT | flags, mode);
    if (fd < 0) throwIoError("Cannot create", path, ENOENT);  // a folder of the path is missing
    return SysFile(fd, path);
}

struct stat SysFile::status() const {
    struct stat st {};
    if (injected(FileCall::Stat, path_) || ::fstat(fd_, &st) != 0)
        throwIoError("Cannot read the size of", path_, errno);
    return st;
}

std::size_t SysFile::readAt(char* buffer, std::size_t n, std::int64_t offset) const {
    std::size_t done = 0;
    while (done < n) {
        if (injected(FileCall::Read, path_)) throwIoError("Cannot read", path_, errno);
        const ssize_t r =
            ::pread(fd_, buffer + done, n - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (r < 0) {
            if (errno == EINTR) continue;
            throwIoError("Cannot read", path_, errno);
        }
        if (r == 0) break;
        done += static_cast<std::size_t>(r);
    }
    return done;
}

void SysFile::writeAt(const char* bytes, std::size_t n, std::int64_t offset) const {
    std::size_t done = 0;
    while (done < n) {
        if (injected(FileCall::Write, path_)) throwIoError("Cannot write", path_, errno);
        const ssize_t r =
            ::pwrite(fd_, bytes + done, n - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (r < 0) {
            if (errno == EINTR) continue;
            throwIoError("Cannot write", path_, errno);
        }
        if (r == 0) throwIoError("Cannot write", path_, ENOSPC);
        done += static_cast<std::size_t>(r);
    }
}

void SysFile::sync() const {
    if (injected(FileCall::Sync, path_) || ::fsync(fd_) != 0) throwIoError("Cannot flush", path_, errno);
}

void SysFile::truncate(std::int64_t length) const {
    if (injected(FileCall::Truncate, path_) || ::ftruncate(fd_, static_cast<off_t>(length)) != 0)
        throwIoError("Cannot cut back", path_, errno);
}

void SysFile::chmod(mode_t mode) const {
    if (injected(FileCall::Chmod, path_) || ::fchmod(fd_, mode) != 0)
        throwIoError("Cannot set the permissions of", path_, errno);
}

void SysFile::chown(uid_t owner, gid_t group) const {
    if (injected(FileCall::Chown, path_) || ::fchown(fd_, owner, group) != 0) {
        if (errno == EPERM) return;
        throwIoError("Cannot set the owner of", path_, errno);
    }
}

namespace {

int ofdLock(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;  // start 0, length 0: the whole file, however long it grows
    int result;
    do result = ::fcntl(fd, F_OFD_SETLK, &lock);
    while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

bool SysFile::tryLock(bool exclusive) const {
    if (injected(FileCall::Lock, path_)) {
        if (errno == EAGAIN || errno == EACCES) return false;
        throwIoError("Cannot lock", path_, errno);
    }
    if (ofdLock(fd_, exclusive ? F_WRLCK : F_RDLCK) == 0) return true;
    if (errno == EAGAIN || errno == EACCES) return false;
    throwIoError("Cannot lock", path_, errno);
}

void SysFile::close() {
    const int fd = std::exchange(fd_, -1);
    if (fd < 0) return;
    if (injected(FileCall::Close, path_)) {
        const int err = errno;
        ::close(fd);
        throwIoError("Cannot close", path_, err);
    }
    if (::close(fd) != 0 && errno != EINTR) throwIoError("Cannot close", path_, errno);
}

std::optional<struct stat> statPath(const std::string& path) {
    struct stat st {};
    if (injected(FileCall::Stat, path) || ::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throwIoError("Cannot look at", path, errno);
    }
    return st;
}

bool sameFileState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

void renamePath(const std::string& from, const std::string& to) {
    if (injected(FileCall::Rename, to) || ::rename(from.c_str(), to.c_str()) != 0)
        throwIoError("Cannot replace", to, errno);
}

bool renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (!injected(FileCall::Rename, to)) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
        // File systems without it: a second name fails the same way when the target exists.
        if (errno == EINVAL || errno == ENOSYS) {
            if (!linkPath(from, to)) throwIoError("Cannot rename", from, EOPNOTSUPP);
            try {
                removePath(from);
            } catch (const IoError&) {
                ::unlink(to.c_str());
                throw;
            }
            return true;
        }
    }
    if (errno == EEXIST) return false;
    throwIoError("Cannot rename", from, errno);
}

bool removePath(const std::string& path) {
    if (injected(FileCall::Remove, path) || ::unlink(path.c_str()) != 0) {
        if (errno == ENOENT) return false;
        throwIoError("Cannot delete", path, errno);
    }
    return true;
}

bool removeEmptyFolder(const std::string& path) {
    if (injected(FileCall::Remove, path) || ::rmdir(path.c_str()) != 0) {
        if (errno == ENOENT) return false;
        throwIoError("Cannot remove the folder", path, errno);
    }
    return true;
}

void truncatePath(const std::string& path, std::int64_t length) {
    if (injected(FileCall::Truncate, path) || ::truncate(path.c_str(), static_cast<off_t>(length)) != 0)
        throwIoError("Cannot cut back", path, errno);
}

void makeFolders(const std::string& path, mode_t mode) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = slash == std::string::npos ? path : path.substr(0, slash);
        if (!part.empty() && part.back() != '/') {
            struct stat st {};
            if (::stat(part.c_str(), &st) != 0) {
                if (injected(FileCall::MakeFolder, part) || (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST))
                    throwIoError("Cannot create the folder", part, errno);
            }
        }
        if (slash == std::string::npos) break;
    }
}

bool linkPath(const std::string& from, const std::string& to) {
    if (injected(FileCall::Link, to) || ::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EPERM || errno == EOPNOTSUPP || errno == EXDEV || errno == EMLINK) return false;
        throwIoError("Cannot link", to, errno);
    }
    return true;
}

void flushFolder(const std::string& folder, bool wholeDisk) {
    const std::string path = folder.empty() ? "." : folder;
    if (injected(FileCall::Sync, path)) throwIoError("Cannot flush", path, errno);
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throwIoError("Cannot open the folder", path, errno);
    const int result = wholeDisk ? ::syncfs(fd) : ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (result != 0 && err != EINVAL && err != EROFS) throwIoError("Cannot flush", path, err);
}

std::string resolveLinks(const std::string& path) {
    std::string current = path;
    // As many links as the system itself follows before it gives up.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string target(static_cast<size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0) return current;
        target.resize(static_cast<size_t>(n));
        if (target.front() != '/') {
            const size_t slash = current.find_last_of('/');
            if (slash != std::string::npos) target = current.substr(0, slash + 1) + target;
        }
        current = std::move(target);
    }
    throwIoError("Cannot follow the links of", path, ELOOP);
}

}  // namespace orv
