#pragma once
// The reminder strip: a thin borderless strip over the main window's title area, shown only while the list of
// upcoming yearly dates is built. Its timer then shows the next upcoming item in the main window's caption
// every three seconds, and "Orvella" once after the last.

#include <QWidget>
#include <vector>

#include "ticker/ticker_cycle.h"
#include "ticker/upcoming_list.h"

class QLabel;
class QListWidget;
class QTimer;

namespace orv {

class AppContext;
class BirthdayList;

class TRemindDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScrollInterval = 3000;

    explicit TRemindDlg(AppContext& context, QWidget* parent = nullptr);

    // The yearly dates as the repeating-events window holds them, and how far ahead it looks. Without a
    // list the rows come from "Events.dat" itself.
    void setYearlyDates(const BirthdayList* list, int lookAheadDays);

    // Reads "VEvents.dat" of the program folder when it exists; a corrupt file is reported and what could be
    // read is kept.
    void LoadSecondList();
    // Rebuilds the list for today and starts the ticker.
    void BuildTicker();
    // The same, with a failure shown over the main window (a new day, the Options window closed).
    void rebuildTicker();
    // The first activation of the main window: the second list read, then the list built while the strip
    // is shown over the main window's title. Failures are shown over the main window.
    void startOver(QWidget* mainWindow);
    // Shows the next title; the timer does it every three seconds.
    void tScrollTimer();

    // Puts the strip over the main window's title: left + 24, top + 3, 84 narrower, 17 high.
    void placeOver(const QWidget* mainWindow);

    const TickerCycle& cycle() const { return cycle_; }

signals:
    // The main window's caption and the application title.
    void titleChanged(const QString& title);

protected:
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    std::vector<YearlyRow> birthdayRows() const;

    AppContext& context_;
    const BirthdayList* yearlyDates_ = nullptr;
    int lookAheadDays_ = kLookAheadDays;
    TickerCycle cycle_;
    std::vector<YearlyRow> sgV_;  // the rows of "VEvents.dat"
    QListWidget* lb1_;            // the upcoming list (never shown on its own)
    QLabel* lScroll_;
    QTimer* tScroll_;
};

}  // namespace orv
