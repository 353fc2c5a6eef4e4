#pragma once
// "Add a Calendar User": the name of a new calendar (from the Users window, and at a first start).

#include "store/name_entry_dlg.h"

namespace orv {

class TAddUserDlg : public TNameEntryDlg {
    Q_OBJECT
public:
    explicit TAddUserDlg(AppContext& context, QWidget* parent = nullptr);

    // First start: the program's list holds the single calendar "User1"; asks for its name, centred over
    // `over`. On OK the typed name replaces "User1"; on Cancel it stays. Returns true on OK.
    bool askFirstName(const QWidget* over);

private:
    QLabel* lExample_;
};

}  // namespace orv
