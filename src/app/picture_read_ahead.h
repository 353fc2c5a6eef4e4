#pragma once
// The month's picture decoded on another thread while the windows are built, for its first showing.

#include <QSize>
#include <future>
#include <optional>
#include <string>

#include <sys/stat.h>

#include "app/picture_loader.h"

namespace orv {

class PictureReadAhead {
public:
    PictureReadAhead() = default;
    ~PictureReadAhead();
    PictureReadAhead(const PictureReadAhead&) = delete;
    PictureReadAhead& operator=(const PictureReadAhead&) = delete;

    // Decodes path for target as the main window does (the fast way).
    void start(const std::string& path, QSize target);
    // The picture read ahead when it is of this file at this size, the file unchanged since, and decoding
    // went well; nullopt otherwise (the caller then loads it itself and learns what went wrong). Once.
    std::optional<LoadedPicture> take(const std::string& path, QSize target);

private:
    struct Result {
        std::optional<struct stat> status;  // taken before decoding
        std::optional<LoadedPicture> picture;
    };
    std::string path_;
    QSize target_;
    std::future<Result> result_;
};

}  // namespace orv
