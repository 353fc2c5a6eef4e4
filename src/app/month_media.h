#pragma once
// The month's sound or movie, found from the picture's file name: a file of the same name in "MOVIES" or
// "SOUNDS" beside the artwork folder, else one whose name ends in "xxx" in place of the picture's last three
// characters. Whether an exactly named file repeats is the key of that name in section "Loop" of the folder's
// "Movies.ini" or "Sounds.ini".

#include <optional>
#include <string>

namespace orv {

struct MonthMedia {
    std::string file;    // full path
    bool loop = false;   // LoopSetting
    bool movie = false;  // from the movies folder: shown inside the picture frame
};

// nullopt when the month has no media.
std::optional<MonthMedia> FindMonthMedia(const std::string& picturePath);

// The folder that holds "Artwork", "MOVIES" and "SOUNDS" for a picture path (with a trailing "/").
std::string mediaRoot(const std::string& picturePath);

// The two name patterns for a picture file name: "May001.*" and "Mayxxx.*".
std::string exactMediaPattern(const std::string& pictureName);
std::string genericMediaPattern(const std::string& pictureName);

}  // namespace orv
