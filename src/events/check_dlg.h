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

class OccurrenceListModel;

class TCheckDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCheckDlg(QWidget* parent = nullptr);
    ~TCheckDlg() override;

    // Set before showing: the occurrence list, and the line OK stamps into each date of it
    // ("<" + text + ">" + CR LF, Windows-1252).
    std::vector<int> Dates;
    std::string EntryLine;

    // OK: stamps the line into every date through the store, then answers mrOk. A refusal (the calendar
    // would grow too large) or a write failure keeps the window open.
    void BitBtn1Click();

    QLabel* Label1;
    QListView* lbDates;
    QPushButton* BitBtn1;  // "OK"
    QPushButton* BitBtn2;  // Cancel

    OccurrenceListModel* datesModel() const { return model_; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    OccurrenceListModel* model_;
};

}  // namespace orv
