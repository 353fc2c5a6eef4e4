#include "store/chg_user_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

TChgUserDlg::TChgUserDlg(AppContext& context, QWidget* parent)
    : TNameEntryDlg(context, parent, /*selectAllOnActivate=*/false) {
    setWindowTitle(QStringLiteral("Change Description"));
    setFixedSize(392, 128);

    lInstruction_->setText(
        QStringLiteral("Type the new name for the calendar in the box below, or alter the description as required."));
    lInstruction_->setGeometry(12, 10, 368, 34);

    eName_->setGeometry(12, 50, 368, 24);
    BitBtn2_->setGeometry(212, 88, 80, 28);
    BitBtn1_->setGeometry(300, 88, 80, 28);
}

}  // namespace orv
