#include "app/picture_layout.h"

#include <cstdint>

namespace orv {
namespace {

constexpr PictureBox kSmall{344, 226, 236};
constexpr PictureBox kLarge{450, 300, 316};

// r = H / W < 2/3, in whole numbers so that a picture of exactly 3:2 never lands on the wrong side.
bool widerThanThreeToTwo(std::int64_t w, std::int64_t h) { return 3 * h < 2 * w; }

}  // namespace

int sizeGroupIndex(int storedSize) {
    if (storedSize < 0) return -1;
    return storedSize > 1 ? 1 : storedSize;
}

std::optional<PictureRect> LayoutPicture(int pictureWidth, int pictureHeight, int size, int panel1Width) {
    if (size != 0 && size != 1) return std::nullopt;
    return FitPicture(pictureWidth, pictureHeight, size == 0 ? kSmall : kLarge, panel1Width);
}

std::optional<PictureRect> FitPicture(int pictureWidth, int pictureHeight, const PictureBox& box, int panelWidth) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return std::nullopt;
    const std::int64_t w = pictureWidth, h = pictureHeight;
    PictureRect r;
    if (widerThanThreeToTwo(w, h)) {
        r.width = box.width;
        r.height = static_cast<int>(h * box.width / w);  // trunc(r * box width)
    } else {
        r.height = box.height;
        r.width = static_cast<int>(w * box.height / h);  // trunc(W / H * box height)
        if (r.width % 2 != 0) ++r.width;
    }
    r.left = (panelWidth - r.width) / 2;
    r.top = (box.referenceHeight - r.height) / 2 + 2;
    return r;
}

std::optional<PictureRect> EnlargedPicture(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || screenWidth <= 20 || screenHeight <= 20) return std::nullopt;
    const std::int64_t w = pictureWidth, h = pictureHeight;
    const auto fitWidth = [&](PictureRect& r) {
        r.width = screenWidth - 20;
        r.height = static_cast<int>(h * r.width / w);
    };
    const auto fitHeight = [&](PictureRect& r) {
        r.height = screenHeight - 20;
        r.width = static_cast<int>(w * r.height / h);
    };
    PictureRect r;
    if (widerThanThreeToTwo(w, h)) fitWidth(r);
    else fitHeight(r);
    // On a screen of other proportions (5:4, 32:9) the rule can overflow the other side: fit that side instead.
    if (r.width > screenWidth - 20) fitWidth(r);
    else if (r.height > screenHeight - 20) fitHeight(r);
    r.left = (screenWidth - r.width) / 2;
    r.top = (screenHeight - r.height) / 2;
    return r;
}

}  // namespace orv
