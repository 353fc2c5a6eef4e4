#include "ticker/remind_dlg.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QTimer>

#include "app/app_state.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "common/clock.h"
#include "common/colours.h"
#include "common/qt_colours.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "events/annual_dlg.h"
#include "events/birthday_list.h"
#include "ticker/second_list.h"

namespace orv {

TRemindDlg::TRemindDlg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    forms().RemindDlg = this;
    setWindowTitle(QStringLiteral("Orvella"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(390, 17);

    lb1 = new QListWidget(this);
    lb1->hide();
    lScroll = new QLabel(QStringLiteral("Orvella"), this);
    lScroll->setFont(arialFont(11, true));
    lScroll->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    lScroll->setAlignment(Qt::AlignCenter);
    lScroll->setGeometry(rect());

    tScroll = new QTimer(this);
    tScroll->setInterval(kScrollInterval);
    connect(tScroll, &QTimer::timeout, this, [this] { tScrollTimer(); });

    setTitle = [](const QString& title) {
        if (TCalMainForm* main = forms().CalMainForm) main->setWindowTitle(title);
    };
    birthdayRows = [] {
        if (const TAnnualDlg* annual = forms().AnnualDlg) return yearlyRows(annual->birthdayList());
        // Without the repeating-events window the list is the one of the file.
        BirthdayList list;
        list.LoadEventsFile(appState().eventsFile());
        return yearlyRows(list);
    };
    lookAheadDays = [] {
        const TAnnualDlg* annual = forms().AnnualDlg;
        return annual ? annual->LookAheadDays : kLookAheadDays;
    };
    secondListFile = [] { return appState().secondEventsFile(); };
}

TRemindDlg::~TRemindDlg() {
    if (forms().RemindDlg == this) forms().RemindDlg = nullptr;
}

void TRemindDlg::LoadSecondList() {
    SecondList second = orv::LoadSecondList(secondListFile());
    sgV = std::move(second.rows);
    if (second.failure) showWarning(this, QString::fromStdString(*second.failure));
}

void TRemindDlg::BuildTicker() {
    std::vector<std::string> items =
        orv::BuildTicker(birthdayRows(), sgV, appState().today(), systemDateNames(), lookAheadDays());
    lb1->clear();
    for (const std::string& item : items) lb1->addItem(fromCp1252(item));
    cycle_.start(std::move(items));
    if (!cycle_.items().empty()) lScroll->setText(fromCp1252(cycle_.firstItem()));
    tScroll->start();
}

void TRemindDlg::tScrollTimer() {
    const auto title = cycle_.tick();
    if (!cycle_.enabled()) tScroll->stop();
    if (title && setTitle) setTitle(fromCp1252(*title));
}

void TRemindDlg::placeOver(const QWidget* mainWindow) {
    const QRect g = mainWindow->frameGeometry();
    setGeometry(g.left() + 24, g.top() + 3, g.width() - 84, 17);
    lScroll->setGeometry(rect());
}

void TRemindDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, toQColor(wincolor::ActiveCaption));
    gradient.setColorAt(1, QColor(192, 192, 192));  // silver
    p.fillRect(rect(), gradient);
}

void TRemindDlg::closeEvent(QCloseEvent* e) {
    tScroll->stop();
    cycle_.stop();
    e->accept();
}

}  // namespace orv
