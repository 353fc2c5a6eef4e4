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

class AppContext;
class BirthdayGridDelegate;
class BirthdayTableModel;
class TCheckDlg;
class TDSDlg;

class TAnnualDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPageBirthdays = 0;
    static constexpr int kPageRepeating = 2;

    // Reads the birthday list from "Events.dat" of the program folder; a failure is shown in a message box
    // and the list keeps what could be read. The pages are built when first shown or asked for.
    explicit TAnnualDlg(AppContext& context, QWidget* parent = nullptr);

    // The windows page 2 opens: the check of the dates, and the question for a monthly start on the 29th
    // to 31st.
    void setCheckWindow(TCheckDlg* check) { checkDlg_ = check; }
    void setDateWindow(TDSDlg* ds) { dsDlg_ = ds; }

    // The page (kPageBirthdays or kPageRepeating) and the start date the next showing opens with.
    void setStart(int page, int startDate);
    // Options window, "Appointments, Dates And Events": page 0 for the year of the date selected in the
    // main calendar. The caller flushes and reopens the store before and flushes after.
    int ShowBirthdays(int startDate);
    // Week page, RepeatBtnClick: page 2 from the focused day. Answers mrOk when reminders were stamped,
    // mrCancel otherwise. The caller saves its cells before, and flushes, reopens and refills after.
    int ShowRepeating(int startDate);

    // The list as held now (the ticker reads it), and how far ahead the ticker looks (1..31 days).
    const BirthdayList& birthdayList() const { return list_; }
    int lookAheadDays() const { return lookAheadDays_; }

    // The settings of the repetition as the page holds them (the until date already checked against today).
    RepeatSettings repeatSettings() const;
    // The entry line of the event box, "<" + text + ">" + CR LF (empty when the text cannot be kept).
    std::string entryLine() const;

    BirthdayTableModel* gridModel() const { return model_; }
    BirthdayGridDelegate* gridDelegate() const { return delegate_; }

    // The pages are built before the first showing.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;
    void done(int result) override;
    void reject() override;

private:
    // Builds the pages once, before anything reads or shows them.
    void ensureBuilt();
    QWidget* buildBirthdaysPage();
    QWidget* buildRepeatingPage();
    void applyWidths();
    void updateCaptions();
    void updateHighlight();
    void resetUntilDate();
    void selectOption(int option);
    void setCursorCell(int row, int column);
    int cursorRow() const;
    // The first selected option, 1..5.
    int selectedKind() const;

    // Handlers.
    void LoadEventsFile();
    void SaveEventsFile();
    void BitBtn3Click();      // Add Row
    void BitBtn8Click();      // Delete Row
    void BitBtn9Click();      // Add These Items To Calendar
    void InsertRowClick();    // context menu: insert a row before the cursor
    void ClearChecksClick();  // context menu: clear all check boxes
    void sg1SelectCell(const QModelIndex& index);
    bool sg1CellValidate(const QModelIndex& index, const QString& newText);
    void sg1AutoInsertRow();
    bool sg1CanSort(int column) const;
    void sg1HeaderClick(int column);
    void sg1MoveRight();        // Enter
    void BitBtn6Click();        // Done
    void rb1Click(int option);  // rb1..rb4 and their spin boxes s1..s4 (option 1..4)
    void s5Change();            // s5 and rb5
    void cb1Change();           // cb1 .. cb3: the nth-weekday option

    AppContext& context_;
    std::string eventsFile_;
    BirthdayList list_;
    BirthdayTableModel* model_;
    BirthdayGridDelegate* delegate_;
    QButtonGroup* options_;
    TCheckDlg* checkDlg_ = nullptr;
    TDSDlg* dsDlg_ = nullptr;
    // Set by the opener.
    int StartDate_ = 0;  // whole day number
    int Page_ = kPageBirthdays;
    int lookAheadDays_ = 7;

    // The pages; none of their parts exists before ensureBuilt.
    QStackedWidget* Notebook_ = nullptr;

    // Page 0.
    QLabel* lHeading_;
    QLabel* lInstructions_;
    QTableView* sg1_;
    QPushButton* BitBtn3_;  // "Add Row"
    QPushButton* BitBtn8_;  // "Delete Row"
    QPushButton* BitBtn9_;  // "Add These Items To Calendar"
    QPushButton* BitBtn2_;  // "Close"
    QMenu* pmGrid_;
    QAction* miClearChecks_;
    QAction* miDeleteRow_;
    QAction* miInsertRow_;

    // Page 2.
    QLineEdit* eEvent_;
    QLabel* lStartDate_;
    QRadioButton* rb_[5];  // rb1 .. rb5
    QSpinBox* s_[5];       // s1 .. s5
    QComboBox* cb1_;
    QComboBox* cb2_;
    QComboBox* cb3_;
    QLabel* lYear_;
    QDateEdit* cDate_;
    QPushButton* bRepDone_;  // "Done"
    QPushButton* bRepCancel_;
};

}  // namespace orv
