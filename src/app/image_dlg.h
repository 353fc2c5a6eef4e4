#pragma once
// The enlarged picture: a borderless window over the whole screen with the month's picture stretched into the
// largest rectangle of its proportions; any key or a click closes it.

#include <QDialog>
#include <QImage>
#include <QSize>

class QLabel;

namespace orv {

class TImageDlg : public QDialog {
    Q_OBJECT
public:
    explicit TImageDlg(QWidget* parent = nullptr);
    ~TImageDlg() override;

    QLabel* Pic;

    // The picture to show and the proportions to show it at (its natural size).
    void setPicture(const QImage& picture, QSize naturalSize);
    const QImage& picture() const { return picture_; }

    // Sizes and centres Pic on the screen; runs at every activation.
    void FormActivate();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QImage picture_;
    QSize naturalSize_;
};

}  // namespace orv
