#include "app/artwork_list.h"

#include <algorithm>

#include "common/file_util.h"

namespace orv {
namespace {

constexpr size_t kMonths = 12;

bool isPicture(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ext = name.substr(dot);
    return equalsIgnoringAsciiCase(ext, ".bmp") || equalsIgnoringAsciiCase(ext, ".jpg");
}

}  // namespace

std::vector<std::string> BuildArtworkList(const std::string& artworkFolder) {
    std::vector<std::string> found;
    // The folder's own order decides which twelve are taken when there are more.
    for (const std::string& name : listFiles(artworkFolder, "*.*")) {
        if (!isPicture(name)) continue;
        found.push_back(joinPath(artworkFolder, name));
        if (found.size() == kMonths) break;
    }
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        const std::string la = toLowerAscii(a), lb = toLowerAscii(b);
        // Two names equal but for case (possible here, not on Windows) still get a fixed order.
        return la != lb ? la < lb : a < b;
    });
    std::vector<std::string> list;
    if (found.empty()) return list;
    for (size_t k = 0; k < kMonths; ++k) list.push_back(found[k % found.size()]);
    return list;
}

}  // namespace orv
