#include <QApplication>

#include "app/main_form.h"
#include "app/startup.h"
#include "common/hint_router.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvella"));
    orv::applyHintTimings();
    orv::TCalMainForm* mainForm = orv::createWindows();
    if (!mainForm) return 0;
    mainForm->show();
    mainForm->activateWindow();
    const int result = QApplication::exec();
    delete mainForm;
    return result;
}
