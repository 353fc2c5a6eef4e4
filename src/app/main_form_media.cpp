// The main window's monthly picture, its sound or movie, the background textures, the Options window's
// results and the title ticker. The rest of the main window is in main_form.cpp.

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

#include "app/app_state.h"
#include "app/artwork_list.h"
#include "app/forms.h"
#include "app/image_dlg.h"
#include "app/img_holder.h"
#include "app/main_form.h"
#include "app/month_media.h"
#include "app/month_media_player.h"
#include "app/option_dlg.h"
#include "app/picture_layout.h"
#include "app/picture_loader.h"
#include "app/texture_paint_box.h"
#include "common/error_guard.h"
#include "common/ui_seams.h"
#include "store/cal_db.h"
#include "ticker/remind_dlg.h"

namespace orv {
namespace {

// A double click on the picture enlarges it.
class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(QObject* parent, std::function<void()> action) : QObject(parent), action_(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonDblClick) {
            action_();
            return true;
        }
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void()> action_;
};

}  // namespace

void TCalMainForm::buildPictureParts() {
    // The six paint boxes lie under every other control of their panels.
    QWidget* under[6] = {Panel1, Panel2, Panel4, Panel6, Panel8, Panel5};
    for (int k = 0; k < 6; ++k) pb[k] = new TexturePaintBox(under[k], under[k] == Panel8);

    MediaPlayer1 = new MonthMediaPlayer(MediaBtn, pButton, ImgPanel, PicMain, MediaPlaying, LoopSetting, LoopActive,
                                        this);
    PicMain->installEventFilter(new DoubleClickFilter(this, [this] { PictBtnClick(); }));
    connect(OptionBtn, &QPushButton::clicked, this, [this] { OptionBtnClick(); });
    loadMonthPicture = [this](int month) { loadPicture(month); };

    ArtworkList = BuildArtworkList(state().ArtworkFolder);
}

void TCalMainForm::loadPicture(int month) {
    if (month < 1 || month > static_cast<int>(ArtworkList.size())) {
        // No artwork at all: an empty frame, and no media.
        PicMain->clear();
        MediaPlayer1->setMonthMedia(std::nullopt);
        return;
    }
    const std::string& path = ArtworkList[static_cast<size_t>(month - 1)];
    // 1. The holder keeps the picture at its natural size.
    if (TImgHolder* holder = forms().ImgHolder) holder->loadPicture(path, this);
    // 2. PicMain, decoded the fast way, stretched over the frame.
    PictureLoader loader;
    loader.fastIntegerDct = true;
    loader.target = uiSeams().screenGeometry().size();
    if (const auto picture = loader.load(path)) PicMain->setPixmap(QPixmap::fromImage(picture->image));
    else showInformation(this, failedToLoadMessage(path));
    // 3.
    LayoutPicture();
    // 4.
    MediaPlayer1->setMonthMedia(FindMonthMedia(path));
}

void TCalMainForm::LayoutPicture() {
    const TImgHolder* holder = forms().ImgHolder;
    const QSize natural = holder ? holder->naturalSize() : PicMain->pixmap().size();
    if (const auto r = orv::LayoutPicture(natural.width(), natural.height(), sizeGroupIndex(state().Size),
                                          Panel1->width()))
        ImgPanel->setGeometry(r->left, r->top, r->width, r->height);
    PicMain->setGeometry(ImgPanel->contentsRect());
}

void TCalMainForm::PictBtnClick() {
    TImageDlg* dlg = forms().ImageDlg;
    if (!dlg || PicMain->pixmap().isNull()) return;
    const TImgHolder* holder = forms().ImgHolder;
    const QSize natural = holder && !holder->naturalSize().isEmpty() ? holder->naturalSize() : PicMain->pixmap().size();
    dlg->setPicture(PicMain->pixmap().toImage(), natural);
    uiSeams().execModal(dlg);
    RefreshWindow();
}

void TCalMainForm::MediaBtnClick() { MediaPlayer1->MediaBtnClick(); }

void TCalMainForm::MediaPlayer1Notify() { MediaPlayer1->MediaPlayer1Notify(); }

void TCalMainForm::OptionBtnClick() {
    TOptionDlg* options = forms().OptionDlg;
    if (!options) return;
    const int r = uiSeams().execModal(options);
    if (r == mrOk) CentreTitle();
    LayoutPicture();
    if (r == TOptionDlg::mrPrint && printPreviewHook) {
        hide();
        guarded(this, [&] { printPreviewHook(); });
        show();
    }
    if (r == TOptionDlg::mrBackup) {
        guarded(this, [&] { calDb().FlushCurrentCalendar(); });
        int answer = mrCancel;
        if (backupRestoreHook)
            guarded(this, [&] { answer = backupRestoreHook(state().calendars.DataFolder, "*.dbx"); });
        if (answer == TOptionDlg::mrBackup) {
            showInformation(this, QStringLiteral("Orvella will now have to close to\ncomplete the Restore process."));
            guarded(this, [&] { calDb().OpenCurrentCalendar(); });
            close();
            return;
        }
        guarded(this, [&] { calDb().OpenCurrentCalendar(); });
    }
    RefreshDayMarks();
    if (TRemindDlg* remind = forms().RemindDlg) guarded(this, [&] { remind->BuildTicker(); });
}

void TCalMainForm::startTicker() {
    TRemindDlg* remind = forms().RemindDlg;
    if (!remind) return;
    guarded(this, [&] {
        remind->LoadSecondList();
        remind->placeOver(this);
        remind->show();
        remind->BuildTicker();
        remind->hide();
    });
}

}  // namespace orv
