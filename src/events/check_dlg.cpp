#include "events/check_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "common/app_context.h"
#include "common/button_glyphs.h"
#include "common/error_guard.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/wait_cursor.h"
#include "common/widgets.h"
#include "events/entry_stamper.h"
#include "events/occurrence_list_model.h"
#include "program/program.h"

namespace orv {
TCheckDlg::TCheckDlg(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setWindowTitle(QStringLiteral("Check Results..."));
    setFont(sansSerifFont(13));
    setFixedSize(340, 420);

    Label1_ = named(new QLabel(QStringLiteral("Check Accuracy Of Repeating Events"), this), "Label1");
    Label1_->setGeometry(12, 10, 316, 24);
    Label1_->setFont(arialFont(15, true));
    Label1_->setAlignment(Qt::AlignCenter);

    model_ = new OccurrenceListModel(this);
    lbDates_ = named(new QListView(this), "lbDates");
    lbDates_->setGeometry(12, 42, 316, 322);
    lbDates_->setModel(model_);
    lbDates_->setUniformItemSizes(true);  // hundreds of thousands of rows stay quick
    lbDates_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    BitBtn2_ = named(new QPushButton(cancelGlyph(), QStringLiteral("Cancel"), this), "BitBtn2");
    BitBtn2_->setGeometry(124, 376, 100, 32);
    BitBtn2_->setAutoDefault(false);
    BitBtn1_ = named(new QPushButton(okGlyph(), QStringLiteral("OK"), this), "BitBtn1");
    BitBtn1_->setGeometry(228, 376, 100, 32);
    BitBtn1_->setDefault(true);

    connect(BitBtn1_, &QPushButton::clicked, this, &TCheckDlg::BitBtn1Click);
    connect(BitBtn2_, &QPushButton::clicked, this, &TCheckDlg::reject);
}

int TCheckDlg::checkAndStamp(std::vector<int> dates, std::string line) {
    Dates_ = std::move(dates);
    EntryLine_ = std::move(line);
    const int answer = context_.ui().execModal(this);
    Dates_.clear();
    Dates_.shrink_to_fit();
    return answer;
}

void TCheckDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    model_->setDates(Dates_, systemDateNames());
    lbDates_->scrollToTop();
    QTimer::singleShot(0, lbDates_, [this] { lbDates_->scrollToTop(); });  // again once laid out
    BitBtn1_->setFocus();
}

void TCheckDlg::reject() { done(mrCancel); }

void TCheckDlg::BitBtn1Click() {
    bool close = false;
    UiSeams& ui = context_.ui();
    guarded(ui, this, [&] {
        StampResult r;
        {
            WaitCursor wait;
            r = stampRepetition(context_.program().store, Dates_, EntryLine_);
        }
        if (r.refused) {
            ui.error(this, QString::fromStdString(capacityMessage(r)));
            return;
        }
        if (!r.tooLong.empty()) {
            std::vector<int> skipped;
            for (const size_t i : r.tooLong) skipped.push_back(Dates_[i]);
            ui.warning(this, fromText(tooLongMessage(skipped, systemDateNames())));
        }
        close = true;
    });
    if (close) done(mrOk);
}

}  // namespace orv
