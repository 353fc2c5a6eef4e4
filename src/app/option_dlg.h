#pragma once
// The Options window ("Options..."): the first day of the month grid's week, the start with the desktop
// session, the day dots, the background texture, and the doors to printing the month (result 4), the yearly
// dates and backup/restore (result 8). Its start and week choices live in section "Autostart" of the
// settings file.

#include <QDialog>
#include <functional>

#include "app/autostart_options.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace orv {

class TOptionDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int mrPrint = 4;
    static constexpr int mrBackup = 8;

    explicit TOptionDlg(QWidget* parent = nullptr);
    ~TOptionDlg() override;

    QGroupBox* rgDisplay;
    QRadioButton* rbSunday;
    QRadioButton* rbMonday;
    QCheckBox* cbAuto;
    QCheckBox* cbDots;
    QGroupBox* rgSize;  // above the visible area: never seen
    QRadioButton* rbSmall;
    QRadioButton* rbLarge;
    QPushButton* PrintBtn;
    QPushButton* BitBtn3;
    QPushButton* BackupBtn;
    QLabel* lBackground;
    QToolButton* sbBrown;
    QToolButton* sbPink;
    QToolButton* sbGreen;
    QToolButton* sbBlue;
    QToolButton* sbGrey;
    QPushButton* sbNone;
    QLabel* i[6];  // texture samples i1 .. i6; i6 (white) is for the print preview only
    QPushButton* BitBtn1;  // OK
    QPushButton* BitBtn2;  // Cancel

    int SavedTile = 0;

    // Item index of the radio groups; -1 when none is selected.
    int displayIndex() const;
    void setDisplayIndex(int index);  // runs rgDisplayClick when the item changes
    int sizeIndex() const;
    void setSizeIndex(int storedSize);  // above 1 acts as 1, negative selects none

    void RestoreOptions();
    void SaveOptions();

    // Handlers.
    void FormActivate();
    void sbClick(int tile);
    void rgDisplayClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

    // What the window reaches outside itself; the defaults use the program's own (tests put theirs).
    std::function<void(int startOfWeek)> applyWeekStart;  // the month grid
    std::function<int()> gridDate;                        // the date selected in the month grid
    std::function<void()> flushStore;
    std::function<void()> openStore;
    std::function<void(int startDate)> showYearlyDates;   // the repeating events window, page 0
    std::function<std::string()> settingsFile;
    std::function<void()> createStartLink;
    std::function<void()> deleteStartLink;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;
    void reject() override;

private:
    QToolButton* textureButton(int tile, int x, int y);

    QButtonGroup* displayGroup_;
    QButtonGroup* sizeGroup_;
    QButtonGroup* tileGroup_;
    bool closing_ = false;
};

}  // namespace orv
