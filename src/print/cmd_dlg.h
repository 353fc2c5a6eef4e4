#pragma once
// The controls beside the picture calendar page ("Print Preview - Controls"): the picture in colour or in
// grey, a white background, Print and Cancel. Made once per run, so the choices carry over between openings.

#include <QDialog>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace orv {

class AppContext;

class TCmdDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCmdDlg(AppContext& context, QWidget* parent = nullptr);

    bool monoChosen() const;
    bool whiteChosen() const;
    // Where the window stands for the calendar size (0 small, 1 large).
    static QPoint placeFor(int sizeGroup);

    void rbColorClick();
    void cbWhiteClick();
    // Prints the page, then closes with OK (also when the print dialog was cancelled).
    void PrintBtnClick();
    // Cancel and the Escape key close with Cancel.
    void reject() override;

signals:
    // A click on a colour choice or on the white background box: the page is built again.
    void choiceChanged(bool mono, bool white);
    void printRequested();

protected:
    void showEvent(QShowEvent* e) override;

private:
    AppContext& context_;
    QRadioButton* rbColor_;
    QRadioButton* rbMono_;
    QCheckBox* cbWhite_;
    QPushButton* PrintBtn_;
    QPushButton* CancelBtn_;
};

}  // namespace orv
