#pragma once
// The hidden holder of the shown month's picture at its natural size, `tImg`: the picture layout and the print
// preview read the picture and its proportions from here. Never shown.

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QWidget>
#include <string>

class QLabel;

namespace orv {

class UiSeams;

class TImgHolder : public QWidget {
    Q_OBJECT
public:
    // ui: the screen a large picture is decoded for, and the failure message.
    explicit TImgHolder(UiSeams& ui, QWidget* parent = nullptr);

    // Loads the picture (a large one at most at screen size, its natural size still known). On failure shows
    // "Failed to load " + path and keeps the picture it had. Returns whether it loaded.
    bool loadPicture(const std::string& path, QWidget* messageParent = nullptr);
    // shown: the picture already made a pixmap by the caller, which then is not converted a second time.
    void setPicture(const QImage& picture, QSize naturalSize, const QPixmap& shown = {});
    const QImage& picture() const { return picture_; }
    // W x H of the file, also when it was decoded smaller; empty before the first picture.
    QSize naturalSize() const { return naturalSize_; }

private:
    UiSeams& ui_;
    QLabel* tImg_;
    QImage picture_;
    QSize naturalSize_;
};

// The month picture's failure message.
QString failedToLoadMessage(const std::string& path);

}  // namespace orv
