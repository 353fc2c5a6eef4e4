#pragma once
// The date-sensitivity warning: a monthly repetition from the 29th, 30th or 31st meets months without that
// day. Answers mrYes (use the month's last day), mrNo (only months that have the day) or mrCancel.

#include <QDialog>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace orv {

class TDSDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDSDlg(QWidget* parent = nullptr);
    ~TDSDlg() override;

    // Set before showing: the start day, 29 to 31, choosing the page.
    int Day = 29;

    QStackedWidget* Notebook1;  // one page per day, 29th to 31st
    QLabel* lChoose;
    QPushButton* BitBtn1;  // nearest date: mrYes
    QPushButton* BitBtn2;  // only existing dates: mrNo
    QPushButton* BitBtn3;  // cancel: mrCancel

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
};

}  // namespace orv
