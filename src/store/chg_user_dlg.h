#pragma once
// "Change Description": the new name of a calendar.

#include "store/name_entry_dlg.h"

namespace orv {

class TChgUserDlg : public TNameEntryDlg {
    Q_OBJECT
public:
    explicit TChgUserDlg(AppContext& context, QWidget* parent = nullptr);
};

}  // namespace orv
