#include "common/hint_router.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QProxyStyle>
#include <QWidget>

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

void HintRouter::hintFor(QWidget* control) {
    // The inner editor of a spin box or list belongs to that control.
    QWidget* owner = control;
    if (owner && owner->parentWidget() &&
        (qobject_cast<QAbstractSpinBox*>(owner->parentWidget()) || qobject_cast<QComboBox*>(owner->parentWidget())))
        owner = owner->parentWidget();
    lastControl_ = owner;
    show(longHint(owner));
}

bool HintRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w != lastControl_) hintFor(w);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orv
