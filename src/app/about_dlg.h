#pragma once
// The contact window: who makes Orvella and how to reach the project, by web page or e-mail.

#include <QDialog>

class QLabel;
class QPushButton;

namespace orv {

class UiSeams;

class TfrmAbout1 : public QDialog {
    Q_OBJECT
public:
    // ui: the desktop that opens the web page or the e-mail message.
    explicit TfrmAbout1(UiSeams& ui, QWidget* parent = nullptr);

private:
    void LinkClick(const QString& link);

    UiSeams& ui_;
    QLabel* lTitle_;
    QLabel* lVersion_;
    QLabel* lWeb_;
    QLabel* lMail_;
    QPushButton* OKBtn_;
};

}  // namespace orv
