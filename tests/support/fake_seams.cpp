#include "support/fake_seams.h"

#include <QCoreApplication>
#include <QUrl>

namespace orv::test {

bool FakeSeams::openUrl(const QUrl& url) {
    openedUrls << url.toString();
    return urlsOpen;
}

int FakeSeams::message(QWidget*, MsgIcon icon, const QString& text, MsgButtons buttons) {
    messages.push_back({icon, text, buttons});
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    return (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel) ? mrYes : mrOk;
}

int FakeSeams::execModal(QDialog* dialog) {
    modalClasses << QString::fromLatin1(dialog->metaObject()->className());
    dialog->setResult(0);
    dialog->show();
    QCoreApplication::processEvents();
    int result = mrCancel;
    if (!scripts.empty()) {
        auto script = std::move(scripts.front());
        scripts.pop_front();
        result = script(dialog);
    }
    dialog->hide();
    return result;
}

}  // namespace orv::test
