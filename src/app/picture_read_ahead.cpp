#include "app/picture_read_ahead.h"

#include "common/sys_file.h"

namespace orv {

PictureReadAhead::~PictureReadAhead() {
    if (result_.valid()) result_.wait();
}

void PictureReadAhead::start(const std::string& path, QSize target) {
    path_ = path;
    target_ = target;
    result_ = std::async(std::launch::async, [path, target] {
        Result result;
        try {
            result.status = statPath(path);
            PictureLoader loader;
            loader.fastIntegerDct = true;
            loader.target = target;
            if (result.status) result.picture = loader.load(path);
            // Made here in the form a pixmap of the screen keeps, so that the window only wraps it.
            if (result.picture && !result.picture->image.hasAlphaChannel())
                result.picture->image.convertTo(QImage::Format_RGB32);
        } catch (...) {
            result.picture.reset();
        }
        return result;
    });
}

std::optional<LoadedPicture> PictureReadAhead::take(const std::string& path, QSize target) {
    if (!result_.valid()) return std::nullopt;
    Result result = result_.get();
    if (path != path_ || target != target_ || !result.picture || !result.status) return std::nullopt;
    try {
        const auto now = statPath(path);
        if (!now || !sameFileState(*now, *result.status)) return std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
    return std::move(result.picture);
}

}  // namespace orv
