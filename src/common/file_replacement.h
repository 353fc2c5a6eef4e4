#pragma once
// A file written anew and put in the old one's place by a single rename: until commit() the old file is
// exactly as it was, and a replacement dropped before that leaves nothing behind. A symbolic link stays a
// link (its target is replaced), and the new file keeps the old one's permissions and, where the system
// permits, its owner; a file that did not exist is made with the process's umask.
//
// The temporary file is the name tempNameFor gives, a dot and a part no other replacement uses (the
// process and a random number), made exclusively and locked by its writer until it is renamed or removed.
// So two programs replacing the same file at once never share one, and a temporary file left by a writer
// that was stopped is told from a live one by its lock.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/sys_file.h"

namespace orv {

class FileReplacement {
public:
    // tempNameFor gives the start of the temporary file's name from the final target's path (links
    // followed). Abandoned temporary files of that name are removed first.
    FileReplacement(const std::string& path, const std::function<std::string(const std::string&)>& tempNameFor);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // The file actually replaced, and whether it existed.
    const std::string& target() const { return target_; }
    bool existed() const { return existed_; }

    void write(const char* bytes, std::size_t n);

    // Flushes the new file to disk and renames it over the target.
    void commit();
    // Gives the new file up: the target stays as it is.
    void discard();

    const std::string& tempName() const { return temp_; }

private:
    void flushBuffer();

    std::string target_;
    std::string temp_;
    bool existed_ = false;
    SysFile file_;
    SysFile lock_;  // the temporary file's lock
    std::vector<char> buffer_;
    std::int64_t written_ = 0;
    bool done_ = false;
};

// Removes the temporary files of base that nobody writes any longer: base itself (as an older version named
// them) and base + "." + a unique part, when no live writer holds their lock. Files it cannot open are
// left alone.
void removeAbandonedTemporaries(const std::string& base);

}  // namespace orv
