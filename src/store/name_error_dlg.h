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

    // The first line names the typed calendar name in bold.
    void setName(const QString& name);

protected:
    void reject() override;

private:
    QLabel* lIcon_;
    QLabel* lName_;
    QLabel* lAdvice_;
    QPushButton* OKBtn_;
};

}  // namespace orv
