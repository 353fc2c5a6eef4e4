#pragma once
// The week page ("Reminder Calendar"): 28 days of the current calendar from a Monday, four week rows of
// seven day cells (Saturday over Sunday), each cell an editor of that day's reminder text.

#include <QDialog>
#include <array>

#include "common/colours.h"
#include "desk/desk_page.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;

namespace orv {

class AppContext;
class PrintTarget;
class ReminderEditor;
struct WeekSheet;

class TDeskDlg1 : public QDialog {
    Q_OBJECT
public:
    explicit TDeskDlg1(AppContext& context, QWidget* parent = nullptr);
    ~TDeskDlg1() override;

    // The Users window (calendar button) and the explanation of how to select a repeating event for
    // removal (delete button with nothing marked selected); both are shown modally.
    void setUsersWindow(QDialog* users) { usersWindow_ = users; }
    void setExplainWindow(QDialog* explain) { explainWindow_ = explain; }

    // The day the page opens on (it shows the four weeks round it).
    void setPageDate(int year, int month, int day);
    // Main window, "Calendar": opens the page modally on that day in the page colour of the settings;
    // the colour the page closes with goes back into the settings.
    void openOn(int year, int month, int day);
    // The name of the current calendar in the calendar box.
    void showCurrentCalendarName();
    // Another program changed the calendar: the cells show what it holds now, all but those with typing
    // not yet saved (their save keeps both texts).
    void showStoredTexts();

    // The page on paper: what it shows now, typing not yet saved included, each cell's lines as its editor
    // breaks them at the cell's width.
    WeekSheet printSheet();
    // Prints the page of the day set with setPageDate, built but never shown, into target (a printout for
    // a script). Throws on a store or printer failure.
    void printUnshown(PrintTarget& target);

    const DeskPage& page() const { return page_; }
    // The cell that has, or last had, the input focus (1 when none was chosen).
    int focusedCellNumber() const;
    QColor highlightColour() const;

signals:
    // The repeat button: the repetition window for the focused day. The page has saved its cells before
    // and flushes, reopens and refills the store after.
    void repeatRequested(int startDate);
    // Another calendar became current in the Users window (its days are in the store now).
    void calendarSwitched();
    // The window system activated the open page: the store is looked at for other programs' changes.
    void activated();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // Every way of closing passes through the closing steps.
    void done(int result) override;
    void setVisible(bool visible) override;
    void reject() override;

private:
    // What the page is doing. The enter/exit highlight keeps still while the page is built, refilled or
    // closed, and before its first opening.
    enum class PageState {
        NotYetOpened,
        Ready,
        Building,   // the showing builds the page
        Asking,     // a page action waits for another window or an answer
        Refilling,  // a page action moves or refills the cells
        Closing,
    };
    class StateScope;

    void buildTopBar();
    // The 28 cells are built at the first need of them (see the definition); every entry point that
    // reaches them calls this first.
    void ensurePageBuilt();
    void buildPage();
    QFrame* rowPanel(int row) const;
    int cellOf(const QObject* editor) const;
    bool highlightKeepsStill() const;
    void setWeekendsShown(bool shown);
    void colourCell(int cell, const QColor& colour);
    // The one highlighted cell (0: none); the highlight goes from the cell that had it.
    void highlightCell(int cell);
    void setPageColour(WinColor colour);
    void reopenStore();

    // Page operations.
    void LayOutPage();
    void ApplyCalendarLook();
    void AssignCellDates();
    void FocusSelectedDay();
    void UpdateTitle();
    void FillCells();
    void Navigate(StepDirection direction, StepSize size);
    void SaveCells();
    // Typing paused, or a cell left: the changed cells are saved while the user goes on.
    void saveTyping();

    // Handlers.
    void FormActivate();
    void WEndBtnClick();
    void cb4weekClick();
    void ExitBtnClick();
    void PrintBtnClick();
    void RepeatBtnClick();
    void DelBtnClick();
    void ceUserButtonClick();
    void m1Change(int cell);
    void m1Enter(int cell);
    void m1Exit(int cell, Qt::FocusReason reason);
    void FormCloseQuery();
    void FormClose();

    AppContext& context_;
    DeskPage page_;
    QDialog* usersWindow_ = nullptr;
    QDialog* explainWindow_ = nullptr;
    WinColor pageColour_ = wincolor::BtnFace;
    PageState state_ = PageState::NotYetOpened;
    bool hintShown_ = false;
    int highlighted_ = 0;
    // Cells whose text was read from the store for the days they show; only these are saved.
    std::array<bool, kPageCells + 1> loaded_{};
    // The cell that has, or last had, the input focus (m[1] when none was chosen).
    ReminderEditor* focusedCell_ = nullptr;
    QTimer* tSave_;  // runs from the last change of a cell's text until it is saved

    // Top bar.
    QFrame* BackPanel_;
    QLabel* Panel3_;         // the title
    QFrame* RxSpinButton1_;  // week spin button: upper and lower halves
    QToolButton* WeekBtnTop_;
    QToolButton* WeekBtnBottom_;
    QFrame* BtnPanel_;
    QLineEdit* ceUser_;
    QToolButton* RxSpeedButton1_;
    QToolButton* PrintBtn_;
    QToolButton* WEndBtn_;
    QToolButton* RepeatBtn_;
    QToolButton* DelBtn_;
    QToolButton* ExitBtn_;
    QLabel* HintPanel_;
    QCheckBox* cb4week_;
    // The page (null until built).
    QFrame* Panel1_ = nullptr;
    QFrame* Panel2_ = nullptr;     // header row
    std::array<QLabel*, 6> dp_{};  // dp1..dp5: Monday..Friday
    QLabel* bp0_ = nullptr;        // "Sat/Sun"
    QFrame* Panel5_ = nullptr;     // week rows 1..4
    QFrame* Panel12_ = nullptr;
    QFrame* Panel18_ = nullptr;
    QFrame* Panel24_ = nullptr;
    std::array<QFrame*, 5> bp_{};                      // bp1..bp4: the weekend panels of the rows
    std::array<QFrame*, kPageCells + 1> b_{};          // frames b1..b28
    std::array<ReminderEditor*, kPageCells + 1> m_{};  // editors m1..m28
    std::array<QLabel*, kPageCells + 1> p_{};          // day numbers p1..p28
    // Keys.
    QAction* PageUp1_;
    QAction* PageDown1_;
    QAction* MnthUp1_;
    QAction* MnthDn1_;
};

}  // namespace orv
