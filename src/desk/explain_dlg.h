#pragma once
// "Removing Repeating Events...": how to select a repeating event's entry for removal, with a sample
// cell showing such a selection.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace orv {

class UiSeams;

class TExplainDlg : public QDialog {
    Q_OBJECT
public:
    // ui: the screen the window centres itself on.
    explicit TExplainDlg(UiSeams& ui, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    UiSeams& ui_;
    QLabel* Label1_;  // how to select
    QLabel* Label2_;  // first and last character
    QFrame* Sample_;  // the sample cell
    QLabel* SampleDay_;
    QLabel* SampleText_;
    QPushButton* OKBtn_;
};

}  // namespace orv
