#include "app/month_media.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "common/file_util.h"
#include "common/ini_file.h"

namespace orv {
namespace {

std::string folderPart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isSettingsFile(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot != std::string::npos && equalsIgnoringAsciiCase(name.substr(dot), ".ini");
}

// The first file of folder matching pattern, as the file system lists them; the folder's own "Loop" file is
// not a medium.
std::optional<std::string> firstMatch(const std::string& folder, const std::string& pattern) {
    for (const std::string& name : listFiles(folder, pattern))
        if (!isSettingsFile(name)) return name;
    return std::nullopt;
}

bool loopSetting(const std::string& folder, const std::string& iniName, const std::string& mediaName) {
    try {
        IniFile ini;
        if (!ini.load(findFileIgnoringCase(folder, iniName))) return false;
        return ini.readBool("Loop", mediaName, false);
    } catch (const std::exception&) {
        return false;  // an unreadable file means no repetition
    }
}

}  // namespace

std::string mediaRoot(const std::string& picturePath) {
    const std::string folder = folderPart(picturePath);
    const std::string lower = toLowerAscii(folder);
    // The artwork folder is the last path component of that name; a folder such as "/home/artworks/" further
    // up must not be cut into.
    for (auto pos = lower.rfind("artwork/"); pos != std::string::npos;
         pos = pos == 0 ? std::string::npos : lower.rfind("artwork/", pos - 1)) {
        if (pos == 0 || lower[pos - 1] == '/') return folder.substr(0, pos) + folder.substr(pos + 8);
    }
    // No such component: the first occurrence of the word and the character after it give way.
    const auto pos = lower.find("artwork");
    if (pos == std::string::npos) return folder;
    std::string root = folder;
    root.erase(pos, 8);
    return root;
}

std::string exactMediaPattern(const std::string& pictureName) {
    const auto dot = pictureName.rfind('.');
    return (dot == std::string::npos ? pictureName : pictureName.substr(0, dot)) + ".*";
}

std::string genericMediaPattern(const std::string& pictureName) {
    const size_t keep = pictureName.size() > 7 ? pictureName.size() - 7 : 0;
    return pictureName.substr(0, keep) + "xxx.*";
}

std::optional<MonthMedia> FindMonthMedia(const std::string& picturePath) {
    if (picturePath.empty()) return std::nullopt;
    const std::string root = mediaRoot(picturePath);
    const std::string movies = findFolderIgnoringCase(root, "MOVIES");
    const std::string sounds = findFolderIgnoringCase(root, "SOUNDS");
    const std::string name = namePart(picturePath);
    const std::string exact = exactMediaPattern(name);
    const std::string generic = genericMediaPattern(name);

    if (auto found = firstMatch(movies, exact))
        return MonthMedia{joinPath(movies, *found), loopSetting(movies, "Movies.ini", *found), true};
    if (auto found = firstMatch(sounds, exact))
        return MonthMedia{joinPath(sounds, *found), loopSetting(sounds, "Sounds.ini", *found), false};
    // No setting is kept for the generic names: such media plays once.
    if (auto found = firstMatch(movies, generic)) return MonthMedia{joinPath(movies, *found), false, true};
    if (auto found = firstMatch(sounds, generic)) return MonthMedia{joinPath(sounds, *found), false, false};
    return std::nullopt;
}

}  // namespace orv
