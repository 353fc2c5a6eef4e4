#include "store/add_user_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/forms.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "store/calendar_list.h"

namespace orv {

TAddUserDlg::TAddUserDlg(QWidget* parent) : TNameEntryDlg(parent, /*selectAllOnActivate=*/true) {
    setWindowTitle(QStringLiteral("Add a Calendar User"));
    setFixedSize(392, 150);

    lInstruction->setText(QStringLiteral(
        "Type in the name of the user of this calendar, and optionally, a location or other description. "));
    lInstruction->setGeometry(12, 10, 368, 34);

    lExample = new QLabel(QStringLiteral("(Egs. Carol Smythe; Sam Brown - Office; Charlie - Social)"), this);
    lExample->setFont(sansSerifFont(11));
    QPalette navy = lExample->palette();
    navy.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    lExample->setPalette(navy);
    lExample->setGeometry(12, 46, 368, 18);

    eName->setGeometry(12, 70, 368, 24);
    BitBtn2->setGeometry(212, 110, 80, 28);
    BitBtn1->setGeometry(300, 110, 80, 28);

    forms().AddUserDlg = this;
}

TAddUserDlg::~TAddUserDlg() {
    if (forms().AddUserDlg == this) forms().AddUserDlg = nullptr;
}

bool TAddUserDlg::askFirstName(CalendarList& calendars, const QWidget* over) {
    setCalendars(&calendars);
    centreOver(over);
    eName->clear();
    if (uiSeams().execModal(this) != mrOk || calendars.empty()) return false;
    calendars.Names[0] = acceptedName();
    calendars.CurrentCalendarIndex = 0;
    return true;
}

}  // namespace orv
