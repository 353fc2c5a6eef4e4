#include "store/calendar_watch.h"

#include <QFile>

#include "store/cal_db.h"
#include "store/calendar_lock.h"

namespace orv {
namespace {

constexpr int kSettleMs = 150;

}  // namespace

CalendarWatch::CalendarWatch(CalDb& store, QObject* parent) : QObject(parent), store_(store) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&files_, &QFileSystemWatcher::fileChanged, &settle_, qOverload<>(&QTimer::start));
    connect(&settle_, &QTimer::timeout, this, &CalendarWatch::check);
}

void CalendarWatch::follow() {
    const std::string lock = store_.CurrentFileName.empty() ? std::string() : lockFileName(store_.CurrentFileName);
    const QString path = QFile::decodeName(QByteArray::fromStdString(lock));
    if (lock == watched_ && files_.files().contains(path)) return;
    if (!files_.files().isEmpty()) files_.removePaths(files_.files());
    watched_ = lock;
    // A lock file not made yet is watched from the next look on.
    if (!lock.empty()) files_.addPath(path);
}

void CalendarWatch::check() {
    bool changedNow = false;
    try {
        follow();
        changedNow = store_.refresh();
    } catch (const std::exception&) {
        // Only a look: the user's next step on the calendar meets the failure and says it.
        return;
    }
    if (changedNow) emit changed();
}

}  // namespace orv
