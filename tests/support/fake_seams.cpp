#include "support/fake_seams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <memory>

namespace orv::test {

bool FakeSeams::openUrl(const QUrl& url) {
    openedUrls << url.toString();
    return urlsOpen;
}

namespace {

// The text a label puts on the screen: markup is rendered, plain text shown as it is.
QString displayedText(const QLabel* label) {
    const Qt::TextFormat format = label->textFormat();
    // Zero width spaces (where a long path may break) show nothing.
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(label->text())))
        return QString(label->text()).remove(QChar(0x200B));
    QTextDocument doc;
    doc.setHtml(label->text());
    return doc.toPlainText();
}

// The window under a box loses the activation to it while the box is up, through the window system as a
// real box does, and gets it back if told.
class ActivationTaken {
public:
    explicit ActivationTaken(FakeSeams::Activation what) : what_(what), under_(QApplication::activeWindow()) {
        if (what_ == FakeSeams::Activation::Untouched || !under_) return;
        box_ = std::make_unique<QWidget>();
        box_->setGeometry(0, 0, 100, 50);
        box_->show();
        box_->activateWindow();
        QCoreApplication::processEvents();
    }
    ~ActivationTaken() {
        if (!box_) return;
        box_.reset();
        QCoreApplication::processEvents();
        if (what_ == FakeSeams::Activation::Returned && under_) {
            under_->activateWindow();
            QCoreApplication::processEvents();
        }
    }
    ActivationTaken(const ActivationTaken&) = delete;
    ActivationTaken& operator=(const ActivationTaken&) = delete;

private:
    FakeSeams::Activation what_;
    QPointer<QWidget> under_;
    std::unique_ptr<QWidget> box_;
};

QMessageBox::StandardButton buttonFor(int answer) {
    switch (answer) {
        case mrYes: return QMessageBox::Yes;
        case mrNo: return QMessageBox::No;
        case mrCancel: return QMessageBox::Cancel;
        default: return QMessageBox::Ok;
    }
}

}  // namespace

int FakeSeams::message(QWidget* parent, MsgIcon icon, const QString& text, MsgButtons buttons) {
    int answer =
        (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel || buttons == MsgButtons::YesNoDefaultNo)
            ? mrYes
            : mrOk;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    messages.push_back({icon, text, buttons, {}});
    if (onMessage) onMessage(messages.back());
    if (!realBoxes) {
        const ActivationTaken box(activation);
        return answer;
    }
    const size_t index = messages.size() - 1;
    QTimer::singleShot(0, [this, index, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            messages[index].shown = displayedText(label);
        if (QAbstractButton* b = box->button(buttonFor(answer))) b->click();
        else box->reject();
    });
    return UiSeams::message(parent, icon, text, buttons);
}

int FakeSeams::execModal(QDialog* dialog) {
    modalClasses << QString::fromLatin1(dialog->metaObject()->className());
    const ActivationTaken window(activation);
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
