#pragma once
// The main window: owns the program run (start-up, settings, timers, closing) and shows the month view
// under the monthly picture. The windows it opens are reached through its signals, or, where it needs their
// answer, through the window given to it; start-up wires both.

#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

#include "app/month_grid.h"

class QAction;
class QComboBox;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolButton;

namespace orv {

class AppContext;
class MonthMediaPlayer;
class PictureReadAhead;
class Program;
class TImgHolder;
class TRxCalendarEx;
class TexturePaintBox;

class TCalMainForm : public QWidget {
    Q_OBJECT
public:
    // The program folder is the context's program's.
    explicit TCalMainForm(AppContext& context, QWidget* parent = nullptr);
    ~TCalMainForm() override;

    // The holder of the month's picture at its natural size, the Options window, and the backup and restore
    // window (it answers TOptionDlg::mrBackup after a restore).
    void setPictureHolder(TImgHolder* holder) { holder_ = holder; }
    void setOptionsWindow(QDialog* options) { optionsWindow_ = options; }
    void setBackupWindow(QDialog* backup) { backupWindow_ = backup; }
    // The first month's picture, decoded ahead by the start.
    void setPictureReadAhead(PictureReadAhead* ahead) { pictureAhead_ = ahead; }

    // Operations other windows call.
    void LoadSettings();
    void SaveSettings();
    void RefreshDayMarks();
    void RefreshWindow();
    void CentreTitle();
    void LayoutPicture();
    void CalChange();
    // The date selected in the month grid.
    int selectedDate() const;
    // The first day of the month grid's week: 0 Sunday, 1 Monday.
    void setWeekStart(int startOfWeek);
    // Repaints the background textures (the Tile setting changed).
    void repaintTextures();
    // What the sync does or last did: the status line shows it while no hint is shown.
    void showSyncState(const QString& line);
    // Another program (a sync) changed the calendar file: the days are shown from it anew.
    void showCalendarAgain();

    // The activation handler: the first activation loads everything, every later one refreshes.
    void FormActivate();
    // The timers' ticks: the flashing captions, and the change of date.
    void tFlashTimer();
    void tDayTimer();
    // A screen of 8 bits per pixel or fewer: the program ends after the requirements window.
    bool startupRefused() const { return startupRefused_; }
    // The start-up failed beyond repair (no data folder): nothing is saved at closing.
    bool startupAbandoned() const { return abandoned_; }

    // What the window keeps between events.
    struct RunState {
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
    };
    const RunState& runState() const { return run_; }

    // Shown in the status line when a step would go past 31 December 9999.
    static QString lastDateNote();

signals:
    // Every activation, after the first one has loaded everything: the other windows show the current
    // calendar and the stored choices again.
    void activated();
    // The shown month changed (its picture and media are loaded).
    void monthShown(int month);
    // The windows opened from here that give no answer back.
    void contactRequested();
    void infoRequested();
    void pictureRequested(const QImage& picture, QSize naturalSize);
    void toDoRequested(int day, const QRect& over);
    void calendarRequested(int year, int month, int day);
    // A first start: the list holds "User1"; the user may give the first calendar another name.
    void firstCalendarNameRequested();
    // The ticker: built at the first activation with its strip over this window, rebuilt on a new day and
    // after the Options window.
    void tickerStartRequested();
    void tickerRebuildRequested();
    // The Options window's result 4: the print preview of the month, while this window steps aside.
    void printRequested();
    // A day begins for the run: at the first activation, once the calendar is open, and whenever the date
    // changes while the program runs.
    void dayBegan();

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
    void buildPictureParts();
    // Loads the month's picture into the holder and PicMain, lays it out and looks up its media.
    void loadPicture(int month);
    Program& program() const;

    // Handlers.
    void ExitBtnClick();
    void ToDoBtnClick();
    void DeskBtnClick();
    void OptionBtnClick();
    void PictBtnClick();
    void MediaBtnClick();
    void MediaPlayer1Notify();
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

    AppContext& context_;
    TImgHolder* holder_ = nullptr;
    PictureReadAhead* pictureAhead_ = nullptr;
    QDialog* optionsWindow_ = nullptr;
    QDialog* backupWindow_ = nullptr;
    RunState run_;
    bool startupRefused_ = false;
    bool abandoned_ = false;
    bool activating_ = false;
    bool shownOnce_ = false;

    // Top strip.
    QFrame* Panel5_;  // the strip itself
    QFrame* Panel4_;  // left frame with Image3
    QFrame* Panel8_;  // title panel with lTitle
    QFrame* Panel6_;  // right frame with ExitBtn
    QLabel* Image3_;
    QLabel* lTitle_;
    QToolButton* ExitBtn_;
    // Client panel with the picture and the month view.
    QFrame* Panel1_;
    QFrame* ImgPanel_;
    QLabel* PicMain_;
    QFrame* Panel2_;
    QPushButton* TodayBtn_;
    QPushButton* DeskBtn_;
    QPushButton* OptionBtn_;
    QPushButton* InfoBtn_;
    QPushButton* AboutBtn_;
    QPushButton* ToDoBtn_;
    QLabel* StatusLine_;
    QFrame* pButton_;
    QToolButton* MediaBtn_;
    QLineEdit* eMessage_;  // hidden; holds the default status text
    bool showingHint_ = false;
    QString syncState_;    // shown in place of the default status text once a sync ran
    // Month view.
    TRxCalendarEx* Cal_;
    QComboBox* cbMonth_;
    QFrame* sMonth_;  // the pair of month arrows
    QToolButton* sMonthTop_;
    QToolButton* sMonthBottom_;
    QSpinBox* seYear_;
    QMenu* Keys_;  // never shown: carries the window-wide Page key shortcuts
    QAction* MnthDn1_;
    QAction* MnthUp1_;
    QAction* YearDn1_;
    QAction* YearUp1_;
    // Pictures and media.
    MonthMediaPlayer* MediaPlayer1_ = nullptr;
    TexturePaintBox* pb_[6] = {};  // pb1 .. pb6 under Panel1, Panel2, Panel4, Panel6, Panel8 (title), Panel5

    QTimer* tFlash_;
    QTimer* tDay_;
};

}  // namespace orv
