#pragma once
// The information window of the "More Info..." button: what Orvella offers and where to learn more.

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

namespace orv {

class TAgentDlg : public QDialog {
    Q_OBJECT
public:
    explicit TAgentDlg(QWidget* parent = nullptr);
    ~TAgentDlg() override;

    QLabel* lTitle;
    QLabel* lText;
    QLabel* lWeb;
    QLabel* lMail;
    QPushButton* OKBtn;

    // Hands a web address or an e-mail message to the desktop; tests replace it.
    std::function<bool(const QUrl&)> openUrl;

private:
    void LinkClick(const QString& link);
};

}  // namespace orv
