#include "app/agent_dlg.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>

#include "app/about_dlg.h"
#include "app/forms.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"

namespace orv {

TAgentDlg::TAgentDlg(QWidget* parent)
    : QDialog(parent), openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setWindowTitle(QStringLiteral("More Info..."));
    setFixedSize(400, 300);
    setFont(sansSerifFont(13));

    lTitle = new QLabel(QStringLiteral("Orvella Daymark & Personal Planner"), this);
    lTitle->setFont(arialFont(19, true));
    lTitle->setAlignment(Qt::AlignCenter);
    lTitle->setGeometry(10, 14, 380, 26);

    lText = new QLabel(this);
    lText->setWordWrap(true);
    lText->setGeometry(20, 50, 360, 150);
    lText->setText(QStringLiteral(
        "Orvella, version 3, is a desktop calendar and personal planner.\n\n"
        "Keep one reminder text per day in as many calendars as you like, see at a glance in the month grid "
        "which days hold reminders, let repeating reminders and yearly dates fill themselves in, print the "
        "week page or a picture calendar of the month, and back your calendars up to floppy disks.\n\n"
        "News, help and new artwork:"));

    const QUrl& web = TfrmAbout1::webAddress();
    const QUrl& mail = TfrmAbout1::mailAddress();
    lWeb = new QLabel(QStringLiteral("<a href=\"%1\">orvella.example.org</a>").arg(web.toString()), this);
    lWeb->setGeometry(20, 206, 360, 20);
    setHint(lWeb, QStringLiteral("Visit the Orvella web site."));
    lMail = new QLabel(QStringLiteral("<a href=\"%1\">orvella@example.org</a>").arg(mail.toString()), this);
    lMail->setGeometry(20, 228, 360, 20);
    setHint(lMail, QStringLiteral("Write an e-mail message to the Orvella project."));
    for (QLabel* link : {lWeb, lMail}) {
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        link->setCursor(Qt::PointingHandCursor);
        link->setAlignment(Qt::AlignCenter);
        connect(link, &QLabel::linkActivated, this, &TAgentDlg::LinkClick);
    }

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(162, 262, 76, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });

    forms().AgentDlg = this;
}

TAgentDlg::~TAgentDlg() {
    if (forms().AgentDlg == this) forms().AgentDlg = nullptr;
}

void TAgentDlg::LinkClick(const QString& link) {
    guarded(this, [&] {
        if (!openUrl || !openUrl(QUrl(link)))
            showWarning(this, QStringLiteral("The desktop could not open \"%1\".").arg(link));
    });
}

}  // namespace orv
