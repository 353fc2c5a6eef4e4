#include "store/edit_user_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "common/app_context.h"
#include "common/button_glyphs.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"
#include "program/program.h"
#include "store/add_user_dlg.h"
#include "store/calendar_list.h"
#include "store/chg_user_dlg.h"

namespace orv {
namespace {

const QString kOnlyCalendar = QStringLiteral("This is the only Calendar available and it cannot be") + QChar('\r') +
                              QStringLiteral("deleted until another calendar has been created.");
const QString kConfirmDelete = QStringLiteral("Warning - Deleted calendars cannot be recovered later!") +
                               QStringLiteral("\r\r") + QStringLiteral("Are you sure you want to continue ?");

}  // namespace

TEditUserDlg::TEditUserDlg(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setWindowTitle(QStringLiteral("Users"));
    setFont(sansSerifFont(13));
    setFixedSize(452, 262);

    lbUsers_ = named(new QListWidget(this), "lbUsers");
    lbUsers_->setGeometry(10, 10, 240, 214);
    lbUsers_->setSelectionMode(QAbstractItemView::SingleSelection);
    setHint(lbUsers_, QStringLiteral("Click to select a different calendar. Double click to activate."));
    connect(lbUsers_, &QListWidget::currentRowChanged, this, [this] { lbUsersClick(); });
    connect(lbUsers_, &QListWidget::itemDoubleClicked, this, [this] { lbUsersDblClick(); });

    const auto button = [this](const char* name, const QString& caption, const QString& hint, int top) {
        auto* b = named(new QPushButton(caption, this), name);
        b->setGeometry(262, top, 180, 28);
        b->setAutoDefault(false);
        setHint(b, hint);
        return b;
    };
    AddBtn_ = button("AddBtn", QStringLiteral("Create a &new calendar"),
                     QStringLiteral("Create a new calendar for another user and/or location."), 10);
    EditBtn_ = button("EditBtn", QStringLiteral("&Edit calendar name"),
                      QStringLiteral("Change the description for the calendar highlighted in the list box."), 46);
    DelBtn_ = button("DelBtn", QStringLiteral("&Destroy selected calendar"),
                     QStringLiteral("Delete the calendar highlighted in the list box."), 82);
    OKBtn_ = button("OKBtn", QStringLiteral("Activate selected calendar"),
                    QStringLiteral("Select the highlighted user's calendar, and close this window."), 160);
    OKBtn_->setIcon(okGlyph());
    OKBtn_->setDefault(true);
    CancelBtn_ = button("CancelBtn", QStringLiteral("Cancel"), QStringLiteral("Exit without making changes."), 196);
    CancelBtn_->setIcon(cancelGlyph());

    connect(AddBtn_, &QPushButton::clicked, this, &TEditUserDlg::AddBtnClick);
    connect(EditBtn_, &QPushButton::clicked, this, &TEditUserDlg::EditBtnClick);
    connect(DelBtn_, &QPushButton::clicked, this, &TEditUserDlg::DelBtnClick);
    connect(OKBtn_, &QPushButton::clicked, this, &TEditUserDlg::OKBtnClick);
    connect(CancelBtn_, &QPushButton::clicked, this, &TEditUserDlg::reject);

    HintPanel_ = named(new QLabel(this), "HintPanel");
    HintPanel_->setGeometry(0, 236, 452, 26);
    HintPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    HintPanel_->setIndent(6);
}

TEditUserDlg::~TEditUserDlg() { context_.hints().popDisplay(this); }

CalendarList& TEditUserDlg::calendars() const { return context_.program().calendars; }

void TEditUserDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    context_.hints().pushDisplay(this, [this](const QString& hint) { HintPanel_->setText(hint); });
    FormActivate();
}

void TEditUserDlg::hideEvent(QHideEvent* event) {
    context_.hints().popDisplay(this);
    HintPanel_->clear();
    QDialog::hideEvent(event);
}

void TEditUserDlg::reject() { done(mrCancel); }

void TEditUserDlg::highlight(int index) {
    lbUsers_->setCurrentRow(index);
    if (index < 0) lbUsers_->clearSelection();
    selected_ = index;
}

void TEditUserDlg::FormActivate() {
    working_ = calendars().Names;
    lbUsers_->clear();
    for (const auto& name : working_) lbUsers_->addItem(fromText(name));
    const int current = calendars().CurrentCalendarIndex;
    highlight(current >= 0 && current < static_cast<int>(working_.size()) ? current : -1);
    lbUsers_->setFocus();
}

void TEditUserDlg::lbUsersClick() { selected_ = lbUsers_->currentRow(); }

void TEditUserDlg::lbUsersDblClick() { OKBtnClick(); }

void TEditUserDlg::OKBtnClick() {
    calendars().activate(working_, selected_);
    done(mrOk);
}

void TEditUserDlg::AddBtnClick() {
    guarded(context_.ui(), this, [this] {
        if (!addUserDlg_) return;
        if (const auto name = addUserDlg_->askName({}, this)) {
            working_.push_back(*name);
            lbUsers_->addItem(fromText(*name));
            highlight(static_cast<int>(working_.size()) - 1);
        }
    });
    // Confirmed or not, the highlighted calendar becomes current.
    OKBtnClick();
}

void TEditUserDlg::EditBtnClick() {
    const int index = lbUsers_->currentRow();
    if (index < 0 || index >= static_cast<int>(working_.size())) return;
    guarded(context_.ui(), this, [this, index] {
        if (!chgUserDlg_) return;
        const std::string oldName = working_[static_cast<size_t>(index)];
        const auto changed = chgUserDlg_->askName(fromText(oldName), this);
        if (!changed) return;
        const std::string& newName = *changed;
        std::string why;
        // The file is found by the highlighted name, not by its position in the committed list, which
        // may differ after a deletion here.
        if (!calendars().renameCalendarFile(oldName, newName, &why)) {
            context_.ui().warning(
                this, QStringLiteral("The calendar \"%1\" keeps its name: its file could not be renamed.\n%2")
                          .arg(fromText(oldName), QString::fromUtf8(why.c_str())));
            return;
        }
        working_[static_cast<size_t>(index)] = newName;
        lbUsers_->item(index)->setText(fromText(newName));
        calendars().renameEntry(oldName, newName);
    });
    lbUsers_->setFocus();
    highlight(index);
}

void TEditUserDlg::DelBtnClick() {
    const int index = lbUsers_->currentRow();
    if (index < 0 || index >= static_cast<int>(working_.size())) return;
    UiSeams& ui = context_.ui();
    guarded(ui, this, [&] {
        if (working_.size() == 1) {
            ui.information(this, kOnlyCalendar);
            return;
        }
        if (!ui.askYesNo(this, kConfirmDelete)) return;
        calendars().deleteCalendarFile(working_[static_cast<size_t>(index)]);
        working_.erase(working_.begin() + index);
        delete lbUsers_->takeItem(index);
        highlight(index - 1);
    });
}

}  // namespace orv
