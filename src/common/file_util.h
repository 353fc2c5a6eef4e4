#pragma once
// File helpers shared by the store, the lists and the settings. Paths are joined with "/"; names are
// matched ignoring ASCII case, as the files were named on Windows.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

std::string joinPath(std::string_view folder, std::string_view name);
// The path with the extension of its file name (from its last dot on) replaced, or added where it has none.
std::string withExtension(const std::string& path, std::string_view extension);
bool fileExists(const std::string& path);    // a regular file
bool folderExists(const std::string& path);  // a directory

// What a settings file, a list or another small text file may hold at most.
constexpr std::size_t kMaxTextFileBytes = 4 * 1024 * 1024;

// Reads the whole file; nullopt when it does not exist. Throws IoError when it cannot be read, is no
// regular file, or holds more than maxBytes.
std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes = kMaxTextFileBytes);

// The refusal of a file larger than its format allows.
[[noreturn]] void throwTooLarge(const std::string& path, std::int64_t maxBytes);

// Writes to "<path>.tmp", flushes it to disk and renames it over path, so a crash never leaves a
// half-written file (see FileReplacement). Throws IoError (and removes the temporary file) on failure.
void writeFileAtomically(const std::string& path, std::string_view bytes);

// writeFileAtomically, unless path already holds exactly these bytes: then nothing is written and no flush
// to disk holds up the caller (a start rewrites settings that seldom change). Returns whether it wrote;
// throws IoError when the file there cannot be read.
bool writeFileIfChanged(const std::string& path, std::string_view bytes);

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
std::string toLowerAscii(std::string_view s);
std::string toUpperAscii(std::string_view s);

// Matches a Windows wildcard pattern ("*.dbx", "May001.*", "Mayxxx.*") ignoring ASCII case.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// Regular files of folder whose names match pattern, in the order the file system lists them.
std::vector<std::string> listFiles(const std::string& folder, std::string_view pattern);

// The file (or folder) of folder named name ignoring ASCII case, as Windows would find it: the exact name
// when that is there, else the first entry matching; folder + "/" + name when nothing matches, so that a new
// one gets the exact name.
std::string findFileIgnoringCase(const std::string& folder, std::string_view name);
std::string findFolderIgnoringCase(const std::string& folder, std::string_view name);

// The folder of the running executable (from /proc/self/exe), without a trailing separator.
std::string executableFolder();

}  // namespace orv
