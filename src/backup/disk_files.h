#pragma once
// File work on the disks of a backup set and in the data folder: what a disk's root holds, clearing it,
// copying with progress and a way to stop, and making what was written durable before the user is
// told to take the disk out.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class Crc32;

// Told how many bytes of how many are done; answers false to stop.
using CopyProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

struct RootEntry {
    std::string name;
    bool folder = false;
};

struct RootContents {
    std::vector<std::string> setFiles;  // the files an earlier set writes: descriptors, "*.dbx", carried lists
    std::vector<RootEntry> others;      // everything else: somebody's photos, folders
};

// Everything in a disk's root, sorted by name; an unreadable root throws IoError.
RootContents readRoot(const std::string& root);

// Deletes the named entries of root (folders with all they hold; links themselves, never their
// targets). Throws IoError naming the first that cannot be deleted.
void deleteEntries(const std::string& root, const std::vector<std::string>& names);

// Where a copy reports its progress: bytes done before it and the whole job's bytes.
struct ProgressSpan {
    CopyProgress report;
    std::uint64_t base = 0;
    std::uint64_t total = 0;
};

// Copies length bytes from offset of from into a new file to (replacing it). false when the progress
// asked to stop: the partial file is then removed. Throws IoError on any failure, and when from is
// shorter than asked. Links are followed on the data side only: a source on a backup disk must be a
// regular file (followLinks false). Nothing is flushed: see syncFileSystem. The bytes copied are added
// to sum when given.
bool copyBytes(const std::string& from, std::uint64_t offset, std::uint64_t length, const std::string& to,
               const ProgressSpan& progress = {}, bool followLinks = true, Crc32* sum = nullptr);

// Appends the first length bytes of from (a regular file, never a link) at the end of to.
bool appendBytes(const std::string& from, std::uint64_t length, const std::string& to,
                 const ProgressSpan& progress = {}, Crc32* sum = nullptr);

// The CRC-32 of the first length bytes of a regular file (a link only with followLinks); throws IoError when
// it is shorter.
std::uint32_t fileCrc(const std::string& path, std::uint64_t length, bool followLinks = false);

// Writes a small file whole and flushes it (and its folder); on any failure the file is gone.
void writeSynced(const std::string& path, std::string_view bytes);

// Flushes a folder's entries (new names, renames) to the disk.
void syncFolder(const std::string& folder);

// Flushes one file's bytes to the disk.
void syncFile(const std::string& path);

// Flushes everything written to the file system that holds folder: one flush for a whole disk's files
// rather than one per file.
void syncFileSystem(const std::string& folder);

// The entry of folder named name ignoring case, the exact spelling first; only regular files, never
// links. nullopt when there is none.
std::optional<std::string> findRegularFile(const std::string& folder, std::string_view name);

// Size of a regular file (not a link); nullopt for anything else.
std::optional<std::uint64_t> regularFileSize(const std::string& path);

// The user's home folder ($HOME, else the password database); empty when unknown.
std::string homeFolder();

// True when folder is root itself or lies anywhere below it (links resolved).
bool folderIsWithin(const std::string& folder, const std::string& root);

}  // namespace orv
