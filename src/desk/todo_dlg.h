#pragma once
// "To Do List": one day's reminder text, opened from the main window for the date selected there, kept
// on OK, printable as plain text.

#include <QDialog>
#include <vector>

#include "desk/line_printer.h"

class QLabel;
class QPushButton;

namespace orv {

class ReminderEditor;

class TToDoDlg : public QDialog {
    Q_OBJECT
public:
    explicit TToDoDlg(QWidget* parent = nullptr);
    ~TToDoDlg() override;

    // Shows the day's text centred over the given window area, modally, and keeps the result in the
    // current calendar: on OK an emptied day is deleted, a changed one rewritten, a new non-empty one
    // appended; Cancel, Print and closing keep nothing. Store errors reach the caller.
    void editDay(int day, const QRect& over);

    void FormActivate();
    void Memo1Change();
    void bPrintClick();
    // The day's text as a plain print job on the default printer; nothing for an empty editor.
    // Returns what was printed.
    std::vector<LinePrinter::Placed> printText();

    QLabel* DatePanel;
    ReminderEditor* Memo1;
    QPushButton* bCancel;
    QPushButton* bPrint;
    QPushButton* bOk;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    bool activatedSinceShow_ = false;
};

}  // namespace orv
