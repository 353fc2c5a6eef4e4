#pragma once
// The enlarged picture: a borderless window over the whole screen with the month's picture stretched into the
// largest rectangle of its proportions; any key or a click closes it.

#include <QDialog>
#include <QImage>
#include <QSize>

class QLabel;

namespace orv {

class UiSeams;

class TImageDlg : public QDialog {
    Q_OBJECT
public:
    // ui: the screen the picture fills.
    explicit TImageDlg(UiSeams& ui, QWidget* parent = nullptr);

    // The picture to show and the proportions to show it at (its natural size).
    void setPicture(const QImage& picture, QSize naturalSize);
    const QImage& picture() const { return picture_; }
    // Shows the picture enlarged, modally, until a key or a click.
    void showPicture(const QImage& picture, QSize naturalSize);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Sizes and centres Pic on the screen; runs at every activation.
    void FormActivate();

    UiSeams& ui_;
    QLabel* Pic_;
    QImage picture_;
    QSize naturalSize_;
};

}  // namespace orv
