#include "store/name_entry_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "common/app_context.h"
#include "common/button_glyphs.h"
#include "common/error_guard.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"
#include "program/program.h"
#include "store/calendar_list.h"
#include "store/name_error_dlg.h"

namespace orv {

TNameEntryDlg::TNameEntryDlg(AppContext& context, QWidget* parent, bool selectAllOnActivate)
    : QDialog(parent), context_(context), selectAllOnActivate_(selectAllOnActivate) {
    setFont(sansSerifFont(13));
    lInstruction_ = named(new QLabel(this), "lInstruction");
    lInstruction_->setWordWrap(true);
    lInstruction_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    eName_ = named(new QLineEdit(this), "eName");

    BitBtn2_ = named(new QPushButton(okGlyph(), QStringLiteral("OK"), this), "BitBtn2");
    BitBtn2_->setDefault(true);
    connect(BitBtn2_, &QPushButton::clicked, this, &TNameEntryDlg::BitBtn2Click);

    BitBtn1_ = named(new QPushButton(cancelGlyph(), QStringLiteral("Cancel"), this), "BitBtn1");
    BitBtn1_->setAutoDefault(false);
    connect(BitBtn1_, &QPushButton::clicked, this, &TNameEntryDlg::reject);
}

std::optional<std::string> TNameEntryDlg::askName(const QString& name, const QWidget* over) {
    centreOver(over);
    eName_->setText(name);
    if (context_.ui().execModal(this) != mrOk) return std::nullopt;
    return accepted_;
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
    eName_->setFocus();
    if (selectAllOnActivate_) {
        eName_->selectAll();
    } else {
        // Showing a dialog hands its focus widget a tab-style focus, which selects a line edit's text;
        // undo that once it has happened.
        QTimer::singleShot(0, this, [this] {
            eName_->deselect();
            eName_->end(false);
        });
    }
}

void TNameEntryDlg::BitBtn2Click() {
    UiSeams& ui = context_.ui();
    guarded(ui, this, [&] {
        const QString typed = eName_->text();
        // Blanks alone would show as an empty name wherever the name is shown.
        if (typed.trimmed().isEmpty()) {
            ui.beep();
            return;
        }
        const std::string name = toText(typed);
        // Against the committed list: a calendar deleted in the Users window keeps its name until a
        // calendar is activated.
        if (context_.program().calendars.indexOf(name) >= 0) {
            ui.beep();
            if (nameErrorDlg_) {
                nameErrorDlg_->setName(typed);
                ui.execModal(nameErrorDlg_);
            }
            eName_->setFocus();
            return;
        }
        if (const auto problem = calendarNameProblem(name)) {
            ui.warning(this, QString::fromUtf8(problem->c_str()));
            eName_->setFocus();
            return;
        }
        accepted_ = name;
        done(mrOk);
    });
}

void TNameEntryDlg::reject() { done(mrCancel); }

}  // namespace orv
