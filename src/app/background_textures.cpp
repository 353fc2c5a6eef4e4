#include "app/background_textures.h"

#include <QString>

#include "common/file_util.h"

namespace orv {
namespace {

constexpr const char* kFiles[BackgroundTextures::kCount] = {"Brown.bmp", "Pink.bmp", "Green.bmp",
                                                             "Blue.bmp",  "Grey.bmp", "White.bmp"};

}  // namespace

void BackgroundTextures::load(const std::string& folder) {
    for (int i = 0; i < kCount; ++i) {
        QImage image(QString::fromStdString(joinPath(folder, kFiles[i])), "bmp");
        images_[static_cast<size_t>(i)] = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    }
}

const QImage& BackgroundTextures::image(int index) const {
    if (index < 0 || index >= kCount) return none_;
    return images_[static_cast<size_t>(index)];
}

const QImage& BackgroundTextures::forTile(int tile) const {
    if (tile < 0 || tile >= kWhite) return none_;
    return images_[static_cast<size_t>(tile)];
}

const char* BackgroundTextures::fileName(int index) {
    return index >= 0 && index < kCount ? kFiles[index] : "";
}

BackgroundTextures& backgroundTextures() {
    static BackgroundTextures textures = [] {
        BackgroundTextures t;
        t.load(":/Images");
        return t;
    }();
    return textures;
}

}  // namespace orv
