#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "common/contact_addresses.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"

namespace orv {
namespace {

QLabel* linkLabel(QWidget* parent, const char* name, const QUrl& url, const QString& shown, const QString& hint) {
    auto* label = named(new QLabel(parent), name);
    label->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toString(), shown.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setCursor(Qt::PointingHandCursor);
    label->setAlignment(Qt::AlignCenter);
    setHint(label, hint);
    return label;
}

}  // namespace

TfrmAbout1::TfrmAbout1(UiSeams& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowTitle(QStringLiteral("Contact..."));
    setFixedSize(360, 220);
    setFont(sansSerifFont(13));

    lTitle_ = named(new QLabel(QStringLiteral("Orvella"), this), "lTitle");
    lTitle_->setFont(arialFont(19, true));
    lTitle_->setAlignment(Qt::AlignCenter);
    lTitle_->setGeometry(10, 14, 340, 26);

    lVersion_ = named(new QLabel(QStringLiteral("Daymark & Personal Planner, version 3\n"
                                                "A desktop calendar and personal planner."),
                                 this),
                      "lVersion");
    lVersion_->setAlignment(Qt::AlignCenter);
    lVersion_->setGeometry(10, 46, 340, 40);

    auto* lAsk = new QLabel(QStringLiteral("Questions, ideas and reports of faults are welcome:"), this);
    lAsk->setAlignment(Qt::AlignCenter);
    lAsk->setGeometry(10, 96, 340, 18);

    lWeb_ = linkLabel(this, "lWeb", projectWebAddress(), QStringLiteral("orvella.example.org"),
                      QStringLiteral("Visit the Orvella web site."));
    lWeb_->setGeometry(10, 120, 340, 20);
    lMail_ = linkLabel(this, "lMail", projectMailAddress(), QStringLiteral("orvella@example.org"),
                       QStringLiteral("Write an e-mail message to the Orvella project."));
    lMail_->setGeometry(10, 144, 340, 20);
    connect(lWeb_, &QLabel::linkActivated, this, &TfrmAbout1::LinkClick);
    connect(lMail_, &QLabel::linkActivated, this, &TfrmAbout1::LinkClick);

    OKBtn_ = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn_->setGeometry(142, 182, 76, 25);
    OKBtn_->setDefault(true);
    connect(OKBtn_, &QPushButton::clicked, this, [this] { done(mrOk); });
}

void TfrmAbout1::LinkClick(const QString& link) {
    guarded(ui_, this, [&] {
        if (!ui_.openUrl(QUrl(link))) ui_.warning(this, QStringLiteral("The desktop could not open \"%1\".").arg(link));
    });
}

}  // namespace orv
