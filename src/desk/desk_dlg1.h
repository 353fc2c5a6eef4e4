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
class QToolButton;

namespace orv {

class ReminderEditor;
class TEditUserDlg;
class TExplainDlg;

class TDeskDlg1 : public QDialog {
    Q_OBJECT
public:
    explicit TDeskDlg1(QWidget* parent = nullptr);
    ~TDeskDlg1() override;

    // Which days the page shows: the opener sets PageYear, PageMonth and SelectedDay.
    DeskPage page;
    // The cell that has, or last had, the input focus (m[1] when none was chosen).
    ReminderEditor* FocusedCell = nullptr;
    int focusedCellNumber() const;
    // Set while the page is built or moved: the enter/exit highlight keeps still. Process-wide; set at
    // program start, cleared at the end of the first opening.
    static bool Busy;

    // The colour of BackPanel and Panel1 (the Background setting), as a settings value.
    void setPageColour(WinColor colour);
    WinColor pageColour() const { return pageColour_; }

    // Windows opened from the page (the program's when none are set).
    void setEditUserDlg(TEditUserDlg* dlg) { editUserDlg_ = dlg; }
    void setExplainDlg(TExplainDlg* dlg) { explainDlg_ = dlg; }

    // Page operations.
    void LayOutPage();
    void ApplyCalendarLook();
    void AssignCellDates();
    void FocusSelectedDay();
    void UpdateTitle();
    void FillCells();
    void Navigate(StepDirection direction, StepSize size);
    void SaveCells();

    // Handlers.
    void FormActivate();
    void WeekBtnTopClick() { Navigate(StepDirection::Back, StepSize::Week); }
    void WeekBtnBottomClick() { Navigate(StepDirection::Forward, StepSize::Week); }
    void MonthBtnTopClick() { Navigate(StepDirection::Back, StepSize::Month); }
    void MonthBtnBottomClick() { Navigate(StepDirection::Forward, StepSize::Month); }
    void WEndBtnClick();
    void cb4weekClick();
    void ExitBtnClick();
    void PrintBtnClick();
    void RepeatBtnClick();
    void DelBtnClick();
    void ceUserButtonClick();
    void m1Change(int cell);
    void m1Enter(int cell);
    void m1Exit(int cell);
    void FormCloseQuery();
    void FormClose();
    // Every way of closing passes through the closing steps.
    void done(int result) override;
    void reject() override;

    // Top bar.
    QFrame* BackPanel;
    QLabel* Panel3;           // the title
    QFrame* RxSpinButton1;    // week spin button: upper and lower halves
    QToolButton* WeekBtnTop;
    QToolButton* WeekBtnBottom;
    QFrame* BtnPanel;
    QLineEdit* ceUser;
    QToolButton* RxSpeedButton1;
    QToolButton* PrintBtn;
    QToolButton* WEndBtn;
    QToolButton* RepeatBtn;
    QToolButton* DelBtn;
    QToolButton* ExitBtn;
    QLabel* HintPanel;
    QCheckBox* cb4week;
    // The page.
    QFrame* Panel1;
    QFrame* Panel2;                   // header row
    std::array<QLabel*, 6> dp{};      // dp[1]..dp[5]: Monday..Friday
    QLabel* bp0;                      // "Sat/Sun"
    QFrame* Panel5;                   // week rows 1..4
    QFrame* Panel12;
    QFrame* Panel18;
    QFrame* Panel24;
    std::array<QFrame*, 5> bp{};      // bp[1]..bp[4]: the weekend panels of the rows
    std::array<QFrame*, kPageCells + 1> b{};           // frames, 1..28
    std::array<ReminderEditor*, kPageCells + 1> m{};   // editors, 1..28
    std::array<QLabel*, kPageCells + 1> p{};           // day numbers, 1..28
    // Keys.
    QAction* PageUp1;
    QAction* PageDown1;
    QAction* MnthUp1;
    QAction* MnthDn1;

    QColor highlightColour() const;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void buildTopBar();
    void buildPage();
    QFrame* rowPanel(int row) const;
    int cellOf(const QObject* editor) const;
    void setWeekendsShown(bool shown);
    void colourCell(int cell, const QColor& colour);
    void showRepeatingEventsPage(double startDate);
    void reopenStore();
    TEditUserDlg* editUserDlg() const;
    TExplainDlg* explainDlg();

    WinColor pageColour_ = wincolor::BtnFace;
    TEditUserDlg* editUserDlg_ = nullptr;
    TExplainDlg* explainDlg_ = nullptr;
    TExplainDlg* ownExplainDlg_ = nullptr;
    // Cells whose text was read from the store for the days they show; only these are saved.
    std::array<bool, kPageCells + 1> loaded_{};
    bool hintShown_ = false;
    int actions_ = 0;  // page actions running; an activation meanwhile does not rebuild
    bool building_ = false;
    bool builtSinceShow_ = false;
    bool activatedSinceShow_ = false;
    bool closing_ = false;
    bool suppressActivation_ = false;
};

}  // namespace orv
