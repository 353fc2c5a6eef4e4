#include "app/img_holder.h"

#include <QLabel>
#include <QPixmap>

#include "app/forms.h"
#include "app/picture_loader.h"
#include "common/ui_seams.h"

namespace orv {

QString failedToLoadMessage(const std::string& path) {
    return QStringLiteral("Failed to load ") + QString::fromStdString(path);
}

TImgHolder::TImgHolder(QWidget* parent) : QWidget(parent, Qt::Window) {
    forms().ImgHolder = this;
    setWindowTitle(QStringLiteral("ImgHolder"));
    tImg = new QLabel(this);
    tImg->move(0, 0);
}

TImgHolder::~TImgHolder() {
    if (forms().ImgHolder == this) forms().ImgHolder = nullptr;
}

bool TImgHolder::loadPicture(const std::string& path, QWidget* messageParent) {
    PictureLoader loader;
    // Accurate rather than fast: the print preview prints from this copy.
    loader.fastIntegerDct = false;
    loader.target = uiSeams().screenGeometry().size();
    const auto loaded = loader.load(path);
    if (!loaded) {
        showInformation(messageParent, failedToLoadMessage(path));
        return false;
    }
    path_ = path;
    setPicture(loaded->image, loaded->naturalSize);
    return true;
}

void TImgHolder::setPicture(const QImage& picture, QSize naturalSize) {
    picture_ = picture;
    naturalSize_ = naturalSize;
    tImg->setPixmap(QPixmap::fromImage(picture_));
    tImg->resize(picture_.size());
}

}  // namespace orv
