#pragma once
// The date-sensitivity warning: a monthly repetition from the 29th, 30th or 31st meets months without that
// day. Answers mrYes (use the month's last day), mrNo (only months that have the day) or mrCancel.

#include <QDialog>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace orv {

class UiSeams;

class TDSDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDSDlg(UiSeams& ui, QWidget* parent = nullptr);

    // Asks modally about a start on day (29 to 31, choosing the page); answers mrYes, mrNo or mrCancel.
    int askFor(int day);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    UiSeams& ui_;
    int Day_ = 29;
    QStackedWidget* Notebook1_;  // one page per day, 29th to 31st
    QLabel* lChoose_;
    QPushButton* BitBtn1_;  // nearest date: mrYes
    QPushButton* BitBtn2_;  // only existing dates: mrNo
    QPushButton* BitBtn3_;  // cancel: mrCancel
};

}  // namespace orv
