#pragma once
// The warning that a typed calendar name is taken ("Warning...").

#include <QDialog>

class QLabel;
class QPushButton;

namespace orv {

class TNameErrorDlg : public QDialog {
    Q_OBJECT
public:
    explicit TNameErrorDlg(QWidget* parent = nullptr);
    ~TNameErrorDlg() override;

    // The first line names the typed calendar name in bold.
    void setName(const QString& name);

    QLabel* lIcon;
    QLabel* lName;
    QLabel* lAdvice;
    QPushButton* OKBtn;

protected:
    void reject() override;
};

}  // namespace orv
