#include "common/file_util.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/file_replacement.h"
#include "common/io_error.h"
#include "common/sys_file.h"

namespace orv {

void throwIoError(const std::string& what, const std::string& path, int err) {
    throw IoError(what + " \"" + path + "\": " + std::strerror(err), path, err);
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && out.back() != '/') out += '/';
    out += name;
    return out;
}

std::string withExtension(const std::string& path, std::string_view extension) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? path.substr(0, dot) : path) + std::string(extension);
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes) {
    SysFile file = SysFile::openExisting(path, O_RDONLY);
    if (!file.valid()) return std::nullopt;
    if (file.size() > static_cast<std::int64_t>(maxBytes)) throwTooLarge(path, static_cast<std::int64_t>(maxBytes));
    // The size is only a hint: the file may grow while it is read.
    std::string out;
    char buf[65536];
    for (;;) {
        const std::size_t n = file.readAt(buf, sizeof buf, static_cast<std::int64_t>(out.size()));
        if (out.size() + n > maxBytes) throwTooLarge(path, static_cast<std::int64_t>(maxBytes));
        out.append(buf, n);
        if (n < sizeof buf) break;
    }
    file.close();
    return out;
}

void throwTooLarge(const std::string& path, std::int64_t maxBytes) {
    throw CorruptFileError("File contains no data or corrupt file " + path + " (it is larger than the " +
                               std::to_string(maxBytes) + " bytes such a file can hold)",
                           path);
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    FileReplacement out(path, [](const std::string& target) { return target + ".tmp"; });
    out.write(bytes.data(), bytes.size());
    out.commit();
}

bool writeFileIfChanged(const std::string& path, std::string_view bytes) {
    // A file that cannot be read is reported, as its replacement would be; one longer than the new bytes
    // is read no further.
    bool same = false;
    try {
        const auto current = readWholeFile(path, bytes.size());
        same = current && *current == bytes;
    } catch (const CorruptFileError&) {
    }
    if (same) return false;
    writeFileAtomically(path, bytes);
    return true;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

std::string toLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

std::string toUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool matchFrom(std::string_view p, std::string_view n) {
    // Iterative glob with backtracking over the last '*'.
    size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || lowerAscii(p[pi]) == lowerAscii(n[ni]))) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // "name.*" also matches a name without any extension, as on Windows.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        matchFrom(pattern.substr(0, pattern.size() - 2), name))
        return true;
    return matchFrom(pattern, name);
}

std::vector<std::string> listFiles(const std::string& folder, std::string_view pattern) {
    std::vector<std::string> out;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return out;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (!wildcardMatch(pattern, name)) continue;
        if (!fileExists(joinPath(folder, name))) continue;
        out.push_back(name);
    }
    ::closedir(dir);
    return out;
}

namespace {

std::string findIgnoringCase(const std::string& folder, std::string_view name, bool wantFolder) {
    const auto wanted = [wantFolder](const std::string& path) {
        return wantFolder ? folderExists(path) : fileExists(path);
    };
    const std::string exact = joinPath(folder, name);
    if (wanted(exact)) return exact;
    std::string found;
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            if (!equalsIgnoringAsciiCase(e->d_name, name)) continue;
            const std::string path = joinPath(folder, e->d_name);
            if (!wanted(path)) continue;
            found = path;
            break;
        }
        ::closedir(dir);
    }
    return found.empty() ? exact : found;
}

}  // namespace

std::string findFileIgnoringCase(const std::string& folder, std::string_view name) {
    return findIgnoringCase(folder, name, false);
}

std::string findFolderIgnoringCase(const std::string& folder, std::string_view name) {
    return findIgnoringCase(folder, name, true);
}

std::string executableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

}  // namespace orv
