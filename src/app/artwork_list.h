#pragma once
// The twelve monthly pictures: at most twelve ".bmp"/".jpg" files of the artwork folder, sorted ignoring case
// and repeated in order until every month has one.

#include <string>
#include <vector>

namespace orv {

// Full paths, entry m - 1 for month m; empty when the folder holds no picture (or does not exist).
std::vector<std::string> BuildArtworkList(const std::string& artworkFolder);

}  // namespace orv
