#pragma once
// Loads a monthly picture for the windows: ".jpg" files (any case) through our JPEG decoder, every other file
// as a Windows bitmap. A picture far larger than the target size is decoded smaller; its natural size is
// still reported, since the layout goes by the picture's proportions.

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <string>

#include "app/jpeg_decoder.h"

namespace orv {

struct LoadedPicture {
    QImage image;
    QSize naturalSize;
};

class PictureLoader {
public:
    // The size the picture is shown at, at most (the screen); empty: natural size.
    QSize target;
    bool fastIntegerDct = true;
    JpegOutput jpegOutput = JpegOutput::Rgb;

    std::optional<LoadedPicture> load(const std::string& path);
    // Why the last load failed.
    const QString& error() const { return error_; }

    static QImage toQImage(const JpegImage& jpeg);

private:
    QString error_;
};

}  // namespace orv
