#pragma once
// The requirements window of a start on a screen with too few colours.

#include <QDialog>

class QLabel;
class QPushButton;

namespace orv {

class TWarn2 : public QDialog {
    Q_OBJECT
public:
    explicit TWarn2(QWidget* parent = nullptr);

    // What was detected, and what it means for the program.
    void setLines(const QString& detected, const QString& consequence);

private:
    QLabel* l1_;
    QLabel* l2_;
    QPushButton* OKBtn_;
};

}  // namespace orv
