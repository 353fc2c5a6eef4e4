#include "print/cmd_dlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/picture_layout.h"
#include "common/app_context.h"
#include "common/hint_router.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"
#include "program/program.h"

namespace orv {

TCmdDlg::TCmdDlg(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), context_(context) {
    setWindowTitle(QStringLiteral("Print Preview - Controls"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(244, 167);
    setFont(sansSerifFont(11));

    auto* picture = new QGroupBox(QStringLiteral(" Picture "), this);
    picture->setGeometry(12, 6, 220, 68);
    rbColor_ = named(new QRadioButton(QStringLiteral("&Color"), picture), "rbColor");
    rbColor_->setGeometry(14, 20, 190, 20);
    rbColor_->setChecked(true);
    setHint(rbColor_, QStringLiteral("Picture in color"));
    rbMono_ = named(new QRadioButton(QStringLiteral("Mono"), picture), "rbMono");
    rbMono_->setGeometry(14, 42, 190, 20);
    setHint(rbMono_, QStringLiteral("Picture in grayscale (JPG only)"));

    cbWhite_ = named(new QCheckBox(QStringLiteral(" Use a white background."), this), "cbWhite");
    cbWhite_->setGeometry(24, 84, 208, 20);

    PrintBtn_ = named(new QPushButton(QStringLiteral("Print"), this), "PrintBtn");
    PrintBtn_->setGeometry(36, 124, 80, 28);
    PrintBtn_->setDefault(true);
    setHint(PrintBtn_, QStringLiteral("Print the page"));
    CancelBtn_ = named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
    CancelBtn_->setGeometry(128, 124, 80, 28);
    setHint(CancelBtn_, QStringLiteral("Exit without printing"));

    // The radio buttons share one handler, as the check box has its own.
    connect(rbColor_, &QRadioButton::clicked, this, &TCmdDlg::rbColorClick);
    connect(rbMono_, &QRadioButton::clicked, this, &TCmdDlg::rbColorClick);
    connect(cbWhite_, &QCheckBox::clicked, this, &TCmdDlg::cbWhiteClick);
    connect(PrintBtn_, &QPushButton::clicked, this, &TCmdDlg::PrintBtnClick);
    connect(CancelBtn_, &QPushButton::clicked, this, &TCmdDlg::reject);
}

bool TCmdDlg::monoChosen() const { return rbMono_->isChecked(); }

bool TCmdDlg::whiteChosen() const { return cbWhite_->isChecked(); }

QPoint TCmdDlg::placeFor(int sizeGroup) { return sizeGroup == 0 ? QPoint(354, 160) : QPoint(480, 200); }

void TCmdDlg::showEvent(QShowEvent* e) {
    move(placeFor(sizeGroupIndex(context_.program().settings.Size)));
    QDialog::showEvent(e);
}

void TCmdDlg::rbColorClick() { emit choiceChanged(monoChosen(), whiteChosen()); }

void TCmdDlg::cbWhiteClick() { emit choiceChanged(monoChosen(), whiteChosen()); }

void TCmdDlg::reject() { done(mrCancel); }

void TCmdDlg::PrintBtnClick() {
    emit printRequested();
    done(mrOk);
}

}  // namespace orv
