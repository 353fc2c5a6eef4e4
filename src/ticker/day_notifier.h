#pragma once
// The notice of a new day for the current calendar: at start and whenever the day changes while the program
// runs, at most once a day per calendar, unless switched off in "Orvella.INI".

#include <QObject>

namespace orv {

class BirthdayList;
class DesktopNotifier;
class Program;

class DayNotifier : public QObject {
    Q_OBJECT
public:
    DayNotifier(Program& program, DesktopNotifier& notifier, QObject* parent = nullptr);

    // The yearly dates as the repeating events window holds them; without them "Events.dat" is read.
    void setYearlyDates(const BirthdayList* list) { yearly_ = list; }

    // Sends the current calendar's notice for today unless it has had it, notices are off or there is
    // nothing to tell. The day counts as told only once the desktop has shown the notice.
    void dayBegins();

private:
    Program& program_;
    DesktopNotifier& notifier_;
    const BirthdayList* yearly_ = nullptr;
    bool sending_ = false;  // one notice on its way at a time
};

}  // namespace orv
