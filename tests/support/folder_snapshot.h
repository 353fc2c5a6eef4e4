#pragma once
// Everything a folder holds, by relative path (folders end in "/"), to check that a failed run left a
// folder exactly as it was; the calendars' lock files (no data, and they stay once made) left out.

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace orv::test {

using Snapshot = std::map<std::string, std::string>;

inline Snapshot snapshot(const std::string& folder) {
    Snapshot out;
    namespace fs = std::filesystem;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string rel = fs::relative(e.path(), folder).string();
        if (rel.ends_with(".lock")) continue;
        if (e.is_directory()) {
            out[rel + "/"] = "";
            continue;
        }
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        out[rel] = ss.str();
    }
    return out;
}

// What differs, by name rather than by whole files; empty when nothing does.
inline std::string folderDiff(const Snapshot& actual, const Snapshot& expected) {
    std::string diff;
    for (const auto& [path, bytes] : expected) {
        const auto it = actual.find(path);
        if (it == actual.end()) diff += " missing " + path + ";";
        else if (it->second != bytes) diff += " changed " + path + ";";
    }
    for (const auto& [path, bytes] : actual)
        if (!expected.count(path)) diff += " added " + path + ";";
    return diff;
}

// Bytes that differ from position to position, so a piece out of place shows.
inline std::string patterned(size_t size, unsigned seed) {
    std::string s(size, '\0');
    unsigned x = seed * 2654435761u + 1;
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

}  // namespace orv::test
