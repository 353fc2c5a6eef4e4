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

#include "app/app_state.h"
#include "app/background_textures.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/picture_layout.h"
#include "app/rx_calendar_ex.h"
#include "app/start_link.h"
#include "app/texture_paint_box.h"
#include "common/clock.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "events/annual_dlg.h"
#include "store/cal_db.h"

namespace orv {
namespace {

constexpr int kWidth = 432;
constexpr int kHeight = 300;
constexpr int kSample = 50;  // the textures are 50 x 50

}  // namespace

TOptionDlg::TOptionDlg(QWidget* parent) : QDialog(parent) {
    forms().OptionDlg = this;
    setWindowTitle(QStringLiteral("Options..."));
    setFixedSize(kWidth, kHeight);
    setFont(sansSerifFont(11, true));

    rgDisplay = new QGroupBox(QStringLiteral(" Calendar Display "), this);
    rgDisplay->setGeometry(10, 8, 200, 66);
    setHint(rgDisplay, QStringLiteral("Select start day for main calendar"));
    rbSunday = new QRadioButton(QStringLiteral("Week starts with Sunday"), rgDisplay);
    rbSunday->setGeometry(10, 20, 184, 18);
    rbMonday = new QRadioButton(QStringLiteral("Week starts with Monday"), rgDisplay);
    rbMonday->setGeometry(10, 40, 184, 18);
    displayGroup_ = new QButtonGroup(this);
    displayGroup_->addButton(rbSunday, 0);
    displayGroup_->addButton(rbMonday, 1);
    rbSunday->setChecked(true);
    for (QRadioButton* rb : {rbSunday, rbMonday}) setHint(rb, QStringLiteral("Select start day for main calendar"));
    connect(displayGroup_, &QButtonGroup::idClicked, this, [this](int) { rgDisplayClick(); });

    cbAuto = new QCheckBox(QStringLiteral("Start calendar automatically"), this);
    cbAuto->setGeometry(14, 82, 196, 18);
    cbAuto->setChecked(true);
    setHint(cbAuto, QStringLiteral("Check to make Orvella start when Windows starts up"));
    cbDots = new QCheckBox(QStringLiteral("Show dots in main calendar"), this);
    cbDots->setGeometry(14, 104, 196, 18);
    cbDots->setChecked(true);
    setHint(cbDots, QStringLiteral("Check to show a dot in the calendar when a day has an entry"));
    connect(cbDots, &QCheckBox::toggled, this, [](bool on) { appState().settings.ShowUsage = on; });

    // The size group lies above the window's top edge, so the user never sees or changes it.
    rgSize = new QGroupBox(QStringLiteral(" Calendar Size "), this);
    rgSize->setGeometry(10, -80, 200, 66);
    setHint(rgSize, QStringLiteral("Select calendar size"));
    rbSmall = new QRadioButton(QStringLiteral("Small [640x480]"), rgSize);
    rbSmall->setGeometry(10, 20, 184, 18);
    rbLarge = new QRadioButton(QStringLiteral("Large [800x600+ screens]"), rgSize);
    rbLarge->setGeometry(10, 40, 184, 18);
    sizeGroup_ = new QButtonGroup(this);
    sizeGroup_->addButton(rbSmall, 0);
    sizeGroup_->addButton(rbLarge, 1);
    connect(sizeGroup_, &QButtonGroup::idClicked, this, [](int id) { appState().settings.Size = id; });

    PrintBtn = new QPushButton(QStringLiteral("Print Page For This Month"), this);
    PrintBtn->setGeometry(222, 14, 200, 27);
    setHint(PrintBtn, QStringLiteral("Print the calendar page for the selected month"));
    connect(PrintBtn, &QPushButton::clicked, this, [this] { done(mrPrint); });
    BitBtn3 = new QPushButton(QStringLiteral("Appointments, Dates And Events"), this);
    BitBtn3->setGeometry(222, 48, 200, 27);
    setHint(BitBtn3, QStringLiteral("Enter/View Birthdays, Anniversaries and Other Important Dates"));
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    BackupBtn = new QPushButton(QStringLiteral("Backup/Restore Calendars"), this);
    BackupBtn->setGeometry(222, 82, 200, 27);
    setHint(BackupBtn, QStringLiteral("Backup or restore calendar data"));
    connect(BackupBtn, &QPushButton::clicked, this, [this] { done(mrBackup); });

    lBackground = new QLabel(QStringLiteral("Choose calendar background"), this);
    lBackground->setGeometry(14, 138, 300, 18);
    tileGroup_ = new QButtonGroup(this);
    tileGroup_->setExclusive(true);
    // Five buttons of 58 x 58, each over its 50 x 50 sample, 68 pixels apart.
    sbBrown = textureButton(0, 14, 160);
    sbPink = textureButton(1, 82, 160);
    sbGreen = textureButton(2, 150, 160);
    sbBlue = textureButton(3, 218, 160);
    sbGrey = textureButton(4, 286, 160);
    sbNone = new QPushButton(QStringLiteral("Your System Colors"), this);
    sbNone->setGeometry(14, 226, 340, 25);
    sbNone->setCheckable(true);
    setHint(sbNone, QStringLiteral("Set background texture"));
    tileGroup_->addButton(sbNone, 5);
    connect(sbNone, &QPushButton::clicked, this, [this] { sbClick(5); });
    // The white texture is kept for the print preview and never shown here.
    i[5] = new QLabel(this);
    i[5]->setPixmap(QPixmap::fromImage(backgroundTextures().image(BackgroundTextures::kWhite)));
    i[5]->setGeometry(0, 0, kSample, kSample);
    i[5]->hide();

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setGeometry(kWidth - 180, kHeight - 37, 80, 27);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->setGeometry(kWidth - 92, kHeight - 37, 80, 27);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });

    applyWeekStart = [](int startOfWeek) {
        if (TCalMainForm* main = forms().CalMainForm) main->Cal->SetStartOfWeek(startOfWeek);
    };
    gridDate = [] {
        TCalMainForm* main = forms().CalMainForm;
        return main ? main->Cal->CalendarDate() : appState().today();
    };
    flushStore = [] { appState().store.FlushCurrentCalendar(); };
    openStore = [] { appState().store.OpenCurrentCalendar(); };
    showYearlyDates = [](int startDate) {
        if (TAnnualDlg* annual = forms().AnnualDlg) annual->ShowBirthdays(startDate);
    };
    settingsFile = [] { return appState().settingsFile(); };
    createStartLink = [] { CreateStartLink(appState().programFolder()); };
    deleteStartLink = [] { DeleteStartLink(); };
}

TOptionDlg::~TOptionDlg() {
    if (forms().OptionDlg == this) forms().OptionDlg = nullptr;
}

QToolButton* TOptionDlg::textureButton(int tile, int x, int y) {
    auto* button = new QToolButton(this);
    button->setGeometry(x, y, kSample + 8, kSample + 8);
    button->setCheckable(true);
    button->setAutoRaise(true);
    setHint(button, QStringLiteral("Set background texture"));
    auto* sample = new QLabel(button);
    sample->setGeometry(4, 4, kSample, kSample);
    sample->setPixmap(QPixmap::fromImage(backgroundTextures().image(tile)));
    sample->setAttribute(Qt::WA_TransparentForMouseEvents);
    i[tile] = sample;
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
        rbSmall->setChecked(false);
        rbLarge->setChecked(false);
        sizeGroup_->setExclusive(true);
    }
}

void TOptionDlg::RestoreOptions() {
    AutostartOptions stored{cbAuto->isChecked(), displayIndex() < 0 ? 0 : displayIndex()};
    if (!guarded(this, [&] { stored.load(settingsFile()); })) return;
    cbAuto->setChecked(stored.cbAutoChecked);
    setDisplayIndex(stored.rgDisplayItemIndex);
}

void TOptionDlg::SaveOptions() {
    const AutostartOptions options{cbAuto->isChecked(), displayIndex() < 0 ? 0 : displayIndex()};
    guarded(this, [&] { options.save(settingsFile()); });
}

void TOptionDlg::FormActivate() {
    SavedTile = appState().settings.Tile;
    if (QAbstractButton* b = tileGroup_->button(SavedTile)) b->setChecked(true);
}

void TOptionDlg::showEvent(QShowEvent* e) {
    closing_ = false;
    // The check box and the size group show the program's settings, the stored section the rest.
    cbDots->setChecked(appState().settings.ShowUsage);
    setSizeIndex(appState().settings.Size);
    RestoreOptions();
    FormActivate();
    QDialog::showEvent(e);
}

void TOptionDlg::sbClick(int tile) {
    appState().settings.Tile = tile;
    TexturePaintBox::repaintAll();
}

void TOptionDlg::rgDisplayClick() {
    if (applyWeekStart && displayIndex() >= 0) applyWeekStart(displayIndex());
}

void TOptionDlg::BitBtn1Click() {
    if (cbAuto->isChecked()) swallowed([&] { createStartLink(); });
    else swallowed([&] { deleteStartLink(); });
    done(mrOk);
}

void TOptionDlg::BitBtn2Click() {
    if (appState().settings.Tile != SavedTile) {
        appState().settings.Tile = SavedTile;
        TexturePaintBox::repaintAll();
    }
    done(mrCancel);
}

void TOptionDlg::BitBtn3Click() {
    guarded(this, [&] {
        // Days deleted since the last flush stay deleted while the yearly dates are stamped.
        flushStore();
        openStore();
        showYearlyDates(gridDate());
        flushStore();
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
