#include "app/app_state.h"
#include "desk/todo_dlg.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "app/forms.h"
#include "app/main_form.h"
#include "common/date_format.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "desk/line_printer.h"
#include "common/printer_seam.h"
#include "desk/reminder_editor.h"
#include "store/cal_db.h"

namespace orv {
namespace {

constexpr int kWidth = 281;
constexpr int kHeight = 445;
constexpr int kDateHeight = 33;
constexpr int kBarHeight = 52;
constexpr int kMemoBorder = 20;

}  // namespace

TToDoDlg::TToDoDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("To Do List"));
    setFixedSize(kWidth, kHeight);
    setFont(sansSerifFont(11, true));

    DatePanel = new QLabel(this);
    DatePanel->setGeometry(0, 0, kWidth, kDateHeight);
    DatePanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    DatePanel->setAlignment(Qt::AlignCenter);
    DatePanel->setFont(arialFont(19, true));
    QPalette navy = DatePanel->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    DatePanel->setPalette(navy);

    // The editor sits in the middle with a 20-pixel border round it.
    auto* middle = new QFrame(this);
    middle->setGeometry(0, kDateHeight, kWidth, kHeight - kDateHeight - kBarHeight);
    Memo1 = new ReminderEditor(middle);
    Memo1->setGeometry(kMemoBorder, kMemoBorder, kWidth - 2 * kMemoBorder, middle->height() - 2 * kMemoBorder);
    Memo1->setFont(arialFont(13));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(Memo1, &ReminderEditor::changed, this, [this] { Memo1Change(); });

    auto* bar = new QFrame(this);
    bar->setGeometry(0, kHeight - kBarHeight, kWidth, kBarHeight);
    bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), bar);
    bCancel->setGeometry(8, 13, 82, 26);
    bCancel->setAutoDefault(false);
    bPrint = new QPushButton(QStringLiteral("&Print"), bar);
    bPrint->setGeometry(100, 13, 82, 26);
    bPrint->setAutoDefault(false);
    bOk = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), bar);
    bOk->setGeometry(191, 13, 82, 26);
    bOk->setAutoDefault(false);
    setHint(bOk, QStringLiteral("Save changes and return to main screen"));
    connect(bCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(bPrint, &QPushButton::clicked, this, [this] { bPrintClick(); });
    connect(bOk, &QPushButton::clicked, this, [this] { done(mrOk); });

    forms().ToDoDlg = this;
}

TToDoDlg::~TToDoDlg() {
    if (forms().ToDoDlg == this) forms().ToDoDlg = nullptr;
}

bool TToDoDlg::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && activatedSinceShow_) {
        QTimer::singleShot(0, this, [this] {
            if (isVisible()) FormActivate();
        });
    }
    if (e->type() == QEvent::WindowActivate) activatedSinceShow_ = true;
    return QDialog::event(e);
}

void TToDoDlg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    activatedSinceShow_ = false;
    // Run when shown, whether or not the window system ever activates the window.
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) FormActivate();
    });
}

void TToDoDlg::FormActivate() {
    Memo1->setFocus();
    if (TCalMainForm* main = forms().CalMainForm) main->RefreshWindow();
}

void TToDoDlg::Memo1Change() { Memo1->enforceLimit(); }

void TToDoDlg::editDay(int day, const QRect& over) {
    CalDb& store = appState().store;
    DatePanel->setText(fromCp1252(formatDate("d mmmm yyyy", day, systemDateNames())));
    move(over.x() + (over.width() - width()) / 2, over.y() + (over.height() - height()) / 2);
    Memo1->clear();
    const auto stored = store.readDay(day);
    if (stored) Memo1->setStoredText(*stored);
    if (uiSeams().execModal(this) != mrOk) return;
    const std::string text = Memo1->storedText();
    // An empty editor deletes only a day that was there when the window opened.
    if (!text.empty() || stored) store.writeDay(day, text);
}

void TToDoDlg::bPrintClick() {
    guarded(this, [this] { printText(); });
    done(mrCancel);
}

std::vector<LinePrinter::Placed> TToDoDlg::printText() {
    if (Memo1->isEmpty()) return {};
    const std::unique_ptr<QPrinter> printer = printerSeam().defaultPrinter();
    LinePrinter job(printer.get());
    job.setFont(DatePanel->font());
    job.printLine(QStringLiteral("  "));
    job.printLine(QStringLiteral("  "));
    job.printLine(QStringLiteral("\t") + DatePanel->text());
    job.setFont(Memo1->font());
    job.printLine(QStringLiteral("  "));
    for (const QString& line : Memo1->visualLines()) job.printLine(QStringLiteral("\t") + line);
    job.finish();
    return job.placed();
}

}  // namespace orv
