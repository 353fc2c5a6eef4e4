#pragma once
// The Options window ("Options..."): the first day of the month grid's week, the start with the desktop
// session, the day dots, the background texture, and the doors to printing the month (result 4), the yearly
// dates, backup/restore (result 8) and the calendar's server. Its start and week choices live in section "Autostart" of the
// settings file.

#include <QDialog>

#include "app/autostart_options.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace orv {

class AppContext;

class TOptionDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int mrPrint = 4;
    static constexpr int mrBackup = 8;

    explicit TOptionDlg(AppContext& context, QWidget* parent = nullptr);

    // Item index of the radio groups; -1 when none is selected.
    int displayIndex() const;
    int sizeIndex() const;

    // Reads the stored choices of section "Autostart" (every activation of the main window) and applies the
    // week start.
    void RestoreOptions();

signals:
    // The first day of the month grid's week: 0 Sunday, 1 Monday.
    void weekStartChosen(int startOfWeek);
    // A texture button: the paint boxes show the Tile setting again.
    void textureChosen();
    // "Appointments, Dates And Events": the repeating events window on its yearly dates, for the year of the
    // date selected in the month grid. The store is flushed and reopened before and flushed after.
    void yearlyDatesRequested();
    // "Calendar Server...": the window of the calendar's CalDAV server, over this one.
    void syncWindowRequested();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;
    void reject() override;

private:
    QToolButton* textureButton(const char* name, int tile, int x, int y);
    void setDisplayIndex(int index);    // runs rgDisplayClick when the item changes
    void setSizeIndex(int storedSize);  // above 1 acts as 1, negative selects none
    void SaveOptions();

    // Handlers.
    void FormActivate();
    void sbClick(int tile);
    void rgDisplayClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

    AppContext& context_;
    int SavedTile_ = 0;
    QButtonGroup* displayGroup_;
    QButtonGroup* sizeGroup_;
    QButtonGroup* tileGroup_;
    bool closing_ = false;

    QGroupBox* rgDisplay_;
    QRadioButton* rbSunday_;
    QRadioButton* rbMonday_;
    QCheckBox* cbAuto_;
    QCheckBox* cbDots_;
    QGroupBox* rgSize_;  // above the visible area: never seen
    QRadioButton* rbSmall_;
    QRadioButton* rbLarge_;
    QPushButton* PrintBtn_;
    QPushButton* BitBtn3_;
    QPushButton* BackupBtn_;
    QPushButton* SyncBtn_;
    QLabel* lBackground_;
    QToolButton* sbBrown_;
    QToolButton* sbPink_;
    QToolButton* sbGreen_;
    QToolButton* sbBlue_;
    QToolButton* sbGrey_;
    QPushButton* sbNone_;
    QLabel* i_[6];          // texture samples i1 .. i6; i6 (white) is for the print preview only
    QPushButton* BitBtn1_;  // OK
    QPushButton* BitBtn2_;  // Cancel
};

}  // namespace orv
