#include "store/name_error_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "app/forms.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"

namespace orv {
namespace {

const QString kNameLine = QStringLiteral("A calendar named * already exists.");
const QString kAdvice = QStringLiteral(
    "Please click on OK and choose a new name or modify the name you have chosen. You could change the name to "
    "include a location, such as \"Home\",  or add a number. Eg. John Smith [2]");

}  // namespace

TNameErrorDlg::TNameErrorDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Warning..."));
    setFont(sansSerifFont(13));
    setFixedSize(400, 168);

    lIcon = new QLabel(this);
    lIcon->setGeometry(16, 16, 32, 32);
    lIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

    lName = new QLabel(this);
    lName->setGeometry(64, 16, 320, 34);
    lName->setTextFormat(Qt::RichText);
    lName->setWordWrap(true);

    lAdvice = new QLabel(kAdvice, this);
    lAdvice->setGeometry(64, 54, 320, 68);
    lAdvice->setTextFormat(Qt::PlainText);
    lAdvice->setWordWrap(true);
    lAdvice->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(162, 130, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });

    forms().NameErrorDlg = this;
}

TNameErrorDlg::~TNameErrorDlg() {
    if (forms().NameErrorDlg == this) forms().NameErrorDlg = nullptr;
}

void TNameErrorDlg::setName(const QString& name) {
    const qsizetype star = kNameLine.indexOf(QChar('*'));
    // pre-wrap keeps the blanks of the name as typed.
    lName->setText(QStringLiteral("<span style=\"white-space:pre-wrap\">") + kNameLine.left(star).toHtmlEscaped() +
                   QStringLiteral("<b>") + name.toHtmlEscaped() + QStringLiteral("</b>") +
                   kNameLine.mid(star + 1).toHtmlEscaped() + QStringLiteral("</span>"));
}

void TNameErrorDlg::reject() { done(mrOk); }

}  // namespace orv
