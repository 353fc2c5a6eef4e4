#include "app/app_state.h"
#include "events/check_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "app/forms.h"
#include "common/error_guard.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "events/entry_stamper.h"
#include "events/occurrence_list_model.h"
#include "store/cal_db.h"

namespace orv {
namespace {

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TCheckDlg::TCheckDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Check Results..."));
    setFont(sansSerifFont(13));
    setFixedSize(340, 420);

    Label1 = new QLabel(QStringLiteral("Check Accuracy Of Repeating Events"), this);
    Label1->setGeometry(12, 10, 316, 24);
    Label1->setFont(arialFont(15, true));
    Label1->setAlignment(Qt::AlignCenter);

    model_ = new OccurrenceListModel(this);
    lbDates = new QListView(this);
    lbDates->setGeometry(12, 42, 316, 322);
    lbDates->setModel(model_);
    lbDates->setUniformItemSizes(true);  // hundreds of thousands of rows stay quick
    lbDates->setEditTriggers(QAbstractItemView::NoEditTriggers);

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    BitBtn2->setGeometry(124, 376, 100, 32);
    BitBtn2->setAutoDefault(false);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn1->setGeometry(228, 376, 100, 32);
    BitBtn1->setDefault(true);

    connect(BitBtn1, &QPushButton::clicked, this, &TCheckDlg::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TCheckDlg::reject);

    forms().CheckDlg = this;
}

TCheckDlg::~TCheckDlg() {
    if (forms().CheckDlg == this) forms().CheckDlg = nullptr;
}

void TCheckDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    model_->setDates(Dates, systemDateNames());
    lbDates->scrollToTop();
    QTimer::singleShot(0, lbDates, [this] { lbDates->scrollToTop(); });  // again once laid out
    BitBtn1->setFocus();
}

void TCheckDlg::reject() { done(mrCancel); }

void TCheckDlg::BitBtn1Click() {
    bool close = false;
    guarded(this, [this, &close] {
        StampResult r;
        {
            WaitCursor wait;
            r = stampRepetition(appState().store, Dates, EntryLine);
        }
        if (r.refused) {
            showError(this, QString::fromStdString(capacityMessage(r)));
            return;
        }
        if (!r.tooLong.empty()) {
            std::vector<int> skipped;
            for (const size_t i : r.tooLong) skipped.push_back(Dates[i]);
            showWarning(this, fromCp1252(tooLongMessage(skipped, systemDateNames())));
        }
        close = true;
    });
    if (close) done(mrOk);
}

}  // namespace orv
