#include "common/file_replacement.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <unistd.h>

#include "common/file_util.h"
#include "common/io_error.h"

namespace orv {
namespace {

constexpr std::size_t kBufferBytes = 1024 * 1024;
constexpr int kHexDigits = 8;

// The process and a random number: "<pid>-<8 hex digits>".
std::string uniquePart() {
    static thread_local std::mt19937 random{std::random_device{}()};
    char hex[kHexDigits + 1];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(random()));
    return std::to_string(::getpid()) + "-" + hex;
}

bool isUniquePart(std::string_view s) {
    const size_t dash = s.find('-');
    if (dash == 0 || dash == std::string_view::npos || s.size() != dash + 1 + kHexDigits) return false;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto hexDigit = [&](char c) { return digit(c) || (c >= 'a' && c <= 'f'); };
    return std::all_of(s.begin(), s.begin() + static_cast<long>(dash), digit) &&
           std::all_of(s.begin() + static_cast<long>(dash) + 1, s.end(), hexDigit);
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Still the file open as file: not renamed into place or removed since it was opened.
bool stillNamed(const SysFile& file, const std::string& path) {
    const auto named = statPath(path);
    return named && sameFile(*named, file.status());
}

}  // namespace

void removeAbandonedTemporaries(const std::string& base) {
    const size_t slash = base.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : base.substr(0, slash);
    const std::string stem = slash == std::string::npos ? base : base.substr(slash + 1);
    for (const std::string& name : listFiles(folder, stem + "*")) {
        if (name != stem && !(name.starts_with(stem + ".") && isUniquePart(std::string_view(name).substr(stem.size() + 1))))
            continue;
        const std::string path = joinPath(folder, name);
        try {
            SysFile file = SysFile::openExisting(path, O_RDWR);
            // Its writer holds the lock until the file is in place or gone; a lock got here outlived it.
            if (file.valid() && file.tryLock(true) && stillNamed(file, path)) removePath(path);
        } catch (const IoError&) {
            // Not ours to judge (another owner's, unreadable): left as it is.
        }
    }
}

FileReplacement::FileReplacement(const std::string& path,
                                 const std::function<std::string(const std::string&)>& tempNameFor)
    : target_(resolveLinks(path)) {
    const auto old = statPath(target_);
    if (old && !S_ISREG(old->st_mode))
        throw IoError("Cannot replace \"" + target_ + "\": it is not a regular file", target_);
    existed_ = old.has_value();
    const std::string base = tempNameFor(target_);
    removeAbandonedTemporaries(base);
    // Private while it is written; the old file's permissions follow once it is ours. Locked at once, through
    // an opening of its own that stays open until the file is in place, so that the written one is closed
    // (and its errors seen) before the rename. A cleaner that got the lock first may remove the file before
    // that: another name is tried then.
    for (int attempt = 0;; ++attempt) {
        temp_ = base + "." + uniquePart();
        file_ = SysFile::create(temp_, O_WRONLY, O_EXCL, existed_ ? 0600 : 0666);
        bool ours = false;
        try {
            lock_ = SysFile::openExisting(temp_, O_RDWR);
            ours = lock_.valid() && lock_.tryLock(true) && stillNamed(lock_, temp_);
        } catch (...) {
            file_ = SysFile();
            lock_ = SysFile();
            try {
                removePath(temp_);
            } catch (...) {
            }
            throw;
        }
        if (ours) break;
        file_ = SysFile();
        lock_ = SysFile();
        if (attempt == 3) throw IoError("Cannot make a temporary file beside \"" + target_ + "\"", target_);
    }
    try {
        if (existed_) {
            const struct stat mine = file_.status();
            if (mine.st_uid != old->st_uid || mine.st_gid != old->st_gid) file_.chown(old->st_uid, old->st_gid);
            file_.chmod(old->st_mode & 07777);
        }
    } catch (...) {
        file_ = SysFile();
        try {
            removePath(temp_);
        } catch (...) {
        }
        lock_ = SysFile();
        throw;
    }
    buffer_.reserve(kBufferBytes);
}

FileReplacement::~FileReplacement() {
    if (done_) return;
    file_ = SysFile();
    try {
        removePath(temp_);
    } catch (...) {
        // The next replacement of the same file removes it.
    }
    lock_ = SysFile();
}

void FileReplacement::write(const char* bytes, std::size_t n) {
    while (n > 0) {
        const std::size_t room = kBufferBytes - buffer_.size();
        const std::size_t take = std::min(room, n);
        buffer_.insert(buffer_.end(), bytes, bytes + take);
        bytes += take;
        n -= take;
        if (buffer_.size() == kBufferBytes) flushBuffer();
    }
}

void FileReplacement::flushBuffer() {
    if (buffer_.empty()) return;
    file_.writeAt(buffer_.data(), buffer_.size(), written_);
    written_ += static_cast<std::int64_t>(buffer_.size());
    buffer_.clear();
}

void FileReplacement::commit() {
    flushBuffer();
    file_.sync();
    file_.close();
    renamePath(temp_, target_);
    done_ = true;
    lock_ = SysFile();
}

void FileReplacement::discard() {
    file_.close();
    removePath(temp_);
    done_ = true;
    lock_ = SysFile();
}

}  // namespace orv
