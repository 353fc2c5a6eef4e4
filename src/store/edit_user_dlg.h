#pragma once
// The Users window: create, rename, delete and activate calendars. It works on its own copy of the
// program's calendar list (the working list) until a calendar is activated; renames and deletions of files
// take effect at once.

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace orv {

class AppContext;
class CalendarList;
class TAddUserDlg;
class TChgUserDlg;

class TEditUserDlg : public QDialog {
    Q_OBJECT
public:
    explicit TEditUserDlg(AppContext& context, QWidget* parent = nullptr);
    ~TEditUserDlg() override;

    // The windows that ask for a new name and for a changed one.
    void setNameWindows(TAddUserDlg* add, TChgUserDlg* change) {
        addUserDlg_ = add;
        chgUserDlg_ = change;
    }

    const std::vector<std::string>& workingList() const { return working_; }
    int selectedIndex() const { return selected_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void reject() override;

private:
    void FormActivate();
    void lbUsersClick();
    void lbUsersDblClick();
    void AddBtnClick();
    void EditBtnClick();
    void DelBtnClick();
    void OKBtnClick();
    CalendarList& calendars() const;
    void highlight(int index);

    AppContext& context_;
    QListWidget* lbUsers_;
    QPushButton* AddBtn_;
    QPushButton* EditBtn_;
    QPushButton* DelBtn_;
    QPushButton* OKBtn_;
    QPushButton* CancelBtn_;
    QLabel* HintPanel_;
    TAddUserDlg* addUserDlg_ = nullptr;
    TChgUserDlg* chgUserDlg_ = nullptr;
    std::vector<std::string> working_;  // UTF-8, in step with the rows of lbUsers
    int selected_ = -1;                 // the remembered selection
};

}  // namespace orv
