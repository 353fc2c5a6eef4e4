#pragma once
// Hints routed to a window's status display: every control carries its hint ("short|long" as in the
// captions we were given); whenever the control under the mouse changes, the hint display of the window
// on top receives the control's long hint (empty for a control without one, and for a bare panel).

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace orv {

// Sets the control's hint: the text before "|" becomes its tool tip, the text after it (or the whole
// text) its long hint.
void setHint(QWidget* control, const QString& hint);
QString longHint(const QWidget* control);

// Hints pop up after 250 ms and stay up 10000 ms, program-wide.
void applyHintTimings();

class HintRouter : public QObject {
    Q_OBJECT
public:
    using Display = std::function<void(const QString& longHint)>;

    // Watches the whole application from the first display on.
    HintRouter();
    ~HintRouter() override;

    // The display of the window now in front; pop it when that window closes.
    void pushDisplay(QObject* owner, Display display);
    void popDisplay(QObject* owner);

    // Runs the display in front for a control, as a mouse move onto it does.
    void hintFor(QWidget* control);
    QString currentHint() const { return current_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(const QString& hint);

    struct Entry {
        QPointer<QObject> owner;
        Display display;
    };
    std::vector<Entry> displays_;
    QPointer<QWidget> lastControl_;
    QString current_;
    bool installed_ = false;
};

}  // namespace orv
