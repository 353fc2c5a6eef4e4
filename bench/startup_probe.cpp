// Preloaded into a Qt program (LD_PRELOAD) to time its start: when the first window that stays on the screen
// has been painted, it prints "startup-probe: painted WxH" on standard error and ends the process at once,
// so that the time from launch to that line is the time to a painted window.

#include <unistd.h>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class PaintWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && !pending_) {
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->window()->isVisible()) {
                pending_ = true;
                // Runs once the paint and the flush to the screen that it belongs to are done.
                QTimer::singleShot(0, this, [this, window = QPointer<QWidget>(w->window())] { report(window); });
            }
        }
        return false;
    }

private:
    void report(QWidget* window) {
        pending_ = false;
        if (!window || !window->isVisible()) return;  // a window shown and hidden again during the start
        std::fprintf(stderr, "startup-probe: painted %dx%d\n", window->width(), window->height());
        std::fflush(stderr);
        ::_exit(0);
    }

    bool pending_ = false;
};

void installProbe() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QCoreApplication::instance()->installEventFilter(new PaintWatcher(QCoreApplication::instance()));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
