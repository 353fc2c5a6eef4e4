#include "app/startup.h"

#include "app/about_dlg.h"
#include "app/agent_dlg.h"
#include "app/forms.h"
#include "app/image_dlg.h"
#include "app/img_holder.h"
#include "app/main_form.h"
#include "app/option_dlg.h"
#include "desk/desk_dlg1.h"
#include "desk/explain_dlg.h"
#include "desk/todo_dlg.h"
#include "events/annual_dlg.h"
#include "events/check_dlg.h"
#include "events/ds_dlg.h"
#include "store/add_user_dlg.h"
#include "store/chg_user_dlg.h"
#include "store/edit_user_dlg.h"
#include "store/name_error_dlg.h"
#include "ticker/remind_dlg.h"

namespace orv {

TCalMainForm* createWindows(AppContext& context, const std::string& programFolder) {
    (void)context;
    Forms& f = forms();
    f.CalMainForm = new TCalMainForm(programFolder);
    if (f.CalMainForm->startupRefused()) return nullptr;
    // The others, in their order; each is a child of the main window and lives until the program ends.
    new TImageDlg(f.CalMainForm);
    new TDeskDlg1(f.CalMainForm);
    new TToDoDlg(f.CalMainForm);
    new TChgUserDlg(f.CalMainForm);
    new TEditUserDlg(f.CalMainForm);
    new TAddUserDlg(f.CalMainForm);
    new TNameErrorDlg(f.CalMainForm);
    new TOptionDlg(f.CalMainForm);
    new TfrmAbout1(f.CalMainForm);
    new TDSDlg(f.CalMainForm);
    new TExplainDlg(f.CalMainForm);
    new TImgHolder(f.CalMainForm);
    new TAnnualDlg(f.CalMainForm);  // reads "Events.dat" of the program folder
    new TRemindDlg(f.CalMainForm);
    new TCheckDlg(f.CalMainForm);
    new TAgentDlg(f.CalMainForm);
    return f.CalMainForm;
}

}  // namespace orv
