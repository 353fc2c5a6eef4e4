#pragma once
// The reminder strip: a thin borderless strip over the main window's title area, shown only while the list of
// upcoming yearly dates is built. Its timer then shows the next upcoming item in the main window's caption
// every three seconds, and "Orvella" once after the last.

#include <QWidget>
#include <functional>
#include <vector>

#include "ticker/ticker_cycle.h"
#include "ticker/upcoming_list.h"

class QLabel;
class QListWidget;
class QTimer;

namespace orv {

class TRemindDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScrollInterval = 3000;

    explicit TRemindDlg(QWidget* parent = nullptr);
    ~TRemindDlg() override;

    QListWidget* lb1;  // the upcoming list (never shown on its own)
    QLabel* lScroll;
    QTimer* tScroll;
    std::vector<YearlyRow> sgV;  // the rows of "VEvents.dat"

    // Reads "VEvents.dat" of the program folder when it exists; a corrupt file is reported and what could be
    // read is kept.
    void LoadSecondList();
    // Rebuilds the list for today and starts the ticker.
    void BuildTicker();
    void tScrollTimer();

    // Puts the strip over the main window's title: left + 24, top + 3, 84 narrower, 17 high.
    void placeOver(const QWidget* mainWindow);

    const TickerCycle& cycle() const { return cycle_; }

    // Where the texts go and where the rows come from; the defaults use the program's own windows.
    std::function<void(const QString& title)> setTitle;             // main window caption and application title
    std::function<std::vector<YearlyRow>()> birthdayRows;           // the birthday list as held now
    std::function<int()> lookAheadDays;
    std::function<std::string()> secondListFile;

protected:
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    TickerCycle cycle_;
};

}  // namespace orv
