#pragma once
// "To Do List": one day's reminder text, opened from the main window for the date selected there, kept
// on OK, printable as plain text.

#include <QDialog>
#include <string>
#include <vector>

#include "desk/line_printer.h"

class QLabel;
class QPushButton;
class QTimer;

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
    // window open. A store error is shown over the parent window. Typing is saved while the window is
    // open (after a pause, when the editor is left); Cancel then puts the day back as it was opened.
    void editDay(int day, const QRect& over);
    // Another program changed the calendar: the window shows what the day holds now, unless the user has
    // typing not yet saved (its save keeps both texts).
    void showStoredText();

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
    void saveTyping();
    // Saves the editor's text when the user changed it; true when it did.
    bool saveMemo();

    AppContext& context_;
    QLabel* DatePanel_;
    ReminderEditor* Memo1_;
    QPushButton* bCancel_;
    QPushButton* bPrint_;
    QPushButton* bOk_;
    bool activatedSinceShow_ = false;
    bool printCancelled_ = false;  // the print dialog was cancelled: nothing printed, the window stays
    QTimer* tSave_;  // runs from the last change of the text until it is saved
    int day_ = 0;
    std::string opened_;  // the day's text when the window opened, what Cancel puts back
    bool saved_ = false;  // the opening saved typing of the user's
};

}  // namespace orv
