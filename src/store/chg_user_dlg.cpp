#include "store/chg_user_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/forms.h"

namespace orv {

TChgUserDlg::TChgUserDlg(QWidget* parent) : TNameEntryDlg(parent, /*selectAllOnActivate=*/false) {
    setWindowTitle(QStringLiteral("Change Description"));
    setFixedSize(392, 128);

    lInstruction->setText(
        QStringLiteral("Type the new name for the calendar in the box below, or alter the description as required."));
    lInstruction->setGeometry(12, 10, 368, 34);

    eName->setGeometry(12, 50, 368, 24);
    BitBtn2->setGeometry(212, 88, 80, 28);
    BitBtn1->setGeometry(300, 88, 80, 28);

    forms().ChgUserDlg = this;
}

TChgUserDlg::~TChgUserDlg() {
    if (forms().ChgUserDlg == this) forms().ChgUserDlg = nullptr;
}

}  // namespace orv
