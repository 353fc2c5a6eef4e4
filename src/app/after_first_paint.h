#pragma once
// Holds work back until a window has been put on the screen and painted: what the start need not wait for
// (the notice of the day, which reaches the session bus or, without one, tries to start it) does not hold
// up its first picture. Should the window not be shown in time (a window manager that keeps it minimised),
// the work runs all the same.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <vector>

namespace orv {

class AfterFirstPaint : public QObject {
public:
    explicit AfterFirstPaint(QWidget* window, std::chrono::milliseconds longest = std::chrono::seconds(2));

    // Runs work now when the window has been painted, else once it has been.
    void run(std::function<void()> work);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void watch();
    void release();

    QPointer<QWidget> window_;
    bool watching_ = false;
    bool painted_ = false;
    std::vector<std::function<void()>> waiting_;
    QTimer longest_;
};

}  // namespace orv
