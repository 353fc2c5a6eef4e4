#pragma once
// The repeating-events window, created once at start and kept to the end. Page 0 edits the birthday list
// (yearly dates, saved to "Events.dat" at every close) and stamps it into the current calendar for one
// year; page 2 sets up a repetition from a start date and, through the check window, stamps it. Callers
// set StartDate and Page, or use ShowBirthdays / ShowRepeating, which do both and show it modally.

#include <QDialog>
#include <string>

#include "events/birthday_list.h"
#include "events/recurrence.h"

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTableView;

namespace orv {

class BirthdayGridDelegate;
class BirthdayTableModel;
class TCheckDlg;
class TDSDlg;

class TAnnualDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPageBirthdays = 0;
    static constexpr int kPageRepeating = 2;

    // Reads the birthday list from eventsFile (default: "Events.dat" of the program folder); a failure is
    // shown in a message box and the list keeps what could be read.
    explicit TAnnualDlg(QWidget* parent = nullptr, std::string eventsFile = {});
    ~TAnnualDlg() override;

    // Set by the caller before showing.
    int StartDate = 0;  // whole day number
    int Page = kPageBirthdays;

    // Options window, "Appointments, Dates And Events": page 0 for the year of the date selected in the
    // main calendar. The caller flushes and reopens the store before and flushes after.
    int ShowBirthdays(int startDate);
    // Week page, RepeatBtnClick: page 2 from the focused day. Answers mrOk when reminders were stamped,
    // mrCancel otherwise. The caller saves its cells before, and flushes, reopens and refills after.
    int ShowRepeating(int startDate);

    // The list as held now (the ticker reads it), and how far ahead the ticker looks (1..31 days).
    const BirthdayList& birthdayList() const { return list_; }
    int LookAheadDays = 7;

    // Handlers.
    void LoadEventsFile();
    void SaveEventsFile();
    void BitBtn3Click();  // Add Row
    void BitBtn8Click();  // Delete Row
    void BitBtn9Click();  // Add These Items To Calendar
    void InsertRowClick();  // context menu: insert a row before the cursor
    void ClearChecksClick();  // context menu: clear all check boxes
    void sg1SelectCell(const QModelIndex& index);
    bool sg1CellValidate(const QModelIndex& index, const QString& newText);
    void sg1AutoInsertRow();
    bool sg1CanSort(int column) const;
    void sg1HeaderClick(int column);
    void sg1MoveRight();  // Enter
    void BitBtn6Click();  // Done
    void rb1Click(int option);  // rb1..rb4 and their spin boxes s1..s4 (option 1..4)
    void s5Change();            // s5 and rb5
    void cb1Change();           // cb1 .. cb3: the nth-weekday option

    // The settings of the repetition as the page holds them (the until date already checked against today).
    RepeatSettings repeatSettings() const;
    // The first selected option, 1..5.
    int selectedKind() const;
    // The entry line of the event box, "<" + text + ">" + CR LF (empty when the text cannot be kept).
    std::string entryLine() const;

    // Page 0.
    QStackedWidget* Notebook;
    QLabel* lHeading;
    QLabel* lInstructions;
    QTableView* sg1;
    QPushButton* BitBtn3;  // "Add Row"
    QPushButton* BitBtn8;  // "Delete Row"
    QPushButton* BitBtn9;  // "Add These Items To Calendar"
    QPushButton* BitBtn2;  // "Close"
    QMenu* pmGrid;
    QAction* miClearChecks;
    QAction* miDeleteRow;
    QAction* miInsertRow;

    // Page 2.
    QLineEdit* eEvent;
    QLabel* lStartDate;
    QRadioButton* rb[5];  // rb1 .. rb5
    QSpinBox* s[5];       // s1 .. s5
    QComboBox* cb1;
    QComboBox* cb2;
    QComboBox* cb3;
    QLabel* lYear;
    QDateEdit* cDate;
    QPushButton* bRepDone;  // "Done"
    QPushButton* bRepCancel;

    BirthdayTableModel* gridModel() const { return model_; }
    BirthdayGridDelegate* gridDelegate() const { return delegate_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;
    void done(int result) override;
    void reject() override;

private:
    QWidget* buildBirthdaysPage();
    QWidget* buildRepeatingPage();
    void applyWidths();
    void updateCaptions();
    void updateHighlight();
    void resetUntilDate();
    void selectOption(int option);
    void setCursorCell(int row, int column);
    int cursorRow() const;
    TCheckDlg* checkDlg();
    TDSDlg* dsDlg();

    std::string eventsFile_;
    BirthdayList list_;
    BirthdayTableModel* model_;
    BirthdayGridDelegate* delegate_;
    QButtonGroup* options_;
    TCheckDlg* ownCheckDlg_ = nullptr;
    TDSDlg* ownDsDlg_ = nullptr;
};

}  // namespace orv
