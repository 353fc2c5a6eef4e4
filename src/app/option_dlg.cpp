#include "app/option_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "app/background_textures.h"
#include "app/picture_layout.h"
#include "app/start_link.h"
#include "common/app_context.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"
#include "program/program.h"

namespace orv {
namespace {

constexpr int kWidth = 432;
constexpr int kHeight = 300;
constexpr int kSample = 50;  // the textures are 50 x 50

}  // namespace

TOptionDlg::TOptionDlg(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setWindowTitle(QStringLiteral("Options..."));
    setFixedSize(kWidth, kHeight);
    setFont(sansSerifFont(11, true));

    rgDisplay_ = named(new QGroupBox(QStringLiteral(" Calendar Display "), this), "rgDisplay");
    rgDisplay_->setGeometry(10, 8, 200, 66);
    setHint(rgDisplay_, QStringLiteral("Select start day for main calendar"));
    rbSunday_ = named(new QRadioButton(QStringLiteral("Week starts with Sunday"), rgDisplay_), "rbSunday");
    rbSunday_->setGeometry(10, 20, 184, 18);
    rbMonday_ = named(new QRadioButton(QStringLiteral("Week starts with Monday"), rgDisplay_), "rbMonday");
    rbMonday_->setGeometry(10, 40, 184, 18);
    displayGroup_ = new QButtonGroup(this);
    displayGroup_->addButton(rbSunday_, 0);
    displayGroup_->addButton(rbMonday_, 1);
    rbSunday_->setChecked(true);
    for (QRadioButton* rb : {rbSunday_, rbMonday_}) setHint(rb, QStringLiteral("Select start day for main calendar"));
    connect(displayGroup_, &QButtonGroup::idClicked, this, [this](int) { rgDisplayClick(); });

    cbAuto_ = named(new QCheckBox(QStringLiteral("Start calendar automatically"), this), "cbAuto");
    cbAuto_->setGeometry(14, 82, 196, 18);
    cbAuto_->setChecked(true);
    setHint(cbAuto_, QStringLiteral("Check to make Orvella start when Windows starts up"));
    cbDots_ = named(new QCheckBox(QStringLiteral("Show dots in main calendar"), this), "cbDots");
    cbDots_->setGeometry(14, 104, 196, 18);
    cbDots_->setChecked(true);
    setHint(cbDots_, QStringLiteral("Check to show a dot in the calendar when a day has an entry"));
    connect(cbDots_, &QCheckBox::toggled, this, [this](bool on) { context_.program().settings.ShowUsage = on; });

    // The size group lies above the window's top edge, so the user never sees or changes it.
    rgSize_ = named(new QGroupBox(QStringLiteral(" Calendar Size "), this), "rgSize");
    rgSize_->setGeometry(10, -80, 200, 66);
    setHint(rgSize_, QStringLiteral("Select calendar size"));
    rbSmall_ = named(new QRadioButton(QStringLiteral("Small [640x480]"), rgSize_), "rbSmall");
    rbSmall_->setGeometry(10, 20, 184, 18);
    rbLarge_ = named(new QRadioButton(QStringLiteral("Large [800x600+ screens]"), rgSize_), "rbLarge");
    rbLarge_->setGeometry(10, 40, 184, 18);
    sizeGroup_ = new QButtonGroup(this);
    sizeGroup_->addButton(rbSmall_, 0);
    sizeGroup_->addButton(rbLarge_, 1);
    connect(sizeGroup_, &QButtonGroup::idClicked, this, [this](int id) { context_.program().settings.Size = id; });

    PrintBtn_ = named(new QPushButton(QStringLiteral("Print Page For This Month"), this), "PrintBtn");
    PrintBtn_->setGeometry(222, 14, 200, 27);
    setHint(PrintBtn_, QStringLiteral("Print the calendar page for the selected month"));
    connect(PrintBtn_, &QPushButton::clicked, this, [this] { done(mrPrint); });
    BitBtn3_ = named(new QPushButton(QStringLiteral("Appointments, Dates And Events"), this), "BitBtn3");
    BitBtn3_->setGeometry(222, 48, 200, 27);
    setHint(BitBtn3_, QStringLiteral("Enter/View Birthdays, Anniversaries and Other Important Dates"));
    connect(BitBtn3_, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    BackupBtn_ = named(new QPushButton(QStringLiteral("Backup/Restore Calendars"), this), "BackupBtn");
    BackupBtn_->setGeometry(222, 82, 200, 27);
    setHint(BackupBtn_, QStringLiteral("Backup or restore calendar data"));
    connect(BackupBtn_, &QPushButton::clicked, this, [this] { done(mrBackup); });
    // Beside OK and Cancel, where the window has room for a door of the same size as the others.
    SyncBtn_ = named(new QPushButton(QStringLiteral("Calendar Server..."), this), "SyncBtn");
    SyncBtn_->setGeometry(14, kHeight - 37, 200, 27);
    setHint(SyncBtn_, QStringLiteral("Keep this calendar in step with a CalDAV server"));
    connect(SyncBtn_, &QPushButton::clicked, this, [this] { emit syncWindowRequested(); });

    lBackground_ = named(new QLabel(QStringLiteral("Choose calendar background"), this), "lBackground");
    lBackground_->setGeometry(14, 138, 300, 18);
    tileGroup_ = new QButtonGroup(this);
    tileGroup_->setExclusive(true);
    // Five buttons of 58 x 58, each over its 50 x 50 sample, 68 pixels apart.
    sbBrown_ = textureButton("sbBrown", 0, 14, 160);
    sbPink_ = textureButton("sbPink", 1, 82, 160);
    sbGreen_ = textureButton("sbGreen", 2, 150, 160);
    sbBlue_ = textureButton("sbBlue", 3, 218, 160);
    sbGrey_ = textureButton("sbGrey", 4, 286, 160);
    sbNone_ = named(new QPushButton(QStringLiteral("Your System Colors"), this), "sbNone");
    sbNone_->setGeometry(14, 226, 340, 25);
    sbNone_->setCheckable(true);
    setHint(sbNone_, QStringLiteral("Set background texture"));
    tileGroup_->addButton(sbNone_, 5);
    connect(sbNone_, &QPushButton::clicked, this, [this] { sbClick(5); });
    // The white texture is kept for the print preview and never shown here.
    i_[5] = named(new QLabel(this), "i6");
    i_[5]->setPixmap(QPixmap::fromImage(backgroundTextures().image(BackgroundTextures::kWhite, devicePixelRatioF())));
    i_[5]->setGeometry(0, 0, kSample, kSample);
    i_[5]->hide();

    BitBtn1_ = named(new QPushButton(QStringLiteral("OK"), this), "BitBtn1");
    BitBtn1_->setGeometry(kWidth - 180, kHeight - 37, 80, 27);
    BitBtn1_->setDefault(true);
    connect(BitBtn1_, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    BitBtn2_ = named(new QPushButton(QStringLiteral("Cancel"), this), "BitBtn2");
    BitBtn2_->setGeometry(kWidth - 92, kHeight - 37, 80, 27);
    connect(BitBtn2_, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

QToolButton* TOptionDlg::textureButton(const char* name, int tile, int x, int y) {
    auto* button = named(new QToolButton(this), name);
    button->setGeometry(x, y, kSample + 8, kSample + 8);
    button->setCheckable(true);
    button->setAutoRaise(true);
    setHint(button, QStringLiteral("Set background texture"));
    auto* sample = new QLabel(button);
    sample->setObjectName(QStringLiteral("i%1").arg(tile + 1));
    sample->setGeometry(4, 4, kSample, kSample);
    sample->setPixmap(QPixmap::fromImage(backgroundTextures().image(tile, devicePixelRatioF())));
    sample->setAttribute(Qt::WA_TransparentForMouseEvents);
    i_[tile] = sample;
    tileGroup_->addButton(button, tile);
    connect(button, &QToolButton::clicked, this, [this, tile] { sbClick(tile); });
    return button;
}

int TOptionDlg::displayIndex() const { return displayGroup_->checkedId(); }

void TOptionDlg::setDisplayIndex(int index) {
    if (index == displayIndex()) return;
    if (QAbstractButton* b = displayGroup_->button(index)) b->setChecked(true);
    rgDisplayClick();
}

int TOptionDlg::sizeIndex() const { return sizeGroup_->checkedId(); }

void TOptionDlg::setSizeIndex(int storedSize) {
    const int index = sizeGroupIndex(storedSize);
    if (QAbstractButton* b = sizeGroup_->button(index)) {
        b->setChecked(true);
    } else {
        sizeGroup_->setExclusive(false);
        rbSmall_->setChecked(false);
        rbLarge_->setChecked(false);
        sizeGroup_->setExclusive(true);
    }
}

void TOptionDlg::RestoreOptions() {
    AutostartOptions stored{cbAuto_->isChecked(), displayIndex() < 0 ? 0 : displayIndex()};
    if (!guarded(context_.ui(), this, [&] { stored.load(context_.program().settingsFile()); })) return;
    cbAuto_->setChecked(stored.cbAutoChecked);
    setDisplayIndex(stored.rgDisplayItemIndex);
}

void TOptionDlg::SaveOptions() {
    const AutostartOptions options{cbAuto_->isChecked(), displayIndex() < 0 ? 0 : displayIndex()};
    guarded(context_.ui(), this, [&] { options.save(context_.program().settingsFile()); });
}

void TOptionDlg::FormActivate() {
    SavedTile_ = context_.program().settings.Tile;
    if (QAbstractButton* b = tileGroup_->button(SavedTile_)) b->setChecked(true);
}

void TOptionDlg::showEvent(QShowEvent* e) {
    closing_ = false;
    // The check box and the size group show the program's settings, the stored section the rest.
    cbDots_->setChecked(context_.program().settings.ShowUsage);
    setSizeIndex(context_.program().settings.Size);
    RestoreOptions();
    FormActivate();
    QDialog::showEvent(e);
}

void TOptionDlg::sbClick(int tile) {
    context_.program().settings.Tile = tile;
    emit textureChosen();
}

void TOptionDlg::rgDisplayClick() {
    if (displayIndex() >= 0) emit weekStartChosen(displayIndex());
}

void TOptionDlg::BitBtn1Click() {
    const bool on = cbAuto_->isChecked();
    try {
        if (on) CreateStartLink(context_.program().programFolder());
        else DeleteStartLink();
    } catch (const std::exception& e) {
        // The other choices still count; the user only has to know that this one did not happen.
        context_.ui().error(this, (on ? QStringLiteral("Orvella could not be set to start automatically.")
                                      : QStringLiteral("Orvella could not be kept from starting automatically.")) +
                                      QStringLiteral("\n\n") + QString::fromUtf8(e.what()));
    }
    done(mrOk);
}

void TOptionDlg::BitBtn2Click() {
    if (context_.program().settings.Tile != SavedTile_) {
        context_.program().settings.Tile = SavedTile_;
        emit textureChosen();
    }
    done(mrCancel);
}

void TOptionDlg::BitBtn3Click() {
    CalDb& store = context_.program().store;
    guarded(context_.ui(), this, [&] {
        // Days deleted since the last flush stay deleted while the yearly dates are stamped.
        store.FlushCurrentCalendar();
        store.OpenCurrentCalendar();
        emit yearlyDatesRequested();
        store.FlushCurrentCalendar();
    });
    done(mrOk);
}

void TOptionDlg::reject() { BitBtn2Click(); }

void TOptionDlg::done(int result) {
    // Every way of closing stores the choices, once.
    if (!closing_) {
        closing_ = true;
        SaveOptions();
    }
    QDialog::done(result);
}

}  // namespace orv
