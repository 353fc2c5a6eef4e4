#include "store/name_entry_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "app/app_state.h"
#include "app/forms.h"
#include "common/error_guard.h"
#include "common/ui_fonts.h"
#include "common/qt_text.h"
#include "common/ui_seams.h"
#include "store/calendar_list.h"
#include "store/name_error_dlg.h"

namespace orv {

TNameEntryDlg::TNameEntryDlg(QWidget* parent, bool selectAllOnActivate)
    : QDialog(parent), selectAllOnActivate_(selectAllOnActivate) {
    setFont(sansSerifFont(13));
    lInstruction = new QLabel(this);
    lInstruction->setWordWrap(true);
    lInstruction->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    eName = new QLineEdit(this);

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn2->setDefault(true);
    connect(BitBtn2, &QPushButton::clicked, this, &TNameEntryDlg::BitBtn2Click);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &TNameEntryDlg::reject);
}

const CalendarList* TNameEntryDlg::calendars() const { return calendars_ ? calendars_ : &appState().calendars; }

TNameErrorDlg* TNameEntryDlg::nameErrorDlg() {
    if (nameErrorDlg_) return nameErrorDlg_;
    if (forms().NameErrorDlg) return forms().NameErrorDlg;
    if (!ownNameErrorDlg_) ownNameErrorDlg_ = new TNameErrorDlg(this);
    return ownNameErrorDlg_;
}

void TNameEntryDlg::centreOver(const QWidget* over) {
    if (!over) return;
    const QPoint centre = over->mapToGlobal(over->rect().center());
    move(centre.x() - width() / 2, centre.y() - height() / 2);
}

void TNameEntryDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TNameEntryDlg::FormActivate() {
    accepted_.clear();
    eName->setFocus();
    if (selectAllOnActivate_) {
        eName->selectAll();
    } else {
        // Showing a dialog hands its focus widget a tab-style focus, which selects a line edit's text;
        // undo that once it has happened.
        QTimer::singleShot(0, this, [this] {
            eName->deselect();
            eName->end(false);
        });
    }
}

void TNameEntryDlg::BitBtn2Click() {
    guarded(this, [this] {
        const QString typed = eName->text();
        if (typed.isEmpty()) {
            uiSeams().beep();
            return;
        }
        QString badChar;
        const auto name = toCp1252(typed, &badChar);
        if (!name) {
            showWarning(this, unrepresentableMessage(badChar));
            eName->setFocus();
            return;
        }
        // Against the committed list: a calendar deleted in the Users window keeps its name until a
        // calendar is activated.
        if (calendars()->indexOf(*name) >= 0) {
            uiSeams().beep();
            TNameErrorDlg* warning = nameErrorDlg();
            warning->setName(typed);
            uiSeams().execModal(warning);
            eName->setFocus();
            return;
        }
        if (const auto problem = calendarNameProblem(*name)) {
            showWarning(this, QString::fromUtf8(problem->c_str()));
            eName->setFocus();
            return;
        }
        accepted_ = *name;
        done(mrOk);
    });
}

void TNameEntryDlg::reject() { done(mrCancel); }

}  // namespace orv
