#include <QApplication>

#include "app/app_state.h"
#include "app/main_form.h"
#include "app/startup.h"
#include "common/app_context.h"
#include "common/hint_router.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvella"));
    orv::applyHintTimings();
    orv::AppContext context(orv::appState());
    orv::TCalMainForm* mainForm = orv::createWindows(context);
    if (!mainForm) return 0;
    mainForm->show();
    mainForm->activateWindow();
    const int result = QApplication::exec();
    delete mainForm;
    return result;
}
