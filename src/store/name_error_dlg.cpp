#include "store/name_error_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "common/button_glyphs.h"
#include "common/painted_glyph.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"

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

    lIcon_ = named(new QLabel(this), "lIcon");
    lIcon_->setGeometry(16, 16, 32, 32);
    lIcon_->setPixmap(PaintedGlyph::pixmapFor(warningGlyph(), QSize(32, 32), this));

    lName_ = named(new QLabel(this), "lName");
    lName_->setGeometry(64, 16, 320, 34);
    lName_->setTextFormat(Qt::RichText);
    lName_->setWordWrap(true);

    lAdvice_ = named(new QLabel(kAdvice, this), "lAdvice");
    lAdvice_->setGeometry(64, 54, 320, 68);
    lAdvice_->setTextFormat(Qt::PlainText);
    lAdvice_->setWordWrap(true);
    lAdvice_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    OKBtn_ = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn_->setGeometry(162, 130, 75, 25);
    OKBtn_->setDefault(true);
    connect(OKBtn_, &QPushButton::clicked, this, [this] { done(mrOk); });
}

void TNameErrorDlg::setName(const QString& name) {
    const qsizetype star = kNameLine.indexOf(QChar('*'));
    // pre-wrap keeps the blanks of the name as typed.
    lName_->setText(QStringLiteral("<span style=\"white-space:pre-wrap\">") + kNameLine.left(star).toHtmlEscaped() +
                    QStringLiteral("<b>") + name.toHtmlEscaped() + QStringLiteral("</b>") +
                    kNameLine.mid(star + 1).toHtmlEscaped() + QStringLiteral("</span>"));
}

void TNameErrorDlg::reject() { done(mrOk); }

}  // namespace orv
