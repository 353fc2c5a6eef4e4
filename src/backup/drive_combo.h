#pragma once
// A drop-down list of drives that asks the drive layer afresh whenever it opens, so a stick plugged in
// while the window is open shows up.

#include <QComboBox>

#include <functional>
#include <optional>
#include <vector>

#include "backup/drive_layer.h"

namespace orv {

class DriveCombo : public QComboBox {
    Q_OBJECT
public:
    DriveCombo(std::function<std::vector<Drive>()> source, QWidget* parent = nullptr);

    // Asks the layer again; keeps the chosen drive chosen where it is still there, else the first
    // removable one.
    void refresh();
    std::optional<Drive> chosen() const;
    const std::vector<Drive>& listed() const { return drives_; }

signals:
    // After every look-up, with the number of drives listed.
    void drivesListed(int count);

protected:
    void showPopup() override;

private:
    std::function<std::vector<Drive>()> source_;
    std::vector<Drive> drives_;
};

}  // namespace orv
