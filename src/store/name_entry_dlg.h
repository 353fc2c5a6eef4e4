#pragma once
// What the two calendar name windows share: the name box `eName`, OK (`BitBtn2Click`) with its checks
// (empty, taken, not usable as a file name) and Cancel. Names are checked against the
// program's calendar list.

#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orv {

class AppContext;
class TNameErrorDlg;

class TNameEntryDlg : public QDialog {
    Q_OBJECT
public:
    // The duplicate-name warning.
    void setNameErrorDlg(TNameErrorDlg* dlg) { nameErrorDlg_ = dlg; }

    // Shows the window modally, centred over `over`, with `name` in the box. Returns the name confirmed
    // with OK (UTF-8), or nothing on Cancel.
    std::optional<std::string> askName(const QString& name, const QWidget* over);

protected:
    TNameEntryDlg(AppContext& context, QWidget* parent, bool selectAllOnActivate);

    void showEvent(QShowEvent* event) override;
    void reject() override;

    AppContext& context_;
    QLabel* lInstruction_;
    QLineEdit* eName_;
    QPushButton* BitBtn1_;  // Cancel
    QPushButton* BitBtn2_;  // OK

private:
    void centreOver(const QWidget* over);
    void FormActivate();
    void BitBtn2Click();

    TNameErrorDlg* nameErrorDlg_ = nullptr;
    bool selectAllOnActivate_;
    std::string accepted_;
};

}  // namespace orv
