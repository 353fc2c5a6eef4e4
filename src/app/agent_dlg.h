#pragma once
// The information window of the "More Info..." button: what Orvella offers and where to learn more.

#include <QDialog>

class QLabel;
class QPushButton;

namespace orv {

class UiSeams;

class TAgentDlg : public QDialog {
    Q_OBJECT
public:
    // ui: the desktop that opens the web page or the e-mail message.
    explicit TAgentDlg(UiSeams& ui, QWidget* parent = nullptr);

private:
    void LinkClick(const QString& link);

    UiSeams& ui_;
    QLabel* lTitle_;
    QLabel* lText_;
    QLabel* lWeb_;
    QLabel* lMail_;
    QPushButton* OKBtn_;
};

}  // namespace orv
