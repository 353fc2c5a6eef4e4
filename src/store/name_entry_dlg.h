#pragma once
// What the two calendar name windows share: the name box `eName`, OK (`BitBtn2Click`) with its checks
// (empty, not Windows-1252, taken, not usable as a file name) and Cancel.

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orv {

class CalendarList;
class TNameErrorDlg;

class TNameEntryDlg : public QDialog {
    Q_OBJECT
public:
    // Names are checked against this list (the program's calendar list when none is set).
    void setCalendars(const CalendarList* calendars) { calendars_ = calendars; }
    // The duplicate-name warning (the program's when none is set).
    void setNameErrorDlg(TNameErrorDlg* dlg) { nameErrorDlg_ = dlg; }

    // The name confirmed with OK, in Windows-1252.
    const std::string& acceptedName() const { return accepted_; }

    void centreOver(const QWidget* over);

    void FormActivate();
    void BitBtn2Click();

    QLabel* lInstruction;
    QLineEdit* eName;
    QPushButton* BitBtn1;  // Cancel
    QPushButton* BitBtn2;  // OK

protected:
    TNameEntryDlg(QWidget* parent, bool selectAllOnActivate);

    const CalendarList* calendars() const;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    TNameErrorDlg* nameErrorDlg();

    const CalendarList* calendars_ = nullptr;
    TNameErrorDlg* nameErrorDlg_ = nullptr;
    TNameErrorDlg* ownNameErrorDlg_ = nullptr;
    bool selectAllOnActivate_;
    std::string accepted_;
};

}  // namespace orv
