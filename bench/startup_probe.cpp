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
        if (e->type() == QEvent::Paint) {
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->window()->isVisible()) {
                // Every window painted counts: one shown and hidden again during the start must not hide
                // the paint of the one that stays.
                if (!painted_.contains(w->window())) painted_.append(w->window());
                if (!pending_) {
                    pending_ = true;
                    // Runs once the paint and the flush to the screen that it belongs to are done.
                    QTimer::singleShot(0, this, [this] { report(); });
                }
            }
        }
        return false;
    }

private:
    void report() {
        pending_ = false;
        for (const QPointer<QWidget>& window : painted_) {
            if (!window || !window->isVisible()) continue;
            std::fprintf(stderr, "startup-probe: painted %dx%d\n", window->width(), window->height());
            std::fflush(stderr);
            ::_exit(0);
        }
    }

    bool pending_ = false;
    QList<QPointer<QWidget>> painted_;
};

void installProbe() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    QCoreApplication::instance()->installEventFilter(new PaintWatcher(QCoreApplication::instance()));
    // A start that never paints ends the timing with a failure instead of waiting for ever.
    QTimer::singleShot(20000, QCoreApplication::instance(), [] {
        std::fprintf(stderr, "startup-probe: nothing painted within 20 s\n");
        ::_exit(3);
    });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
