#pragma once
// The Users window: create, rename, delete and activate calendars. It works on its own copy of the
// calendar list (the working list) until a calendar is activated; renames and deletions of files take
// effect at once.

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace orv {

class CalendarList;
class TAddUserDlg;
class TChgUserDlg;

class TEditUserDlg : public QDialog {
    Q_OBJECT
public:
    explicit TEditUserDlg(QWidget* parent = nullptr);
    ~TEditUserDlg() override;

    // The calendar list to manage (the program's when none is set).
    void setCalendars(CalendarList* calendars) { calendars_ = calendars; }
    // The name windows (the program's when none are set).
    void setAddUserDlg(TAddUserDlg* dlg) { addUserDlg_ = dlg; }
    void setChgUserDlg(TChgUserDlg* dlg) { chgUserDlg_ = dlg; }

    const std::vector<std::string>& workingList() const { return working_; }
    int selectedIndex() const { return selected_; }

    void FormActivate();
    void lbUsersClick();
    void lbUsersDblClick();
    void AddBtnClick();
    void EditBtnClick();
    void DelBtnClick();
    void OKBtnClick();

    QListWidget* lbUsers;
    QPushButton* AddBtn;
    QPushButton* EditBtn;
    QPushButton* DelBtn;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QLabel* HintPanel;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void reject() override;

private:
    CalendarList& calendars() const;
    TAddUserDlg* addUserDlg() const;
    TChgUserDlg* chgUserDlg() const;
    void highlight(int index);

    CalendarList* calendars_ = nullptr;
    TAddUserDlg* addUserDlg_ = nullptr;
    TChgUserDlg* chgUserDlg_ = nullptr;
    std::vector<std::string> working_;  // Windows-1252, in step with the rows of lbUsers
    int selected_ = -1;                 // the remembered selection
};

}  // namespace orv
