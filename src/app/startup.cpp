#include "app/startup.h"

#include "app/forms.h"
#include "app/main_form.h"

namespace orv {

TCalMainForm* createWindows() {
    Forms& f = forms();
    f.CalMainForm = new TCalMainForm;
    if (f.CalMainForm->startupRefused()) return nullptr;
    // The others, in their order; each is a child of the main window and lives until the program ends.
    return f.CalMainForm;
}

}  // namespace orv
