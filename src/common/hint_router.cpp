#include "common/hint_router.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QWidget>
#include <QWindow>

namespace orv {

void setHint(QWidget* control, const QString& hint) {
    const qsizetype bar = hint.indexOf(QChar('|'));
    control->setToolTip(bar < 0 ? hint : hint.left(bar));
    control->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
    // A button that shows only a glyph has nothing else a screen reader could say; its name follows the
    // hint (the media button's changes with what it will do). A name given otherwise is kept.
    static const char* const kNamedByHint = "orvNamedByHint";
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (button && button->text().isEmpty() &&
        (button->accessibleName().isEmpty() || button->property(kNamedByHint).toBool())) {
        button->setAccessibleName(control->toolTip());
        button->setProperty(kNamedByHint, true);
    }
}

QString longHint(const QWidget* control) { return control ? control->statusTip() : QString(); }

namespace {

class HintTimingStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay) return 250;
        if (hint == SH_ToolTip_FallAsleepDelay) return 10000;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

void applyHintTimings() { QApplication::setStyle(new HintTimingStyle); }

HintRouter::HintRouter() = default;

HintRouter::~HintRouter() {
    if (installed_ && qApp) qApp->removeEventFilter(this);
}

void HintRouter::pushDisplay(QObject* owner, Display display) {
    if (!installed_ && qApp) {
        qApp->installEventFilter(this);
        installed_ = true;
    }
    displays_.push_back({owner, std::move(display)});
    lastControl_ = nullptr;
}

void HintRouter::popDisplay(QObject* owner) {
    for (auto it = displays_.rbegin(); it != displays_.rend(); ++it) {
        if (it->owner == owner) {
            displays_.erase(std::next(it).base());
            break;
        }
    }
    lastControl_ = nullptr;
}

void HintRouter::show(const QString& hint) {
    current_ = hint;
    while (!displays_.empty() && displays_.back().owner.isNull()) displays_.pop_back();
    if (!displays_.empty() && displays_.back().display) displays_.back().display(hint);
}

namespace {

// The control a part under the mouse belongs to: the inner editor of a spin box or list, the viewport of a
// scrolled view.
QWidget* controlOf(QWidget* part) {
    QWidget* parent = part ? part->parentWidget() : nullptr;
    if (!parent) return part;
    if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent)) return parent;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(parent); area && area->viewport() == part) return area;
    return part;
}

// The widget under the mouse in a window of the program; the painted background boxes let the mouse
// through to their panels.
QWidget* widgetUnder(const QWindow* window, QPoint globalPos) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != window) continue;
        QWidget* under = top->childAt(top->mapFromGlobal(globalPos));
        return under ? under : top;
    }
    return nullptr;
}

}  // namespace

void HintRouter::hintFor(QWidget* control) {
    lastControl_ = controlOf(control);
    show(longHint(lastControl_));
}

bool HintRouter::eventFilter(QObject* watched, QEvent* event) {
    QWidget* under = nullptr;
    if (event->type() == QEvent::Enter && watched->isWidgetType()) {
        under = static_cast<QWidget*>(watched);
    } else if (event->type() == QEvent::MouseMove && watched->isWindowType()) {
        // Qt tells a panel nothing when the mouse leaves one of its controls for it: every move of the mouse
        // in a window says which control is under it now.
        under =
            widgetUnder(static_cast<QWindow*>(watched), static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    }
    if (under && controlOf(under) != lastControl_) hintFor(under);
    // Out of the window altogether: no control is under the mouse.
    if (event->type() == QEvent::Leave && watched->isWindowType() && lastControl_) {
        lastControl_ = nullptr;
        show(QString());
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orv
