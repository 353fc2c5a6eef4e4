#pragma once
// The contact window: who makes Orvella and how to reach the project, by web page or e-mail.

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

namespace orv {

class TfrmAbout1 : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout1(QWidget* parent = nullptr);
    ~TfrmAbout1() override;

    static const QUrl& webAddress();
    static const QUrl& mailAddress();

    QLabel* lTitle;
    QLabel* lVersion;
    QLabel* lWeb;
    QLabel* lMail;
    QPushButton* OKBtn;

    // Hands a web address or an e-mail message to the desktop; tests replace it.
    std::function<bool(const QUrl&)> openUrl;

private:
    void LinkClick(const QString& link);
};

}  // namespace orv
