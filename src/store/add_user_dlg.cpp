#include "store/add_user_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/app_context.h"
#include "common/ui_fonts.h"
#include "common/widgets.h"
#include "program/program.h"
#include "store/calendar_list.h"

namespace orv {

TAddUserDlg::TAddUserDlg(AppContext& context, QWidget* parent)
    : TNameEntryDlg(context, parent, /*selectAllOnActivate=*/true) {
    setWindowTitle(QStringLiteral("Add a Calendar User"));
    setFixedSize(392, 150);

    lInstruction_->setText(QStringLiteral(
        "Type in the name of the user of this calendar, and optionally, a location or other description. "));
    lInstruction_->setGeometry(12, 10, 368, 34);

    lExample_ = named(new QLabel(QStringLiteral("(Egs. Carol Smythe; Sam Brown - Office; Charlie - Social)"), this),
                      "lExample");
    lExample_->setFont(sansSerifFont(11));
    setTextColour(lExample_, QColor(0x00, 0x00, 0x80));
    lExample_->setGeometry(12, 46, 368, 18);

    eName_->setGeometry(12, 70, 368, 24);
    BitBtn2_->setGeometry(212, 110, 80, 28);
    BitBtn1_->setGeometry(300, 110, 80, 28);
}

bool TAddUserDlg::askFirstName(const QWidget* over) {
    const auto name = askName({}, over);
    CalendarList& calendars = context_.program().calendars;
    if (!name || calendars.empty()) return false;
    calendars.Names[0] = *name;
    calendars.CurrentCalendarIndex = 0;
    return true;
}

}  // namespace orv
