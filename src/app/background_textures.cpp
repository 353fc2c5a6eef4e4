#include "app/background_textures.h"

#include <QString>

#include "common/file_util.h"

namespace orv {
namespace {

constexpr const char* kFiles[BackgroundTextures::kCount] = {"Brown.bmp", "Pink.bmp", "Green.bmp",
                                                            "Blue.bmp",  "Grey.bmp", "White.bmp"};

}  // namespace

void BackgroundTextures::load(const std::string& folder) {
    const auto read = [](const std::string& path) {
        const QImage image(QString::fromStdString(path), "bmp");
        return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    };
    for (size_t i = 0; i < kCount; ++i) {
        const std::string plain = joinPath(folder, kFiles[i]);
        images_[i] = read(plain);
        dense_[i] = read(plain.substr(0, plain.size() - 4) + "@2x.bmp");
        if (dense_[i].width() == 2 * images_[i].width() && dense_[i].height() == 2 * images_[i].height())
            dense_[i].setDevicePixelRatio(2);
        else dense_[i] = images_[i];
    }
}

const QImage& BackgroundTextures::image(int index, qreal density) const {
    if (index < 0 || index >= kCount) return none_;
    return density >= 1.5 ? dense_[static_cast<size_t>(index)] : images_[static_cast<size_t>(index)];
}

const QImage& BackgroundTextures::forTile(int tile, qreal density) const {
    if (tile < 0 || tile >= kWhite) return none_;
    return image(tile, density);
}

const char* BackgroundTextures::fileName(int index) { return index >= 0 && index < kCount ? kFiles[index] : ""; }

BackgroundTextures& backgroundTextures() {
    static BackgroundTextures textures = [] {
        BackgroundTextures t;
        t.load(":/Images");
        return t;
    }();
    return textures;
}

}  // namespace orv
