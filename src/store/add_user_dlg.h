#pragma once
// "Add a Calendar User": the name of a new calendar (from the Users window, and at a first start).

#include "store/name_entry_dlg.h"

namespace orv {

class CalendarList;

class TAddUserDlg : public TNameEntryDlg {
    Q_OBJECT
public:
    explicit TAddUserDlg(QWidget* parent = nullptr);
    ~TAddUserDlg() override;

    // First start: the list holds the single calendar "User1"; asks for its name, centred over `over`.
    // On OK the typed name replaces "User1"; on Cancel it stays. Returns true on OK.
    bool askFirstName(CalendarList& calendars, const QWidget* over);

    QLabel* lExample;
};

}  // namespace orv
