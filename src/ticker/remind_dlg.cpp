#include "ticker/remind_dlg.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "common/app_context.h"
#include "common/colours.h"
#include "common/error_guard.h"
#include "common/qt_colours.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"
#include "events/birthday_list.h"
#include "program/program.h"
#include "ticker/second_list.h"

namespace orv {

TRemindDlg::TRemindDlg(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), context_(context) {
    setWindowTitle(QStringLiteral("Orvella"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(390, 17);

    lb1_ = named(new QListWidget(this), "lb1");
    lb1_->hide();
    lScroll_ = named(new QLabel(QStringLiteral("Orvella"), this), "lScroll");
    lScroll_->setFont(arialFont(11, true));
    lScroll_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    lScroll_->setAlignment(Qt::AlignCenter);
    lScroll_->setTextFormat(Qt::PlainText);  // names and events as typed
    lScroll_->setGeometry(rect());

    tScroll_ = named(new QTimer(this), "tScroll");
    tScroll_->setInterval(kScrollInterval);
    connect(tScroll_, &QTimer::timeout, this, [this] { tScrollTimer(); });
}

void TRemindDlg::setYearlyDates(const BirthdayList* list, int lookAheadDays) {
    yearlyDates_ = list;
    lookAheadDays_ = lookAheadDays;
}

std::vector<YearlyRow> TRemindDlg::birthdayRows() const {
    if (yearlyDates_) return yearlyRows(*yearlyDates_);
    BirthdayList list;
    list.LoadEventsFile(context_.program().eventsFile());
    return yearlyRows(list);
}

void TRemindDlg::LoadSecondList() {
    SecondList second = orv::LoadSecondList(context_.program().secondEventsFile());
    sgV_ = std::move(second.rows);
    if (second.failure) context_.ui().warning(this, QString::fromStdString(*second.failure));
}

void TRemindDlg::BuildTicker() {
    std::vector<std::string> items =
        orv::BuildTicker(birthdayRows(), sgV_, context_.program().today(), systemDateNames(), lookAheadDays_);
    lb1_->clear();
    for (const std::string& item : items) lb1_->addItem(fromText(item));
    cycle_.start(std::move(items));
    if (!cycle_.items().empty()) lScroll_->setText(fromText(cycle_.firstItem()));
    tScroll_->start();
}

void TRemindDlg::rebuildTicker() {
    guarded(context_.ui(), parentWidget(), [this] { BuildTicker(); });
}

void TRemindDlg::tScrollTimer() {
    const auto title = cycle_.tick();
    if (!cycle_.enabled()) tScroll_->stop();
    if (title) emit titleChanged(fromText(*title));
}

void TRemindDlg::startOver(QWidget* mainWindow) {
    guarded(context_.ui(), mainWindow, [&] {
        LoadSecondList();
        placeOver(mainWindow);
        // Built hidden: shown and hidden again around it, the strip would never be painted, yet the window
        // system would be asked to map and unmap a window (which a window manager may flash).
        BuildTicker();
    });
}

void TRemindDlg::placeOver(const QWidget* mainWindow) {
    const QRect g = mainWindow->frameGeometry();
    // Worked out wide: a main window at the far end of the coordinates must not overflow them.
    const auto bounded = [](qint64 v) {
        return static_cast<int>(std::clamp<qint64>(v, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    };
    setGeometry(bounded(qint64(g.left()) + 24), bounded(qint64(g.top()) + 3),
                bounded(std::max<qint64>(qint64(g.width()) - 84, 0)), 17);
    lScroll_->setGeometry(rect());
}

void TRemindDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, toQColor(wincolor::ActiveCaption));
    gradient.setColorAt(1, QColor(192, 192, 192));  // silver
    p.fillRect(rect(), gradient);
}

void TRemindDlg::closeEvent(QCloseEvent* e) {
    tScroll_->stop();
    cycle_.stop();
    e->accept();
}

}  // namespace orv
