#include "backup/disk_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <utility>

#include "backup/backup_set.h"
#include "common/file_util.h"
#include "common/io_error.h"

namespace orv {
namespace {

constexpr std::uint64_t kChunk = 1 << 20;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool isSetFileName(std::string_view name) {
    return equalsIgnoringAsciiCase(name, kDiskInfName) || equalsIgnoringAsciiCase(name, kBackupInfName) ||
           wildcardMatch(kCalendarPattern, name);
}

// Moves length bytes from in (at its current position) to out; false when stopped.
bool pump(int in, const std::string& from, int out, const std::string& to, std::uint64_t length,
          const ProgressSpan& progress) {
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    std::uint64_t done = 0;
    while (done < length) {
        const size_t want = static_cast<size_t>(std::min(kChunk, length - done));
        const ssize_t got = ::read(in, buffer.get(), want);
        if (got < 0) {
            if (errno == EINTR) continue;
            throwIoError("Cannot read", from, errno);
        }
        if (got == 0) throw IoError("The file \"" + from + "\" is shorter than expected.", from);
        size_t written = 0;
        while (written < static_cast<size_t>(got)) {
            const ssize_t n = ::write(out, buffer.get() + written, static_cast<size_t>(got) - written);
            if (n < 0) {
                if (errno == EINTR) continue;
                throwIoError("Cannot write", to, errno);
            }
            written += static_cast<size_t>(n);
        }
        done += static_cast<std::uint64_t>(got);
        if (progress.report && !progress.report(progress.base + done, progress.total)) return false;
    }
    return true;
}

void finish(Fd& out, const std::string& to, bool flush) {
    if (flush && ::fsync(out.get()) != 0) throwIoError("Cannot flush", to, errno);
    if (::close(out.release()) != 0) throwIoError("Cannot write", to, errno);
}

}  // namespace

RootContents readRoot(const std::string& root) {
    RootContents contents;
    DIR* dir = ::opendir(root.c_str());
    if (!dir) throwIoError("Cannot read the folder", root, errno);
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        const bool isFolder = ::lstat(joinPath(root, name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        if (!isFolder && isSetFileName(name)) contents.setFiles.push_back(name);
        else contents.others.push_back({name, isFolder});
    }
    ::closedir(dir);
    std::sort(contents.setFiles.begin(), contents.setFiles.end());
    std::sort(contents.others.begin(), contents.others.end(),
              [](const RootEntry& a, const RootEntry& b) { return a.name < b.name; });
    return contents;
}

void deleteEntries(const std::string& root, const std::vector<std::string>& names) {
    for (const auto& name : names) {
        const std::string path = joinPath(root, name);
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
        if (ec) throwIoError("Cannot delete", path, ec.value());
    }
}

bool copyBytes(const std::string& from, std::uint64_t offset, std::uint64_t length, const std::string& to,
               const ProgressSpan& progress, bool followLinks) {
    Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW)));
    if (in.get() < 0) throwIoError("Cannot open", from, errno);
    if (offset > 0 && ::lseek(in.get(), static_cast<off_t>(offset), SEEK_SET) < 0) throwIoError("Cannot read", from, errno);
    ::unlink(to.c_str());
    Fd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644));
    if (out.get() < 0) throwIoError("Cannot create", to, errno);
    try {
        if (!pump(in.get(), from, out.get(), to, length, progress)) {
            ::unlink(to.c_str());
            return false;
        }
        finish(out, to, false);
    } catch (...) {
        ::unlink(to.c_str());
        throw;
    }
    return true;
}

bool appendBytes(const std::string& from, std::uint64_t length, const std::string& to, const ProgressSpan& progress) {
    Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (in.get() < 0) throwIoError("Cannot open", from, errno);
    Fd out(::open(to.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW));
    if (out.get() < 0) throwIoError("Cannot open", to, errno);
    if (!pump(in.get(), from, out.get(), to, length, progress)) return false;
    finish(out, to, false);
    return true;
}

void writeSynced(const std::string& path, std::string_view bytes) {
    ::unlink(path.c_str());
    Fd out(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644));
    if (out.get() < 0) throwIoError("Cannot create", path, errno);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(out.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::unlink(path.c_str());
            throwIoError("Cannot write", path, err);
        }
        done += static_cast<size_t>(n);
    }
    finish(out, path, true);
    syncFolder(std::filesystem::path(path).parent_path().string());
}

void syncFolder(const std::string& folder) {
    Fd fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) throwIoError("Cannot open the folder", folder, errno);
    // Some file systems cannot flush a folder; what matters there was flushed with each file.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) throwIoError("Cannot flush", folder, errno);
}

void syncFile(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) throwIoError("Cannot open", path, errno);
    if (::fsync(fd.get()) != 0) throwIoError("Cannot flush", path, errno);
}

void syncFileSystem(const std::string& folder) {
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) throwIoError("Cannot open the folder", folder, errno);
    if (::syncfs(fd.get()) != 0) throwIoError("Cannot flush the disk of", folder, errno);
}

std::optional<std::string> findRegularFile(const std::string& folder, std::string_view name) {
    const auto regular = [&](const std::string& entry) {
        struct stat st {};
        return ::lstat(joinPath(folder, entry).c_str(), &st) == 0 && S_ISREG(st.st_mode);
    };
    if (regular(std::string(name))) return std::string(name);
    std::optional<std::string> found;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    while (const dirent* e = ::readdir(dir)) {
        const std::string entry = e->d_name;
        if (equalsIgnoringAsciiCase(entry, name) && regular(entry) && (!found || entry < *found)) found = entry;
    }
    ::closedir(dir);
    return found;
}

std::optional<std::uint64_t> regularFileSize(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

bool folderIsWithin(const std::string& folder, const std::string& root) {
    const auto parts = [](const std::string& path) -> std::optional<std::vector<std::string>> {
        std::error_code ec;
        const auto canonical = std::filesystem::weakly_canonical(path, ec);
        if (ec) return std::nullopt;
        std::vector<std::string> out;
        for (const auto& part : canonical)
            if (!part.empty()) out.push_back(part.string());
        return out;
    };
    const auto f = parts(folder);
    const auto r = parts(root);
    return f && r && r->size() <= f->size() && std::equal(r->begin(), r->end(), f->begin());
}

}  // namespace orv
