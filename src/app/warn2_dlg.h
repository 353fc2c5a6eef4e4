#pragma once
// The requirements window of a first run on a screen with too few colours.

#include <QDialog>

class QLabel;
class QPushButton;

namespace orv {

class TWarn2 : public QDialog {
    Q_OBJECT
public:
    explicit TWarn2(QWidget* parent = nullptr);

    QLabel* l1;
    QLabel* l2;
    QPushButton* OKBtn;
};

}  // namespace orv
