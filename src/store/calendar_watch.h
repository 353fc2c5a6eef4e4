#pragma once
// Tells the windows when another program changed the current calendar. Every change counts itself in the
// calendar's lock file, which is never replaced, so a watch on that one file sees them all; the store's
// refresh then tells another program's change from the window program's own.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <string>

namespace orv {

class CalDb;

class CalendarWatch : public QObject {
    Q_OBJECT
public:
    CalendarWatch(CalDb& store, QObject* parent);

    // Looks at once (a window activated, another calendar chosen) and watches the current calendar's
    // lock file from now on.
    void check();

signals:
    // Another program changed the current calendar: the windows show what it holds now.
    void changed();

private:
    void follow();

    CalDb& store_;
    QFileSystemWatcher files_;
    QTimer settle_;  // a burst of changes (a script's loop) is looked at once
    std::string watched_;
};

}  // namespace orv
