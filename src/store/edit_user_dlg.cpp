#include "store/edit_user_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "app/app_state.h"
#include "app/forms.h"
#include "common/error_guard.h"
#include "common/ui_fonts.h"
#include "common/hint_router.h"
#include "common/qt_text.h"
#include "common/ui_seams.h"
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

TEditUserDlg::TEditUserDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Users"));
    setFont(sansSerifFont(13));
    setFixedSize(452, 262);

    lbUsers = new QListWidget(this);
    lbUsers->setGeometry(10, 10, 240, 214);
    lbUsers->setSelectionMode(QAbstractItemView::SingleSelection);
    setHint(lbUsers, QStringLiteral("Click to select a different calendar. Double click to activate."));
    connect(lbUsers, &QListWidget::currentRowChanged, this, [this] { lbUsersClick(); });
    connect(lbUsers, &QListWidget::itemDoubleClicked, this, [this] { lbUsersDblClick(); });

    const auto button = [this](const QString& caption, const QString& hint, int top) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(262, top, 180, 28);
        b->setAutoDefault(false);
        setHint(b, hint);
        return b;
    };
    AddBtn = button(QStringLiteral("Create a &new calendar"),
                    QStringLiteral("Create a new calendar for another user and/or location."), 10);
    EditBtn = button(QStringLiteral("&Edit calendar name"),
                     QStringLiteral("Change the description for the calendar highlighted in the list box."), 46);
    DelBtn = button(QStringLiteral("&Destroy selected calendar"),
                    QStringLiteral("Delete the calendar highlighted in the list box."), 82);
    OKBtn = button(QStringLiteral("Activate selected calendar"),
                   QStringLiteral("Select the highlighted user's calendar, and close this window."), 160);
    OKBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    OKBtn->setDefault(true);
    CancelBtn = button(QStringLiteral("Cancel"), QStringLiteral("Exit without making changes."), 196);
    CancelBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    connect(AddBtn, &QPushButton::clicked, this, &TEditUserDlg::AddBtnClick);
    connect(EditBtn, &QPushButton::clicked, this, &TEditUserDlg::EditBtnClick);
    connect(DelBtn, &QPushButton::clicked, this, &TEditUserDlg::DelBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TEditUserDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TEditUserDlg::reject);

    HintPanel = new QLabel(this);
    HintPanel->setGeometry(0, 236, 452, 26);
    HintPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    HintPanel->setIndent(6);

    forms().EditUserDlg = this;
}

TEditUserDlg::~TEditUserDlg() {
    HintRouter::instance().popDisplay(this);
    if (forms().EditUserDlg == this) forms().EditUserDlg = nullptr;
}

CalendarList& TEditUserDlg::calendars() const { return calendars_ ? *calendars_ : appState().calendars; }
TAddUserDlg* TEditUserDlg::addUserDlg() const { return addUserDlg_ ? addUserDlg_ : forms().AddUserDlg; }
TChgUserDlg* TEditUserDlg::chgUserDlg() const { return chgUserDlg_ ? chgUserDlg_ : forms().ChgUserDlg; }

void TEditUserDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    HintRouter::instance().pushDisplay(this, [this](const QString& hint) { HintPanel->setText(hint); });
    FormActivate();
}

void TEditUserDlg::hideEvent(QHideEvent* event) {
    HintRouter::instance().popDisplay(this);
    HintPanel->clear();
    QDialog::hideEvent(event);
}

void TEditUserDlg::reject() { done(mrCancel); }

void TEditUserDlg::highlight(int index) {
    lbUsers->setCurrentRow(index);
    if (index < 0) lbUsers->clearSelection();
    selected_ = index;
}

void TEditUserDlg::FormActivate() {
    working_ = calendars().Names;
    lbUsers->clear();
    for (const auto& name : working_) lbUsers->addItem(fromCp1252(name));
    const int current = calendars().CurrentCalendarIndex;
    highlight(current >= 0 && current < static_cast<int>(working_.size()) ? current : -1);
    lbUsers->setFocus();
}

void TEditUserDlg::lbUsersClick() { selected_ = lbUsers->currentRow(); }

void TEditUserDlg::lbUsersDblClick() { OKBtnClick(); }

void TEditUserDlg::OKBtnClick() {
    calendars().activate(working_, selected_);
    done(mrOk);
}

void TEditUserDlg::AddBtnClick() {
    guarded(this, [this] {
        TAddUserDlg* add = addUserDlg();
        if (!add) return;
        add->setCalendars(&calendars());
        add->centreOver(this);
        add->eName->clear();
        if (uiSeams().execModal(add) == mrOk) {
            working_.push_back(add->acceptedName());
            lbUsers->addItem(fromCp1252(add->acceptedName()));
            highlight(static_cast<int>(working_.size()) - 1);
        }
    });
    // Confirmed or not, the highlighted calendar becomes current.
    OKBtnClick();
}

void TEditUserDlg::EditBtnClick() {
    const int index = lbUsers->currentRow();
    if (index < 0 || index >= static_cast<int>(working_.size())) return;
    guarded(this, [this, index] {
        TChgUserDlg* chg = chgUserDlg();
        if (!chg) return;
        const std::string oldName = working_[static_cast<size_t>(index)];
        chg->setCalendars(&calendars());
        chg->centreOver(this);
        chg->eName->setText(fromCp1252(oldName));
        if (uiSeams().execModal(chg) != mrOk) return;
        const std::string newName = chg->acceptedName();
        std::string why;
        // The file is found by the highlighted name, not by its position in the committed list, which
        // may differ after a deletion here.
        if (!calendars().renameCalendarFile(oldName, newName, &why)) {
            showWarning(this, QStringLiteral("The calendar \"%1\" keeps its name: its file could not be renamed.\n%2")
                                  .arg(fromCp1252(oldName), QString::fromUtf8(why.c_str())));
            return;
        }
        working_[static_cast<size_t>(index)] = newName;
        lbUsers->item(index)->setText(fromCp1252(newName));
        calendars().renameEntry(oldName, newName);
    });
    lbUsers->setFocus();
    highlight(index);
}

void TEditUserDlg::DelBtnClick() {
    const int index = lbUsers->currentRow();
    if (index < 0 || index >= static_cast<int>(working_.size())) return;
    guarded(this, [this, index] {
        if (working_.size() == 1) {
            showInformation(this, kOnlyCalendar);
            return;
        }
        if (!askYesNo(this, kConfirmDelete)) return;
        calendars().deleteCalendarFile(working_[static_cast<size_t>(index)]);
        working_.erase(working_.begin() + index);
        delete lbUsers->takeItem(index);
        highlight(index - 1);
    });
}

}  // namespace orv
