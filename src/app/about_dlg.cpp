#include "app/about_dlg.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>

#include "app/forms.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"

namespace orv {
namespace {

QLabel* linkLabel(QWidget* parent, const QUrl& url, const QString& shown, const QString& hint) {
    auto* label = new QLabel(parent);
    label->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toString(), shown.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setCursor(Qt::PointingHandCursor);
    label->setAlignment(Qt::AlignCenter);
    setHint(label, hint);
    return label;
}

}  // namespace

const QUrl& TfrmAbout1::webAddress() {
    static const QUrl url(QStringLiteral("https://orvella.example.org"));
    return url;
}

const QUrl& TfrmAbout1::mailAddress() {
    static const QUrl url(QStringLiteral("mailto:orvella@example.org"));
    return url;
}

TfrmAbout1::TfrmAbout1(QWidget* parent)
    : QDialog(parent), openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setWindowTitle(QStringLiteral("Contact..."));
    setFixedSize(360, 220);
    setFont(sansSerifFont(13));

    lTitle = new QLabel(QStringLiteral("Orvella"), this);
    lTitle->setFont(arialFont(19, true));
    lTitle->setAlignment(Qt::AlignCenter);
    lTitle->setGeometry(10, 14, 340, 26);

    lVersion = new QLabel(QStringLiteral("Daymark & Personal Planner, version 3\n"
                                         "A desktop calendar and personal planner."),
                          this);
    lVersion->setAlignment(Qt::AlignCenter);
    lVersion->setGeometry(10, 46, 340, 40);

    auto* lAsk = new QLabel(QStringLiteral("Questions, ideas and reports of faults are welcome:"), this);
    lAsk->setAlignment(Qt::AlignCenter);
    lAsk->setGeometry(10, 96, 340, 18);

    lWeb = linkLabel(this, webAddress(), QStringLiteral("orvella.example.org"),
                     QStringLiteral("Visit the Orvella web site."));
    lWeb->setGeometry(10, 120, 340, 20);
    lMail = linkLabel(this, mailAddress(), QStringLiteral("orvella@example.org"),
                      QStringLiteral("Write an e-mail message to the Orvella project."));
    lMail->setGeometry(10, 144, 340, 20);
    connect(lWeb, &QLabel::linkActivated, this, &TfrmAbout1::LinkClick);
    connect(lMail, &QLabel::linkActivated, this, &TfrmAbout1::LinkClick);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(142, 182, 76, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });

    forms().frmAbout1 = this;
}

TfrmAbout1::~TfrmAbout1() {
    if (forms().frmAbout1 == this) forms().frmAbout1 = nullptr;
}

void TfrmAbout1::LinkClick(const QString& link) {
    guarded(this, [&] {
        if (!openUrl || !openUrl(QUrl(link)))
            showWarning(this, QStringLiteral("The desktop could not open \"%1\".").arg(link));
    });
}

}  // namespace orv
