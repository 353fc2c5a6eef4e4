#include "common/file_replacement.h"

#include <algorithm>
#include <cstring>

#include <fcntl.h>

#include "common/io_error.h"

namespace orv {
namespace {

constexpr std::size_t kBufferBytes = 1024 * 1024;

}  // namespace

FileReplacement::FileReplacement(const std::string& path,
                                 const std::function<std::string(const std::string&)>& tempNameFor)
    : target_(resolveLinks(path)) {
    const auto old = statPath(target_);
    if (old && !S_ISREG(old->st_mode))
        throw IoError("Cannot replace \"" + target_ + "\": it is not a regular file", target_);
    existed_ = old.has_value();
    temp_ = tempNameFor(target_);
    removePath(temp_);  // left over from an earlier run that was stopped
    // Private while it is written; the old file's permissions follow once it is ours.
    file_ = SysFile::create(temp_, O_WRONLY, O_EXCL, existed_ ? 0600 : 0666);
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
}

void FileReplacement::discard() {
    file_.close();
    removePath(temp_);
    done_ = true;
}

}  // namespace orv
