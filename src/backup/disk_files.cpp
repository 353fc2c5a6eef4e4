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
#include "backup/crc32.h"
#include "backup/set_identity.h"
#include "common/file_util.h"
#include "common/io_error.h"
#include "common/sys_file.h"

namespace orv {
namespace {

constexpr std::uint64_t kChunk = 1 << 20;

bool isSetFileName(std::string_view name) {
    for (const std::string_view own : {kDiskInfName, kBackupInfName, kSetIdentityName, kUsersFileName, kEventsFileName})
        if (equalsIgnoringAsciiCase(name, own)) return true;
    return wildcardMatch(kCalendarPattern, name);
}

// Moves length bytes from in at offset to out at outOffset (or only reads them, without out); false when
// stopped.
bool pump(const SysFile& in, std::uint64_t offset, const SysFile* out, std::uint64_t outOffset, std::uint64_t length,
          const ProgressSpan& progress, Crc32* sum) {
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    std::uint64_t done = 0;
    while (done < length) {
        const size_t want = static_cast<size_t>(std::min(kChunk, length - done));
        const size_t got = in.readAt(buffer.get(), want, static_cast<std::int64_t>(offset + done));
        if (got == 0) throw IoError("The file \"" + in.path() + "\" is shorter than expected.", in.path());
        if (sum) sum->add(buffer.get(), got);
        if (out) out->writeAt(buffer.get(), got, static_cast<std::int64_t>(outOffset + done));
        done += got;
        if (progress.report && !progress.report(progress.base + done, progress.total)) return false;
    }
    return true;
}

SysFile openSource(const std::string& from, bool followLinks) {
    SysFile in = SysFile::openExisting(from, O_RDONLY | (followLinks ? 0 : O_NOFOLLOW));
    if (!in.valid()) throwIoError("Cannot open", from, ENOENT);
    return in;
}

void removeQuietly(const std::string& path) {
    try {
        removePath(path);
    } catch (const IoError&) {
    }
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
               const ProgressSpan& progress, bool followLinks, Crc32* sum) {
    const SysFile in = openSource(from, followLinks);
    removePath(to);
    SysFile out = SysFile::create(to, O_WRONLY, O_EXCL | O_NOFOLLOW, 0644);
    try {
        if (!pump(in, offset, &out, 0, length, progress, sum)) {
            out = SysFile();
            removeQuietly(to);
            return false;
        }
        out.close();
    } catch (...) {
        out = SysFile();
        removeQuietly(to);
        throw;
    }
    return true;
}

bool appendBytes(const std::string& from, std::uint64_t length, const std::string& to, const ProgressSpan& progress,
                 Crc32* sum) {
    const SysFile in = openSource(from, false);
    SysFile out = SysFile::openExisting(to, O_WRONLY | O_NOFOLLOW);
    if (!out.valid()) throwIoError("Cannot open", to, ENOENT);
    if (!pump(in, 0, &out, static_cast<std::uint64_t>(out.size()), length, progress, sum)) return false;
    out.close();
    return true;
}

std::uint32_t fileCrc(const std::string& path, std::uint64_t length, bool followLinks) {
    SysFile in = openSource(path, followLinks);
    Crc32 sum;
    pump(in, 0, nullptr, 0, length, {}, &sum);
    in.close();
    return sum.value();
}

void writeSynced(const std::string& path, std::string_view bytes) {
    removePath(path);
    SysFile out = SysFile::create(path, O_WRONLY, O_EXCL | O_NOFOLLOW, 0644);
    try {
        out.writeAt(bytes.data(), bytes.size(), 0);
        out.sync();
        out.close();
        syncFolder(std::filesystem::path(path).parent_path().string());
    } catch (...) {
        // Not there at all rather than there and perhaps not durable: a "DiskInf.0" marks a whole set.
        out = SysFile();
        removeQuietly(path);
        throw;
    }
}

void syncFolder(const std::string& folder) { flushFolder(folder); }

void syncFile(const std::string& path) {
    SysFile file = SysFile::openExisting(path, O_RDONLY | O_NOFOLLOW);
    if (!file.valid()) throwIoError("Cannot open", path, ENOENT);
    file.sync();
    file.close();
}

void syncFileSystem(const std::string& folder) { flushFolder(folder, true); }

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
