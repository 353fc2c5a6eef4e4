#pragma once
// The check window: the dates a repetition gives, for the user to look over before the entry line is
// stamped into each of them.

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListView;
class QPushButton;

namespace orv {

class AppContext;
class OccurrenceListModel;

class TCheckDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCheckDlg(AppContext& context, QWidget* parent = nullptr);

    // Shows the dates a repetition gives, modally. OK stamps line ("<" + text + ">" + CR LF)
    // into every date through the store and answers mrOk; a refusal (the calendar would grow
    // too large) or a write failure keeps the window open.
    int checkAndStamp(std::vector<int> dates, std::string line);

    OccurrenceListModel* datesModel() const { return model_; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void BitBtn1Click();

    AppContext& context_;
    std::vector<int> Dates_;
    std::string EntryLine_;
    OccurrenceListModel* model_;
    QLabel* Label1_;
    QListView* lbDates_;
    QPushButton* BitBtn1_;  // "OK"
    QPushButton* BitBtn2_;  // Cancel
};

}  // namespace orv
