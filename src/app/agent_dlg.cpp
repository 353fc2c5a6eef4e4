#include "app/agent_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "common/contact_addresses.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"

namespace orv {

TAgentDlg::TAgentDlg(UiSeams& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowTitle(QStringLiteral("More Info..."));
    setFixedSize(400, 300);
    setFont(sansSerifFont(13));

    lTitle_ = named(new QLabel(QStringLiteral("Orvella Daymark & Personal Planner"), this), "lTitle");
    lTitle_->setFont(arialFont(19, true));
    lTitle_->setAlignment(Qt::AlignCenter);
    lTitle_->setGeometry(10, 14, 380, 26);

    lText_ = named(new QLabel(this), "lText");
    lText_->setWordWrap(true);
    lText_->setGeometry(20, 50, 360, 150);
    lText_->setText(QStringLiteral(
        "Orvella, version 3, is a desktop calendar and personal planner.\n\n"
        "Keep one reminder text per day in as many calendars as you like, see at a glance in the month grid "
        "which days hold reminders, let repeating reminders and yearly dates fill themselves in, print the "
        "week page or a picture calendar of the month, and back your calendars up to floppy disks.\n\n"
        "News, help and new artwork:"));

    const QUrl& web = projectWebAddress();
    const QUrl& mail = projectMailAddress();
    lWeb_ =
        named(new QLabel(QStringLiteral("<a href=\"%1\">orvella.example.org</a>").arg(web.toString()), this), "lWeb");
    lWeb_->setGeometry(20, 206, 360, 20);
    setHint(lWeb_, QStringLiteral("Visit the Orvella web site."));
    lMail_ =
        named(new QLabel(QStringLiteral("<a href=\"%1\">orvella@example.org</a>").arg(mail.toString()), this), "lMail");
    lMail_->setGeometry(20, 228, 360, 20);
    setHint(lMail_, QStringLiteral("Write an e-mail message to the Orvella project."));
    for (QLabel* link : {lWeb_, lMail_}) {
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        link->setCursor(Qt::PointingHandCursor);
        link->setAlignment(Qt::AlignCenter);
        connect(link, &QLabel::linkActivated, this, &TAgentDlg::LinkClick);
    }

    OKBtn_ = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn_->setGeometry(162, 262, 76, 25);
    OKBtn_->setDefault(true);
    connect(OKBtn_, &QPushButton::clicked, this, [this] { done(mrOk); });
}

void TAgentDlg::LinkClick(const QString& link) {
    guarded(ui_, this, [&] {
        if (!ui_.openUrl(QUrl(link))) ui_.warning(this, QStringLiteral("The desktop could not open \"%1\".").arg(link));
    });
}

}  // namespace orv
