#include "app/warn2_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "common/ui_fonts.h"
#include "common/widgets.h"

namespace orv {
namespace {

QLabel* paragraph(QWidget* parent, const QString& text, int y, int height) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setFont(sansSerifFont(11));
    label->setGeometry(16, y, 368, height);
    return label;
}

}  // namespace

TWarn2::TWarn2(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Orvella System Requirements"));
    setFixedSize(400, 330);

    l1_ = named(new QLabel(this), "l1");
    l1_->setFont(sansSerifFont(13, true));
    l1_->setGeometry(16, 14, 368, 18);
    l2_ = named(new QLabel(this), "l2");
    l2_->setFont(sansSerifFont(13, true));
    l2_->setStyleSheet(QStringLiteral("color: #800000"));
    l2_->setGeometry(16, 36, 368, 18);

    paragraph(this,
              QStringLiteral("For the best performance and to take full advantage of the graphical capabilities of "
                             "Orvella you should set your display to High Color (16-bit) or True Color (24 or "
                             "32-bit)."),
              66, 56);
    paragraph(this,
              QStringLiteral("To do this, right click a blank area of the Windows desktop, select Properties and "
                             "Settings, and then select High Color or True Color from the color options listbox."),
              126, 56);
    paragraph(this,
              QStringLiteral("If your display is not capable of these color modes the program can operate in 256 "
                             "color mode, though there may be some degradation in performance."),
              186, 56);

    OKBtn_ = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn_->setGeometry(162, 280, 75, 25);
    OKBtn_->setDefault(true);
    connect(OKBtn_, &QPushButton::clicked, this, [this] { done(1); });
}

void TWarn2::setLines(const QString& detected, const QString& consequence) {
    l1_->setText(detected);
    l2_->setText(consequence);
}

}  // namespace orv
