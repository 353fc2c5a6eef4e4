#include "ticker/day_notifier.h"

#include <QPointer>
#include <exception>

#include "common/desktop_notifier.h"
#include "common/ini_file.h"
#include "common/qt_text.h"
#include "events/birthday_list.h"
#include "program/program.h"
#include "ticker/day_notice.h"
#include "ticker/notification_log.h"
#include "ticker/second_list.h"

namespace orv {

DayNotifier::DayNotifier(Program& program, DesktopNotifier& notifier, QObject* parent)
    : QObject(parent), program_(program), notifier_(notifier) {}

void DayNotifier::dayBegins() {
    if (sending_) return;
    const int today = program_.today();
    const std::string calendar = program_.calendars.currentName();
    DayNotice notice;
    // A notice is a courtesy: a file that cannot be read means no notice, never an error.
    try {
        IniFile ini;
        ini.load(program_.settingsFile());
        if (calendar.empty() || !NotificationLog(ini).due(today, calendar)) return;
        BirthdayList fromFile;
        if (!yearly_) fromFile.LoadEventsFile(program_.eventsFile());  // the rows it could read
        const SecondList second = LoadSecondList(program_.secondEventsFile());
        notice = composeDayNotice(today, yearlyRows(yearly_ ? *yearly_ : fromFile), second.rows,
                                  program_.store.readDay(today), systemDateNames());
    } catch (const std::exception&) {
        return;
    }
    if (notice.empty()) return;

    sending_ = true;
    QPointer<DayNotifier> self(this);
    QStringList lines;
    for (const std::string& line : notice.lines) lines << QString::fromStdString(line);
    notifier_.send(QString::fromStdString(notice.summary), lines, [self, today, calendar](bool shown) {
        if (!self) return;
        self->sending_ = false;
        if (!shown) return;
        try {
            // Read again: the windows may have saved their settings meanwhile.
            IniFile ini;
            ini.load(self->program_.settingsFile());
            NotificationLog::record(ini, today, calendar);
            ini.save(self->program_.settingsFile());
        } catch (const std::exception&) {
        }
    });
}

}  // namespace orv
