#pragma once
// "Removing Repeating Events...": how to select a repeating event's entry for removal, with a sample
// cell showing such a selection.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace orv {

class TExplainDlg : public QDialog {
    Q_OBJECT
public:
    explicit TExplainDlg(QWidget* parent = nullptr);
    ~TExplainDlg() override;

    QLabel* Label1;   // how to select
    QLabel* Label2;   // first and last character
    QFrame* Sample;   // the sample cell
    QLabel* SampleDay;
    QLabel* SampleText;
    QPushButton* OKBtn;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace orv
