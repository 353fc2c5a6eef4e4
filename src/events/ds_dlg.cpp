#include "events/ds_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <algorithm>

#include "common/button_glyphs.h"
#include "common/painted_glyph.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"

namespace orv {

TDSDlg::TDSDlg(UiSeams& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowTitle(QStringLiteral("Warning - Date sensitivity..."));
    setFont(sansSerifFont(13));
    setFixedSize(440, 236);

    auto* icon = new QLabel(this);
    icon->setGeometry(16, 16, 40, 40);
    icon->setPixmap(PaintedGlyph::pixmapFor(warningGlyph(), QSize(32, 32), this));

    static const char* const kPages[] = {
        "The day of the month you have selected [29th] may not be found if a February is encountered.",
        "The day of the month you have selected [30th] will not be found if a February is encountered.",
        "The day of the month you have selected [31st] will not be found when months with only 30 days are "
        "encountered.",
    };
    Notebook1_ = named(new QStackedWidget(this), "Notebook1");
    Notebook1_->setGeometry(64, 14, 360, 58);
    for (const char* text : kPages) {
        auto* page = new QLabel(QString::fromLatin1(text));
        page->setWordWrap(true);
        page->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        page->setFont(arialFont(13, true));
        Notebook1_->addWidget(page);
    }

    lChoose_ = named(new QLabel(QStringLiteral("Please choose one of the options below:"), this), "lChoose");
    lChoose_->setGeometry(64, 80, 360, 20);

    const auto button = [this](const char* name, const QString& caption, int top, int result) {
        auto* b = named(new QPushButton(caption, this), name);
        b->setGeometry(64, top, 300, 32);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    BitBtn1_ = button("BitBtn1", QStringLiteral("Use the &nearest date"), 108, mrYes);
    BitBtn2_ = button("BitBtn2", QStringLiteral("&Only make entries if date exists"), 146, mrNo);
    BitBtn3_ = button("BitBtn3", QStringLiteral("&Cancel and choose a new date"), 184, mrCancel);
    BitBtn1_->setDefault(true);
}

int TDSDlg::askFor(int day) {
    Day_ = day;
    return ui_.execModal(this);
}

void TDSDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Notebook1_->setCurrentIndex(std::clamp(Day_, 29, 31) - 29);
    BitBtn1_->setFocus();
}

void TDSDlg::reject() { done(mrCancel); }

}  // namespace orv
