#pragma once
// The main window: owns the program run (start-up, settings, timers, closing) and shows the month view
// under the monthly picture. Every other window is opened from here or from a window opened here.

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/month_grid.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;
class QAction;
class QComboBox;
class QMenu;
class QSpinBox;

namespace orv {

class Program;
class TRxCalendarEx;
class MonthMediaPlayer;
class TexturePaintBox;

class TCalMainForm : public QWidget {
    Q_OBJECT
public:
    // programFolder: the folder of the executable unless given (tests give a folder of their own).
    explicit TCalMainForm(const std::string& programFolder = {}, QWidget* parent = nullptr);
    ~TCalMainForm() override;

    Program& state() const;

    // Operations other windows call.
    void LoadSettings();
    void SaveSettings();
    void RefreshDayMarks();
    void RefreshWindow();
    void CentreTitle();
    void LayoutPicture();
    void CalChange();

    // The activation handler: the first activation loads everything, every later one refreshes.
    void FormActivate();
    // A first run on a screen of fewer than 8 bits per pixel: the program ends after the requirements window.
    bool startupRefused() const { return startupRefused_; }
    // The start-up failed beyond repair (no data folder): nothing is saved at closing.
    bool startupAbandoned() const { return abandoned_; }

    // Main window state.
    std::vector<std::string> ArtworkList;
    int ColourDepth = 0;
    int LastShownMonth = 0;
    int LastShownYear = 0;
    bool ToDoFlashing = false;
    bool FirstRun = false;
    bool MediaPlaying = false;
    bool FirstActivation = true;
    int FlashCounter = 0;
    int LastDaySeen = 0;
    bool LoopSetting = false;
    bool LoopActive = false;

    // Top strip.
    QFrame* Panel5;  // the strip itself
    QFrame* Panel4;  // left frame with Image3
    QFrame* Panel8;  // title panel with lTitle
    QFrame* Panel6;  // right frame with ExitBtn
    QLabel* Image3;
    QLabel* lTitle;
    QToolButton* ExitBtn;
    // Client panel with the picture and the month view.
    QFrame* Panel1;
    QFrame* ImgPanel;
    QLabel* PicMain;
    QFrame* Panel2;
    QPushButton* TodayBtn;
    QPushButton* DeskBtn;
    QPushButton* OptionBtn;
    QPushButton* InfoBtn;
    QPushButton* AboutBtn;
    QPushButton* ToDoBtn;
    QLabel* StatusLine;
    QFrame* pButton;
    QToolButton* MediaBtn;
    QLineEdit* eMessage;  // hidden; holds the default status text
    // Month view.
    TRxCalendarEx* Cal;
    QComboBox* cbMonth;
    QFrame* sMonth;  // the pair of month arrows
    QToolButton* sMonthTop;
    QToolButton* sMonthBottom;
    QSpinBox* seYear;
    QMenu* Keys;  // never shown: carries the window-wide Page key shortcuts
    QAction* MnthDn1;
    QAction* MnthUp1;
    QAction* YearDn1;
    QAction* YearUp1;
    // Steps that belong to the windows and media of their own: the month's picture, its layout and its
    // sound or movie (run when the shown month or year changes), and the to-do window for the grid's date.
    std::function<void(int month)> loadMonthPicture;
    std::function<void()> openToDoWindow;
    // Pictures, media, Options and the ticker.
    MonthMediaPlayer* MediaPlayer1 = nullptr;
    TexturePaintBox* pb[6] = {};  // pb1 .. pb6 under Panel1, Panel2, Panel4, Panel6, Panel8 (title), Panel5
    // The Options window's results 4 and 8 open windows that come later: the print preview (hide the main
    // window, show the preview beside its modal controls window, hide it, show the main window) and the
    // backup window (given the data folder and "*.dbx"; answers 8 after a restore).
    std::function<void()> printPreviewHook;
    std::function<int(const std::string& dataFolder, const std::string& pattern)> backupRestoreHook;

    QTimer* tFlash;
    QTimer* tDay;

    // Handlers.
    void ExitBtnClick();
    void tFlashTimer();
    void tDayTimer();
    void ToDoBtnClick();
    void DeskBtnClick();
    void OptionBtnClick();
    void PictBtnClick();
    void MediaBtnClick();
    void MediaPlayer1Notify();
    // Loads the month's picture into the holder and PicMain, lays it out and looks up its media.
    void loadPicture(int month);
    // The reminder strip at the first activation: second list, strip shown, list built, strip hidden.
    void startTicker();
    void InfoBtnClick();
    void ShowHint(const QString& hint);
    void cbMonthChange();
    void seYearChange();
    void sMonthTopClick();
    void sMonthBottomClick();
    void Up1Click(QAction* item);
    void TodayBtnClick();
    void AboutBtnClick();
    void Image3Click();

    // Shown in the status line when a step would go past 31 December 9999.
    static QString lastDateNote();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FormCreate();
    void buildTopStrip();
    void buildClientPanel();
    void buildMonthView();
    void stepResult(DateMove move);
    void firstActivation();
    void everyActivation();
    void FormCloseQuery();
    void FormClose();
    void checkColourDepth();
    void acknowledgeToDoFlash();
    void acknowledgeInfoFlash();
    void askFirstCalendarName();
    void buildPictureParts();

    bool startupRefused_ = false;
    bool abandoned_ = false;
    bool activating_ = false;
    bool shownOnce_ = false;
};

}  // namespace orv
