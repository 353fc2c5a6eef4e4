#include "app/picture_loader.h"

#include <QImageReader>

#include "common/file_util.h"

namespace orv {
namespace {

bool isJpegName(const std::string& path) {
    const auto dot = path.rfind('.');
    return dot != std::string::npos && path.find('/', dot) == std::string::npos &&
           equalsIgnoringAsciiCase(path.substr(dot), ".jpg");
}

// Bitmaps carry no compression worth the name; one of more than this is no picture of ours.
constexpr int kMaxBitmapMegabytes = 256;

}  // namespace

QImage PictureLoader::toQImage(const JpegImage& jpeg) {
    const QImage::Format format = jpeg.components == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888;
    const QImage view(jpeg.pixels.data(), jpeg.width, jpeg.height, jpeg.width * jpeg.components, format);
    return view.copy();  // the view does not own the decoder's buffer
}

std::optional<LoadedPicture> PictureLoader::load(const std::string& path) {
    error_.clear();
    if (isJpegName(path)) {
        JpegDecoder decoder;
        decoder.output = jpegOutput;
        decoder.fastIntegerDct = fastIntegerDct;
        decoder.targetWidth = target.width() > 0 ? target.width() : 0;
        decoder.targetHeight = target.height() > 0 ? target.height() : 0;
        const auto jpeg = decoder.decodeFile(path);
        if (!jpeg) {
            error_ = QString::fromStdString(decoder.error());
            return std::nullopt;
        }
        LoadedPicture picture{toQImage(*jpeg), QSize(jpeg->naturalWidth, jpeg->naturalHeight)};
        if (picture.image.isNull()) {
            error_ = QStringLiteral("not enough memory for the picture");
            return std::nullopt;
        }
        return picture;
    }
    QImageReader reader(QString::fromStdString(path), "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(kMaxBitmapMegabytes);
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() <= 0 || image.height() <= 0) {
        error_ = reader.errorString();
        return std::nullopt;
    }
    return LoadedPicture{image, image.size()};
}

}  // namespace orv
