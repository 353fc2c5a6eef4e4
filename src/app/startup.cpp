#include "app/startup.h"

#include "app/forms.h"
#include "app/main_form.h"
#include "desk/desk_dlg1.h"
#include "desk/explain_dlg.h"
#include "desk/todo_dlg.h"

namespace orv {

TCalMainForm* createWindows() {
    Forms& f = forms();
    f.CalMainForm = new TCalMainForm;
    if (f.CalMainForm->startupRefused()) return nullptr;
    // The others, in their order; each is a child of the main window and lives until the program ends.
    new TDeskDlg1(f.CalMainForm);
    new TToDoDlg(f.CalMainForm);
    new TExplainDlg(f.CalMainForm);
    return f.CalMainForm;
}

}  // namespace orv
