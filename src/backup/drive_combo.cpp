#include "backup/drive_combo.h"

namespace orv {

DriveCombo::DriveCombo(std::function<std::vector<Drive>()> source, QWidget* parent)
    : QComboBox(parent), source_(std::move(source)) {}

void DriveCombo::refresh() {
    const std::optional<Drive> before = chosen();
    drives_ = source_();
    clear();
    int select = -1;
    for (size_t i = 0; i < drives_.size(); ++i) {
        addItem(QString::fromStdString(drives_[i].name));
        if (before && drives_[i].root == before->root && drives_[i].id == before->id) select = static_cast<int>(i);
    }
    for (size_t i = 0; select < 0 && i < drives_.size(); ++i)
        if (drives_[i].removable) select = static_cast<int>(i);
    setCurrentIndex(select < 0 && !drives_.empty() ? 0 : select);
    emit drivesListed(static_cast<int>(drives_.size()));
}

std::optional<Drive> DriveCombo::chosen() const {
    const int i = currentIndex();
    if (i < 0 || i >= static_cast<int>(drives_.size())) return std::nullopt;
    return drives_[static_cast<size_t>(i)];
}

void DriveCombo::showPopup() {
    refresh();
    QComboBox::showPopup();
}

}  // namespace orv
