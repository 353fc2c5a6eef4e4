#include "app/img_holder.h"

#include <QLabel>
#include <QPixmap>

#include "app/picture_loader.h"
#include "common/ui_seams.h"
#include "common/widgets.h"

namespace orv {

QString failedToLoadMessage(const std::string& path) {
    return QStringLiteral("Failed to load ") + QString::fromStdString(path);
}

TImgHolder::TImgHolder(UiSeams& ui, QWidget* parent) : QWidget(parent, Qt::Window), ui_(ui) {
    setWindowTitle(QStringLiteral("ImgHolder"));
    tImg_ = named(new QLabel(this), "tImg");
    tImg_->move(0, 0);
}

bool TImgHolder::loadPicture(const std::string& path, QWidget* messageParent) {
    PictureLoader loader;
    // Accurate rather than fast: the print preview prints from this copy.
    loader.fastIntegerDct = false;
    loader.target = ui_.screenGeometry().size() * devicePixelRatioF();  // in the screen's own pixels
    const auto loaded = loader.load(path);
    if (!loaded) {
        ui_.information(messageParent, failedToLoadMessage(path));
        return false;
    }
    setPicture(loaded->image, loaded->naturalSize);
    return true;
}

void TImgHolder::setPicture(const QImage& picture, QSize naturalSize, const QPixmap& shown) {
    picture_ = picture;
    naturalSize_ = naturalSize;
    tImg_->setPixmap(shown.isNull() ? QPixmap::fromImage(picture_) : shown);
    tImg_->resize(picture_.size());
}

}  // namespace orv
