#pragma once
// Every entry under a folder with its bytes and permissions (a link as its target), so that a test can
// tell "as before" and "as after" from anything in between. The calendars' lock files are left out: they
// hold no data, only the lock and a count of changes, and stay once made.

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace orv::test {

using FolderSnapshot = std::map<std::string, std::string>;

inline FolderSnapshot snapshotOf(const std::string& root) {
    namespace fs = std::filesystem;
    FolderSnapshot out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(e.path(), root).string();
        if (name.ends_with(".lock")) continue;
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        std::ostringstream v;
        const char kind = e.is_symlink() ? 'l' : e.is_regular_file() ? 'f' : 'd';
        v << kind << std::oct << (st.st_mode & 07777) << ' ';
        if (kind == 'l') {
            v << fs::read_symlink(e.path()).string();
        }
        std::string value = v.str();
        if (kind == 'f') {
            std::ifstream in(e.path(), std::ios::binary);
            const size_t head = value.size();
            value.resize(head + static_cast<size_t>(st.st_size));
            in.read(value.data() + head, st.st_size);
        }
        out[name] = std::move(value);
    }
    return out;
}

// Makes the folder hold exactly what the snapshot (of files and folders, no links) says.
inline void restoreSnapshot(const std::string& root, const FolderSnapshot& snapshot) {
    namespace fs = std::filesystem;
    for (const auto& e : fs::directory_iterator(root)) fs::remove_all(e.path());
    for (const auto& [name, value] : snapshot) {
        const size_t blank = value.find(' ');
        const auto mode = static_cast<mode_t>(std::stoul(value.substr(1, blank - 1), nullptr, 8));
        const std::string content = value.substr(blank + 1);
        const fs::path path = fs::path(root) / name;
        if (value[0] == 'd') {
            fs::create_directories(path);
        } else {
            fs::create_directories(path.parent_path());
            std::ofstream(path, std::ios::binary) << content;
        }
        ::chmod(path.c_str(), mode);
    }
}

}  // namespace orv::test
