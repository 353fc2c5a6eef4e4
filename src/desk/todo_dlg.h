#pragma once
// "To Do List": one day's reminder text, opened from the main window for the date selected there, kept
// on OK, printable as plain text.

#include <QDialog>
#include <vector>

#include "desk/line_printer.h"

class QLabel;
class QPushButton;

namespace orv {

class AppContext;
class ReminderEditor;

class TToDoDlg : public QDialog {
    Q_OBJECT
public:
    explicit TToDoDlg(AppContext& context, QWidget* parent = nullptr);

    // Shows the day's text centred over the given window area, modally, and keeps the result in the
    // current calendar: on OK an emptied day is deleted, a changed one rewritten, a new non-empty one
    // appended; Cancel, a done print and closing keep nothing; a failed print is shown and leaves the
    // window open. A store error is shown over the parent window.
    void editDay(int day, const QRect& over);

    // The day's text as a plain print job on the default printer, or, when none is installed, where the print
    // dialog says (a PDF file); nothing for an empty editor or a cancelled dialog.
    // Returns what was printed.
    std::vector<LinePrinter::Placed> printText();

signals:
    // At each showing and activation: the main window behind brings itself up to date.
    void activated();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void FormActivate();
    void Memo1Change();
    void bPrintClick();

    AppContext& context_;
    QLabel* DatePanel_;
    ReminderEditor* Memo1_;
    QPushButton* bCancel_;
    QPushButton* bPrint_;
    QPushButton* bOk_;
    bool activatedSinceShow_ = false;
    bool printCancelled_ = false;  // the print dialog was cancelled: nothing printed, the window stays
};

}  // namespace orv
