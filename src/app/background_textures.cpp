#include "app/background_textures.h"

#include <QImageReader>
#include <QString>

#include "common/file_util.h"

namespace orv {
namespace {

constexpr const char* kFiles[BackgroundTextures::kCount] = {"Brown.bmp", "Pink.bmp", "Green.bmp",
                                                            "Blue.bmp",  "Grey.bmp", "White.bmp"};

QImage readTexture(const std::string& path) {
    // Not left to guess the format even when told it: that loads every image format plug-in to ask it first.
    QImageReader reader(QString::fromStdString(path), "bmp");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

void BackgroundTextures::load(const std::string& folder) {
    folder_ = folder;
    for (size_t i = 0; i < kCount; ++i) images_[i] = readTexture(joinPath(folder, kFiles[i]));
    // Most screens never ask for the twins: they are read when one does.
    denseLoaded_ = false;
}

void BackgroundTextures::loadDense() const {
    for (size_t i = 0; i < kCount; ++i) {
        const std::string plain = joinPath(folder_, kFiles[i]);
        dense_[i] = readTexture(plain.substr(0, plain.size() - 4) + "@2x.bmp");
        if (dense_[i].width() == 2 * images_[i].width() && dense_[i].height() == 2 * images_[i].height())
            dense_[i].setDevicePixelRatio(2);
        else dense_[i] = images_[i];
    }
    denseLoaded_ = true;
}

const QImage& BackgroundTextures::image(int index, qreal density) const {
    if (index < 0 || index >= kCount) return none_;
    if (density < 1.5) return images_[static_cast<size_t>(index)];
    if (!denseLoaded_) loadDense();
    return dense_[static_cast<size_t>(index)];
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
