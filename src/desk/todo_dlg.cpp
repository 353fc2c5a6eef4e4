#include "desk/todo_dlg.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "common/app_context.h"
#include "common/button_glyphs.h"
#include "common/date_format.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/print_target.h"
#include "common/printer_seam.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"
#include "desk/day_save.h"
#include "desk/line_printer.h"
#include "desk/reminder_editor.h"
#include "program/program.h"

namespace orv {
namespace {

constexpr int kWidth = 281;
constexpr int kHeight = 445;
constexpr int kDateHeight = 33;
constexpr int kBarHeight = 52;
constexpr int kMemoBorder = 20;

}  // namespace

TToDoDlg::TToDoDlg(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      context_(context) {
    setWindowTitle(QStringLiteral("To Do List"));
    setFixedSize(kWidth, kHeight);
    setFont(sansSerifFont(11, true));

    DatePanel_ = named(new QLabel(this), "DatePanel");
    DatePanel_->setGeometry(0, 0, kWidth, kDateHeight);
    DatePanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    DatePanel_->setAlignment(Qt::AlignCenter);
    DatePanel_->setFont(arialFont(19, true));
    setTextColour(DatePanel_, QColor(0, 0, 128));

    // The editor sits in the middle with a 20-pixel border round it.
    auto* middle = new QFrame(this);
    middle->setGeometry(0, kDateHeight, kWidth, kHeight - kDateHeight - kBarHeight);
    Memo1_ = named(new ReminderEditor(context.ui(), middle), "Memo1");
    Memo1_->setGeometry(kMemoBorder, kMemoBorder, kWidth - 2 * kMemoBorder, middle->height() - 2 * kMemoBorder);
    Memo1_->setFont(arialFont(13));
    Memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(Memo1_, &ReminderEditor::changed, this, [this] { Memo1Change(); });
    connect(Memo1_, &ReminderEditor::left, this, [this] {
        if (isVisible() && Memo1_->isChanged()) tSave_->start(0);
    });
    tSave_ = named(new QTimer(this), "tSave");
    tSave_->setSingleShot(true);
    tSave_->setInterval(kSavePauseMs);
    connect(tSave_, &QTimer::timeout, this, [this] { saveTyping(); });

    auto* bar = new QFrame(this);
    bar->setGeometry(0, kHeight - kBarHeight, kWidth, kBarHeight);
    bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bCancel_ = named(new QPushButton(cancelGlyph(), QStringLiteral("Cancel"), bar), "bCancel");
    bCancel_->setGeometry(8, 13, 82, 26);
    bCancel_->setAutoDefault(false);
    bPrint_ = named(new QPushButton(QStringLiteral("&Print"), bar), "bPrint");
    bPrint_->setGeometry(100, 13, 82, 26);
    bPrint_->setAutoDefault(false);
    bOk_ = named(new QPushButton(okGlyph(), QStringLiteral("OK"), bar), "bOk");
    bOk_->setGeometry(191, 13, 82, 26);
    bOk_->setAutoDefault(false);
    setHint(bOk_, QStringLiteral("Save changes and return to main screen"));
    connect(bCancel_, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(bPrint_, &QPushButton::clicked, this, [this] { bPrintClick(); });
    connect(bOk_, &QPushButton::clicked, this, [this] { done(mrOk); });
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
    Memo1_->setFocus();
    emit activated();
}

void TToDoDlg::Memo1Change() {
    Memo1_->enforceLimit();
    if (isVisible() && Memo1_->isChanged()) tSave_->start(kSavePauseMs);
}

void TToDoDlg::editDay(int day, const QRect& over) {
    guarded(context_.ui(), parentWidget(), [&] {
        CalDb& store = context_.program().store;
        DatePanel_->setText(fromText(formatDate("d mmmm yyyy", day, systemDateNames())));
        move(over.x() + (over.width() - width()) / 2, over.y() + (over.height() - height()) / 2);
        day_ = day;
        saved_ = false;
        opened_ = store.readDay(day).value_or(std::string());
        Memo1_->setStoredText(opened_);
        const int result = context_.ui().execModal(this);
        tSave_->stop();
        // A day left as it was keeps its bytes; an emptied one is deleted.
        if (result == mrOk) {
            saveMemo();
        } else if (saved_) {
            // Cancel keeps nothing: what was saved while the window was open is taken back.
            const SavedDay back = store.saveDay(day, Memo1_->shownText(), opened_, ReminderEditor::kLimit);
            const QString notice = savedDayNotice(day, back, store);
            if (!notice.isEmpty()) context_.ui().information(parentWidget(), notice);
        }
    });
}

bool TToDoDlg::saveMemo() {
    if (!Memo1_->isChanged()) return false;
    CalDb& store = context_.program().store;
    const SavedDay saved = saveEditedDay(store, day_, *Memo1_);
    // The other program's text is the day's text before this opening's typing.
    if (saved.outcome != SavedDay::Outcome::Written) opened_ = saved.before;
    const QString notice = savedDayNotice(day_, saved, store);
    // After OK the window is gone: the message comes up over the main window.
    if (!notice.isEmpty()) context_.ui().information(isVisible() ? this : parentWidget(), notice);
    return true;
}

void TToDoDlg::saveTyping() {
    if (!isVisible()) return;
    guarded(context_.ui(), this, [this] {
        if (saveMemo()) saved_ = true;
    });
}

void TToDoDlg::showStoredText() {
    if (!isVisible() || Memo1_->isChanged()) return;
    guarded(context_.ui(), this, [this] {
        const std::string text = context_.program().store.readDay(day_).value_or(std::string());
        if (text == Memo1_->shownText()) return;
        Memo1_->replaceStoredText(text, ReminderEditor::CaretFrom::Start);
        // Another program's text replaces what this opening saved: Cancel has nothing of its own to take back.
        opened_ = text;
        saved_ = false;
    });
}

void TToDoDlg::bPrintClick() {
    // A print that did not happen must not cost the text: the window stays open as it was.
    if (guarded(context_.ui(), this, [this] { printText(); }) && !printCancelled_) done(mrCancel);
}

std::vector<LinePrinter::Placed> TToDoDlg::printText() {
    printCancelled_ = false;
    if (Memo1_->isEmpty()) return {};
    std::unique_ptr<PrintTarget> target;
    if (auto printer = context_.printer().defaultPrinter()) {
        target = std::make_unique<PrinterTarget>(std::move(printer));
    } else {
        // Without a printer the print dialog offers a PDF file, as the week page's does.
        target = context_.printer().askPrinter(this, QPageLayout::Portrait, context_.program().settings.PrintFile);
    }
    if (!target) {
        printCancelled_ = true;
        return {};
    }
    LinePrinter job(*target);
    job.setFont(DatePanel_->font());
    job.printLine(QStringLiteral("  "));
    job.printLine(QStringLiteral("  "));
    job.printLine(QStringLiteral("\t") + DatePanel_->text());
    job.setFont(Memo1_->font());
    job.printLine(QStringLiteral("  "));
    for (const QString& line : Memo1_->visualLines()) job.printLine(QStringLiteral("\t") + line);
    job.finish();
    return job.placed();
}

}  // namespace orv
