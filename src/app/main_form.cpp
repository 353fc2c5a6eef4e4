#include "app/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "app/artwork_list.h"
#include "app/img_holder.h"
#include "app/month_media.h"
#include "app/month_media_player.h"
#include "app/option_dlg.h"
#include "app/picture_layout.h"
#include "app/picture_loader.h"
#include "app/picture_read_ahead.h"
#include "app/rx_calendar_ex.h"
#include "app/texture_paint_box.h"
#include "app/warn2_dlg.h"
#include "backup/restore_journal.h"
#include "common/app_context.h"
#include "common/day_number.h"
#include "common/error_guard.h"
#include "common/file_util.h"
#include "common/hint_router.h"
#include "common/ini_file.h"
#include "common/io_error.h"
#include "common/painted_glyph.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"
#include "common/window_place.h"
#include "program/program.h"
#include "program/settings_file.h"
#include "store/cal_db.h"

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

constexpr int kClientWidth = 474;
constexpr int kClientHeight = 541;
constexpr int kStripHeight = 47;

// The small picture of the top strip: a calendar leaf.
QIcon calendarLeaf() {
    return PaintedGlyph::icon(QSize(35, 31), [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(3.5, 4.5, 28, 25), 3, 3);
        p.setBrush(QColor(200, 40, 40));
        p.drawRect(QRectF(3.5, 4.5, 28, 8));
        p.setPen(QColor(40, 40, 40));
        p.setFont(arialFont(12, true));
        p.drawText(QRect(3, 12, 29, 17), Qt::AlignCenter, QStringLiteral("31"));
    });
}

// The year field steps backwards: its upper arrow and the Up key go to the previous year.
class ReversedSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    void stepBy(int steps) override { QSpinBox::stepBy(-steps); }
    QLineEdit* editor() const { return lineEdit(); }

protected:
    StepEnabled stepEnabled() const override {
        const StepEnabled plain = QSpinBox::stepEnabled();
        StepEnabled swapped;
        if (plain & StepUpEnabled) swapped |= StepDownEnabled;
        if (plain & StepDownEnabled) swapped |= StepUpEnabled;
        return swapped;
    }
};

QColor monthViewBlue() { return QColor(0, 0, 255); }

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint, int x, int y,
                    int w) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setGeometry(x, y, w, 23);
    b->setFont(sansSerifFont(11, true));
    setHint(b, hint);
    return b;
}

}  // namespace

TCalMainForm::TCalMainForm(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      context_(context) {
    FormCreate();
}

TCalMainForm::~TCalMainForm() { context_.hints().popDisplay(this); }

Program& TCalMainForm::program() const { return context_.program(); }

void TCalMainForm::FormCreate() {
    setWindowTitle(QStringLiteral("Orvella Daymark & Personal Planner"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(sansSerifFont(13, true));
    buildTopStrip();
    buildClientPanel();
    buildMonthView();

    tFlash_ = named(new QTimer(this), "tFlash");
    tFlash_->setInterval(400);
    connect(tFlash_, &QTimer::timeout, this, [this] { tFlashTimer(); });
    tDay_ = named(new QTimer(this), "tDay");
    tDay_->setInterval(6000);
    connect(tDay_, &QTimer::timeout, this, [this] { tDayTimer(); });

    // 1. The default status text.
    StatusLine_->setText(eMessage_->text());
    // 2.
    run_.LastShownMonth = 0;
    run_.LastShownYear = 0;
    run_.ToDoFlashing = false;
    run_.FirstRun = false;
    run_.FlashCounter = 0;
    run_.FirstActivation = true;
    run_.LoopActive = false;
    // 3.
    context_.hints().pushDisplay(this, [this](const QString& hint) { ShowHint(hint); });
    // 4. (the folders come with the program)
    Program& s = program();
    s.store.onPurged = [ui = &context_.ui(), form = QPointer<QWidget>(this)](int days, const std::string& archive) {
        ui->information(form, QString::fromStdString(purgeMessage(days, archive)));
    };
    // 5.
    run_.ColourDepth = context_.ui().colourDepth();
    // 6. Every start, not only the first: Qt cannot paint on a screen of 256 colours or fewer, and the first
    // window that draws text there would bring the program down.
    checkColourDepth();
    // 7.
    s.calendars.Names.clear();
    buildPictureParts();  // also builds ArtworkList
}

void TCalMainForm::checkColourDepth() {
    if (run_.ColourDepth > 8) return;
    const bool fewer = run_.ColourDepth < 8;
    const QString detected =
        fewer ? QStringLiteral("16-color mode detected.") : QStringLiteral("256-color mode detected.");
    const QString consequence = fewer ? QStringLiteral("Orvella cannot operate in 16-color mode.")
                                      : QStringLiteral("Orvella cannot operate in 256-color mode.");
    // The window itself may not be painted on such a screen: whoever started the program from a shell
    // still learns why it ends.
    qWarning().noquote() << detected << consequence;
    TWarn2 warn(this);
    warn.setLines(detected, consequence);
    context_.ui().execModal(&warn);
    startupRefused_ = true;
}

void TCalMainForm::buildTopStrip() {
    Panel5_ = named(panel(this), "Panel5");
    Panel5_->setGeometry(0, 0, kClientWidth, kStripHeight);

    Panel4_ = named(panel(Panel5_, QFrame::Panel, QFrame::Raised), "Panel4");
    Panel4_->setGeometry(0, 0, 47, kStripHeight);
    Image3_ = named(new QLabel(Panel4_), "Image3");
    Image3_->setGeometry(6, 8, 35, 31);
    Image3_->setScaledContents(true);
    Image3_->setPixmap(PaintedGlyph::pixmapFor(calendarLeaf(), Image3_->size(), this));
    Image3_->setCursor(Qt::PointingHandCursor);
    setHint(Image3_, QStringLiteral("Contact..."));

    Panel8_ = named(panel(Panel5_, QFrame::Panel, QFrame::Sunken), "Panel8");
    Panel8_->setGeometry(53, 6, 368, 35);
    Panel8_->setAutoFillBackground(true);
    Panel8_->setStyleSheet(
        QStringLiteral("QFrame { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1c3f7a, stop:0.5 #3b6fb6, "
                       "stop:1 #1c3f7a); }"));
    lTitle_ = named(new QLabel(QStringLiteral("Orvella"), Panel8_), "lTitle");
    lTitle_->setFont(arialFont(19, true));
    lTitle_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    lTitle_->adjustSize();

    Panel6_ = named(panel(Panel5_, QFrame::Panel, QFrame::Raised), "Panel6");
    Panel6_->setGeometry(kClientWidth - 47, 0, 47, kStripHeight);
    ExitBtn_ = named(new QToolButton(Panel6_), "ExitBtn");
    ExitBtn_->setGeometry(4, 6, 38, 35);
    ExitBtn_->setIcon(exitGlyph(28));
    ExitBtn_->setIconSize(QSize(30, 28));
    ExitBtn_->setAutoRaise(true);
    setHint(ExitBtn_, QStringLiteral("Close Orvella."));
    connect(ExitBtn_, &QToolButton::clicked, this, [this] { ExitBtnClick(); });
}

void TCalMainForm::buildClientPanel() {
    Panel1_ = named(panel(this, QFrame::Panel, QFrame::Raised), "Panel1");
    Panel1_->setLineWidth(4);
    Panel1_->setGeometry(0, kStripHeight, kClientWidth, kClientHeight - kStripHeight);

    ImgPanel_ = named(panel(Panel1_, QFrame::Panel, QFrame::Sunken), "ImgPanel");
    ImgPanel_->setGeometry(11, 10, 452, 300);
    PicMain_ = named(new QLabel(ImgPanel_), "PicMain");
    PicMain_->setGeometry(0, 0, 452, 300);
    PicMain_->setScaledContents(true);
    setHint(PicMain_, QStringLiteral("Double click to enlarge image. Click enlarged image to remove."));

    // The month view panel, 466 x 170, at the bottom of the 4-pixel border.
    Panel2_ = named(panel(Panel1_, QFrame::Panel, QFrame::Sunken), "Panel2");
    Panel2_->setGeometry(4, Panel1_->height() - 4 - 170, 466, 170);
    Panel2_->setFont(sansSerifFont(11, true));

    TodayBtn_ = button(Panel2_, "TodayBtn", QStringLiteral("Today"), QStringLiteral("Reset calendar to today's date."),
                       7, 41, 78);
    DeskBtn_ = button(Panel2_, "DeskBtn", QStringLiteral("Calendar"), QStringLiteral("Expand calendar to full size."),
                      7, 75, 78);
    OptionBtn_ = button(Panel2_, "OptionBtn", QStringLiteral("Options"),
                        QStringLiteral("Options and additional controls."), 7, 109, 78);
    InfoBtn_ = button(Panel2_, "InfoBtn", QStringLiteral("More Info..."),
                      QStringLiteral("About Orvella and where to find help."), 383, 41, 76);
    AboutBtn_ = button(Panel2_, "AboutBtn", QStringLiteral("Contact..."), QStringLiteral("...Corvin"), 383, 75, 76);
    ToDoBtn_ = button(Panel2_, "ToDoBtn", QStringLiteral("To &Do"),
                      QStringLiteral("Show reminders, if any, for the date selected."), 383, 109, 76);
    connect(ToDoBtn_, &QPushButton::clicked, this, [this] { ToDoBtnClick(); });
    connect(DeskBtn_, &QPushButton::clicked, this, [this] { DeskBtnClick(); });
    connect(InfoBtn_, &QPushButton::clicked, this, [this] { InfoBtnClick(); });

    StatusLine_ = named(new QLabel(Panel2_), "StatusLine");
    StatusLine_->setGeometry(8, 143, 450, 20);
    StatusLine_->setFrameShape(QFrame::Panel);
    StatusLine_->setFrameShadow(QFrame::Sunken);
    StatusLine_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pButton_ = named(panel(StatusLine_), "pButton");
    pButton_->setGeometry(450 - 2 - 17, 2, 17, 16);
    pButton_->hide();
    MediaBtn_ = named(new QToolButton(pButton_), "MediaBtn");
    MediaBtn_->setGeometry(0, 0, 17, 16);
    setHint(MediaBtn_, QStringLiteral("Click to play."));

    eMessage_ = named(new QLineEdit(this), "eMessage");
    eMessage_->hide();
    eMessage_->setText(QStringLiteral("Monthly pictures drawn by the Orvella project."));
}

void TCalMainForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!shownOnce_) {
        shownOnce_ = true;
        CalChange();
        // Without a window manager the window may never be activated; the start-up must run all the same.
        QTimer::singleShot(0, this, [this] {
            if (run_.FirstActivation) FormActivate();
        });
    }
}

bool TCalMainForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        // Runs after the activation has been delivered: the first activation may show modal windows.
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
    return QWidget::event(e);
}

void TCalMainForm::FormActivate() {
    if (activating_ || abandoned_) return;
    activating_ = true;
    if (run_.FirstActivation) firstActivation();
    if (!abandoned_) everyActivation();
    activating_ = false;
}

void TCalMainForm::firstActivation() {
    run_.FirstActivation = false;
    const int today = program().today();
    // 2. The grid goes to today (the month view brings itself up to date).
    Cal_->SetCalendarDate(today);
    run_.LastDaySeen = today;
    try {
        LoadSettings();
    } catch (const std::exception& e) {
        // Without a data folder, or with a settings or calendar list file that cannot be read, nothing
        // can be kept safely: say which file or folder, then end without writing anything.
        abandoned_ = true;
        context_.ui().error(this, QString::fromUtf8(e.what()) + QStringLiteral("\n\nOrvella will now close."));
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    guarded(context_.ui(), this, [&] {
        program().store.OpenCurrentCalendar();
        if (today > program().settings.LastAcceptedDate) run_.ToDoFlashing = program().store.FindDay(today);
        tFlash_->setInterval(400);
        if (run_.ToDoFlashing || run_.FirstRun) tFlash_->start();
        else tFlash_->stop();
        RefreshDayMarks();
    });
    emit tickerStartRequested();
    guarded(context_.ui(), this, [&] { SaveSettings(); });
    tDay_->start();
    emit dayBegan();
}

void TCalMainForm::everyActivation() {
    emit activated();
    LayoutPicture();
}

void TCalMainForm::LoadSettings() {
    Program& s = program();
    IniFile ini;
    const bool exists = ini.load(s.settingsFile());
    readSettings(ini, s, QLocale::system().dateFormat(QLocale::LongFormat).toStdString());
    const QRect screen = context_.ui().screenGeometry();
    const auto centre = [&] {
        move(screen.x() + (screen.width() - frameGeometry().width()) / 2,
             screen.y() + (screen.height() - frameGeometry().height()) / 2);
    };
    if (exists) {
        // A place that would hide the window (another screen gone, a hand-edited file) gives way to the
        // default one, and that to the middle of the screen.
        const QList<QRect> screens = context_.ui().screenAreas();
        if (!placeIsOnAScreen(s.settings.Left, s.settings.Top, size(), screens)) {
            const Settings defaults;
            s.settings.Left = defaults.Left;
            s.settings.Top = defaults.Top;
        }
        if (placeIsOnAScreen(s.settings.Left, s.settings.Top, size(), screens))
            placeWindow(this, {s.settings.Left, s.settings.Top});
        else centre();
        CentreTitle();
    } else {
        s.settings.Size = screen.height() < 500 ? 0 : 1;
        CentreTitle();
        centre();
        run_.FirstRun = true;
        tFlash_->start();
    }
    // A restore stopped while it put its files in place is finished (or taken back) before anything is read.
    if (const auto done = completeInterruptedRestore({s.calendars.DataFolder, s.programFolder()}))
        context_.ui().information(this, QString::fromUtf8(*done));
    ensureDataFolder(s);
    if (s.calendars.loadAtStartup(s.usersFile(), s.calendars.CurrentCalendarIndex)) emit firstCalendarNameRequested();
}

void TCalMainForm::SaveSettings() {
    Program& s = program();
    s.calendars.saveUsersFile(s.usersFile());
    const QPoint place = windowPlace(this);
    s.settings.Left = place.x();
    s.settings.Top = place.y();
    saveSettingsFile(s);
}

void TCalMainForm::CentreTitle() {
    lTitle_->adjustSize();
    lTitle_->move((Panel8_->width() - lTitle_->width()) / 2, (Panel8_->height() - lTitle_->height()) / 2);
    CalChange();
}

void TCalMainForm::buildMonthView() {
    // Layout of the month view panel Panel2 (466 x 170).
    cbMonth_ = named(new QComboBox(Panel2_), "cbMonth");
    cbMonth_->setGeometry(7, 9, 54, 21);
    cbMonth_->addItems({QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
                        QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
                        QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")});
    setHint(cbMonth_, QStringLiteral("Drop down list to select month (PgUp or PgDn)."));
    cbMonth_->setAccessibleName(QStringLiteral("Month"));

    sMonth_ = named(panel(Panel2_), "sMonth");
    sMonth_->setGeometry(64, 9, 21, 21);
    sMonthTop_ = named(new QToolButton(sMonth_), "sMonthTop");
    sMonthTop_->setGeometry(0, 0, 21, 11);
    sMonthTop_->setArrowType(Qt::UpArrow);
    sMonthBottom_ = named(new QToolButton(sMonth_), "sMonthBottom");
    sMonthBottom_->setGeometry(0, 11, 21, 10);
    sMonthBottom_->setArrowType(Qt::DownArrow);
    // The two arrows share one hint; a screen reader tells them apart by these.
    sMonthTop_->setAccessibleName(QStringLiteral("Previous month"));
    sMonthBottom_->setAccessibleName(QStringLiteral("Next month"));
    for (QWidget* w :
         {static_cast<QWidget*>(sMonth_), static_cast<QWidget*>(sMonthTop_), static_cast<QWidget*>(sMonthBottom_)})
        setHint(w, QStringLiteral("Click buttons to change month (PgUp or PgDn)."));

    Cal_ = named(new TRxCalendarEx(program().today(), Panel2_), "Cal");
    Cal_->setGeometry(92, 10, 282, 127);
    Cal_->SetStartOfWeek(0);
    Cal_->SetWeekends(kSaturdayAndSunday);

    auto* year = new ReversedSpinBox(Panel2_);
    seYear_ = named(year, "seYear");
    seYear_->setGeometry(383, 9, 78, 21);
    seYear_->setRange(1800, 9999);
    seYear_->setValue(std::clamp(Cal_->Year(), 1800, 9999));
    setHint(seYear_, QStringLiteral("Click buttons to change year (Ctrl+PgUp or Ctrl+PgDn)."));
    seYear_->setAccessibleName(QStringLiteral("Year"));

    // The month list and the year field are blue and bold.
    for (QWidget* w : {static_cast<QWidget*>(cbMonth_), static_cast<QWidget*>(seYear_)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Text, monthViewBlue());
        pal.setColor(QPalette::ButtonText, monthViewBlue());
        w->setPalette(pal);
        w->setFont(sansSerifFont(11, true));
    }

    // The invisible "Keys" menu: its shortcuts reach the window whatever control has the focus.
    Keys_ = named(new QMenu(QStringLiteral("Keys"), this), "Keys");
    auto key = [this](const char* name, const QString& caption, const QKeySequence& keys) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        Keys_->addAction(a);
        addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { Up1Click(a); });
        return a;
    };
    MnthDn1_ = key("MnthDn1", QStringLiteral("MnthDn"), QKeySequence(Qt::Key_PageDown));
    MnthUp1_ = key("MnthUp1", QStringLiteral("MnthUp"), QKeySequence(Qt::Key_PageUp));
    YearDn1_ = key("YearDn1", QStringLiteral("YearDn"), QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    YearUp1_ = key("YearUp1", QStringLiteral("YearUp"), QKeySequence(Qt::CTRL | Qt::Key_PageUp));

    connect(Cal_, &TRxCalendarEx::OnChange, this, [this] { CalChange(); });
    connect(Cal_, &TRxCalendarEx::doubleClicked, this, [this] { ToDoBtnClick(); });
    connect(cbMonth_, &QComboBox::currentIndexChanged, this, [this] { cbMonthChange(); });
    // Every keystroke counts, also those that leave the field below its range for a moment; the field's
    // own steps and values put into it change its text without a keystroke.
    connect(year->editor(), &QLineEdit::textChanged, this, [this] { seYearChange(); });
    connect(seYear_, &QSpinBox::textChanged, this, [this] { seYearChange(); });
    connect(sMonthTop_, &QToolButton::clicked, this, [this] { sMonthTopClick(); });
    connect(sMonthBottom_, &QToolButton::clicked, this, [this] { sMonthBottomClick(); });
    connect(TodayBtn_, &QPushButton::clicked, this, [this] { TodayBtnClick(); });
    connect(AboutBtn_, &QPushButton::clicked, this, [this] { AboutBtnClick(); });
    Image3_->installEventFilter(this);
}

bool TCalMainForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Image3_ && e->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton && Image3_->rect().contains(me->position().toPoint())) Image3Click();
    }
    return QWidget::eventFilter(watched, e);
}

void TCalMainForm::CalChange() {
    RefreshDayMarks();
    // A change of day within the shown month only moves the selection.
    if (Cal_->Month() == run_.LastShownMonth && Cal_->Year() == run_.LastShownYear) return;
    cbMonth_->setCurrentIndex(Cal_->Month() - 1);
    // A year outside the field's range becomes the nearer bound, and that change moves the grid there.
    seYear_->setValue(std::clamp(Cal_->Year(), seYear_->minimum(), seYear_->maximum()));
    // A field already at the bound shows it again without a change of value: move the grid all the same.
    if (seYear_->value() != Cal_->Year()) seYearChange();
    if (Cal_->Month() == run_.LastShownMonth && Cal_->Year() == run_.LastShownYear)
        return;  // brought up to date meanwhile
    loadPicture(Cal_->Month());
    emit monthShown(Cal_->Month());
    run_.LastShownMonth = Cal_->Month();
    run_.LastShownYear = Cal_->Year();
}

void TCalMainForm::RefreshDayMarks() {
    for (int j = 1; j <= 31; ++j) Cal_->SetMark(j, TRxCalendarEx::kNoMark);
    if (program().settings.ShowUsage) {
        guarded(context_.ui(), this, [&] {
            int date = dayNumber(Cal_->Year(), Cal_->Month(), 1);
            // Days past the end of a shorter month fall in the next one; their marks are never drawn.
            for (int j = 1; j <= 31 && isRepresentableDay(date); ++j, ++date) {
                int mark = TRxCalendarEx::kNoMark;
                if (const auto text = program().store.readDay(date))
                    mark = text->find('\xAB') != std::string::npos ? TRxCalendarEx::kRedMark  // «
                                                                   : TRxCalendarEx::kGreenMark;
                Cal_->SetMark(j, mark);
            }
        });
    }
    Cal_->update();
}

void TCalMainForm::cbMonthChange() {
    const int month = cbMonth_->currentIndex() + 1;
    if (month >= 1 && Cal_->Month() != month) Cal_->SetDatePart(kPartMonth, month);
}

void TCalMainForm::seYearChange() {
    const QString text = seYear_->text();
    if (text.size() <= 3) return;  // still typing
    bool ok = false;
    int y = text.trimmed().toInt(&ok);
    if (!ok) y = 1800;
    if (y == Cal_->Year()) return;
    if (Cal_->SetDatePart(kPartYear, y) == DateMove::NoSuchDate && Cal_->Month() == 2 && Cal_->Day() == 29) {
        Cal_->SetDatePart(kPartDay, 28);
        Cal_->SetDatePart(kPartYear, y);
    }
}

QString TCalMainForm::lastDateNote() { return QStringLiteral("There are no dates after 31 December 9999."); }

void TCalMainForm::stepResult(DateMove move) {
    if (move == DateMove::OutOfRange) StatusLine_->setText(QStringLiteral(" ") + lastDateNote());
}

void TCalMainForm::sMonthTopClick() { stepResult(Cal_->PrevMonth()); }

void TCalMainForm::sMonthBottomClick() { stepResult(Cal_->NextMonth()); }

void TCalMainForm::Up1Click(QAction* item) {
    if (item == MnthDn1_) stepResult(Cal_->NextMonth());
    else if (item == MnthUp1_) stepResult(Cal_->PrevMonth());
    else if (item == YearDn1_) stepResult(Cal_->NextYear());
    else if (item == YearUp1_) stepResult(Cal_->PrevYear());
}

void TCalMainForm::TodayBtnClick() { Cal_->SetCalendarDate(program().today()); }

void TCalMainForm::AboutBtnClick() {
    emit contactRequested();
    RefreshWindow();
}

void TCalMainForm::Image3Click() { AboutBtnClick(); }

void TCalMainForm::RefreshWindow() {
    RefreshDayMarks();
    const QPoint at = windowPlace(this);
    placeWindow(this, at + QPoint(0, 1));
    QCoreApplication::processEvents();
    placeWindow(this, at);
    PicMain_->repaint();
}

void TCalMainForm::ShowHint(const QString& hint) {
    QString shown = hint;
    if (shown.isEmpty()) shown = syncState_;
    if (shown.isEmpty() && !eMessage_->text().isEmpty()) shown = eMessage_->text();
    StatusLine_->setText(QStringLiteral(" ") + shown);
    showingHint_ = !hint.isEmpty();
}

void TCalMainForm::showSyncState(const QString& line) {
    syncState_ = line;
    StatusLine_->setAccessibleDescription(line);
    if (!showingHint_) ShowHint(QString());
}

void TCalMainForm::showCalendarAgain() {
    guarded(context_.ui(), this, [&] { program().store.refresh(); });
    RefreshDayMarks();
    emit tickerRebuildRequested();
}

void TCalMainForm::tFlashTimer() {
    run_.FlashCounter = run_.FlashCounter >= 99 ? 0 : run_.FlashCounter + 1;
    const bool odd = run_.FlashCounter % 2 == 1;
    if (run_.ToDoFlashing) ToDoBtn_->setText(odd ? QString() : QStringLiteral("To &Do"));
    if (run_.FirstRun)
        InfoBtn_->setStyleSheet(odd ? QStringLiteral("color: rgb(255, 0, 0);") : QStringLiteral("color: black;"));
}

void TCalMainForm::tDayTimer() {
    const int today = program().today();
    // A new day: the ticker's list is rebuilt unless the reminders switch says otherwise.
    if (today > run_.LastDaySeen && !program().settings.RemindersEnabled) emit tickerRebuildRequested();
    const bool newDay = today != run_.LastDaySeen;
    run_.LastDaySeen = today;
    if (newDay) emit dayBegan();
}

void TCalMainForm::acknowledgeToDoFlash() {
    if (!tFlash_->isActive() || !run_.ToDoFlashing) return;
    tFlash_->stop();
    run_.ToDoFlashing = false;
    program().settings.LastAcceptedDate = program().today();
    guarded(context_.ui(), this, [&] { SaveSettings(); });
}

void TCalMainForm::acknowledgeInfoFlash() {
    if (!tFlash_->isActive() || !run_.FirstRun) return;
    run_.FirstRun = false;
    if (!run_.ToDoFlashing) tFlash_->stop();
    InfoBtn_->setStyleSheet(QStringLiteral("color: black;"));
}

void TCalMainForm::ToDoBtnClick() {
    acknowledgeToDoFlash();
    if (isSignalConnected(QMetaMethod::fromSignal(&TCalMainForm::toDoRequested))) {
        emit toDoRequested(selectedDate(), frameGeometry());
        RefreshDayMarks();
        RefreshWindow();
    }
    ToDoBtn_->setText(QStringLiteral("To &Do"));
}

void TCalMainForm::DeskBtnClick() {
    if (!isSignalConnected(QMetaMethod::fromSignal(&TCalMainForm::calendarRequested))) return;
    emit calendarRequested(Cal_->Year(), Cal_->Month(), Cal_->Day());
    guarded(context_.ui(), this, [&] {
        RefreshDayMarks();
        SaveSettings();
    });
}

void TCalMainForm::InfoBtnClick() {
    acknowledgeInfoFlash();
    emit infoRequested();
}

void TCalMainForm::ExitBtnClick() { close(); }

void TCalMainForm::closeEvent(QCloseEvent* e) {
    if (!abandoned_) {
        FormCloseQuery();
        FormClose();
    }
    context_.hints().popDisplay(this);
    e->accept();
}

void TCalMainForm::FormCloseQuery() {
    // A failing step skips the steps after it; the window closes all the same.
    swallowed([&] {
        SaveSettings();
        program().store.FlushCurrentCalendar();
    });
    run_.ArtworkList.clear();
}

void TCalMainForm::FormClose() {
    if (MediaPlayer1_) MediaPlayer1_->closeDevice();
    program().store.FreeStore();
}

void TCalMainForm::buildPictureParts() {
    // The six paint boxes lie under every other control of their panels.
    QWidget* under[6] = {Panel1_, Panel2_, Panel4_, Panel6_, Panel8_, Panel5_};
    for (int k = 0; k < 6; ++k) {
        pb_[k] = new TexturePaintBox(under[k], program().settings, under[k] == Panel8_);
        pb_[k]->setObjectName(QStringLiteral("pb%1").arg(k + 1));
    }

    MediaPlayer1_ = new MonthMediaPlayer(context_, MediaBtn_, pButton_, ImgPanel_, PicMain_, run_.MediaPlaying,
                                         run_.LoopSetting, run_.LoopActive, this);
    PicMain_->installEventFilter(new DoubleClickFilter(this, [this] { PictBtnClick(); }));
    connect(OptionBtn_, &QPushButton::clicked, this, [this] { OptionBtnClick(); });

    run_.ArtworkList = BuildArtworkList(program().artworkFolder());
}

void TCalMainForm::loadPicture(int month) {
    if (month < 1 || month > static_cast<int>(run_.ArtworkList.size())) {
        // No artwork at all: an empty frame, and no media.
        PicMain_->clear();
        MediaPlayer1_->setMonthMedia(std::nullopt);
        return;
    }
    const std::string& path = run_.ArtworkList[static_cast<size_t>(month - 1)];
    // 1. The holder keeps the picture's natural size; 2. PicMain shows it stretched over the frame. One
    // decoding, the fast way and at the frame's size in the screen's own pixels, serves both (the printout
    // and the enlarged picture decode their own); a failure is still reported by each.
    PictureLoader loader;
    loader.fastIntegerDct = true;
    loader.target = QSize(kFrameDecodeSide, kFrameDecodeSide) * devicePixelRatioF();
    std::optional<LoadedPicture> picture = pictureAhead_ ? pictureAhead_->take(path, loader.target) : std::nullopt;
    pictureAhead_ = nullptr;
    if (!picture) picture = loader.load(path);
    if (picture) {
        const QPixmap shown = QPixmap::fromImage(picture->image);
        if (holder_) holder_->setPicture(picture->image, picture->naturalSize, shown);
        PicMain_->setPixmap(shown);
    } else {
        if (holder_) context_.ui().information(this, failedToLoadMessage(path));
        context_.ui().information(this, failedToLoadMessage(path));
    }
    // 3.
    LayoutPicture();
    // 4.
    MediaPlayer1_->setMonthMedia(FindMonthMedia(path));
}

void TCalMainForm::LayoutPicture() {
    const QSize natural = holder_ ? holder_->naturalSize() : PicMain_->pixmap().size();
    if (const auto r = orv::LayoutPicture(natural.width(), natural.height(), sizeGroupIndex(program().settings.Size),
                                          Panel1_->width()))
        ImgPanel_->setGeometry(r->left, r->top, r->width, r->height);
    PicMain_->setGeometry(ImgPanel_->contentsRect());
}

void TCalMainForm::PictBtnClick() {
    if (PicMain_->pixmap().isNull() || !isSignalConnected(QMetaMethod::fromSignal(&TCalMainForm::pictureRequested)))
        return;
    const QSize natural =
        holder_ && !holder_->naturalSize().isEmpty() ? holder_->naturalSize() : PicMain_->pixmap().size();
    // The screen in its own pixels, so that a dense screen gets the detail it can show.
    QImage enlarged = PicMain_->pixmap().toImage();
    if (const int month = Cal_->Month(); month >= 1 && month <= static_cast<int>(run_.ArtworkList.size())) {
        PictureLoader loader;
        loader.fastIntegerDct = true;
        loader.target = context_.ui().screenGeometry().size() * devicePixelRatioF();
        if (auto picture = loader.load(run_.ArtworkList[static_cast<size_t>(month - 1)]))
            enlarged = std::move(picture->image);
    }
    emit pictureRequested(enlarged, natural);
    RefreshWindow();
}

void TCalMainForm::MediaBtnClick() { MediaPlayer1_->MediaBtnClick(); }

void TCalMainForm::MediaPlayer1Notify() { MediaPlayer1_->MediaPlayer1Notify(); }

void TCalMainForm::OptionBtnClick() {
    if (!optionsWindow_) return;
    UiSeams& ui = context_.ui();
    CalDb& store = program().store;
    const int r = ui.execModal(optionsWindow_);
    if (r == mrOk) CentreTitle();
    LayoutPicture();
    if (r == TOptionDlg::mrPrint) {
        hide();
        emit printRequested();
        show();
    }
    if (r == TOptionDlg::mrBackup) {
        // A calendar that cannot be written out whole is not backed up half: the window does not open.
        const bool flushed = guarded(ui, this, [&] { store.FlushCurrentCalendar(); });
        int answer = mrCancel;
        if (flushed && backupWindow_) answer = ui.execModal(backupWindow_);
        if (answer == TOptionDlg::mrBackup) {
            ui.information(this, QStringLiteral("Orvella will now have to close to\rcomplete the Restore process."));
            guarded(ui, this, [&] { store.OpenCurrentCalendar(); });
            close();
            return;
        }
        guarded(ui, this, [&] { store.OpenCurrentCalendar(); });
    }
    RefreshDayMarks();
    emit tickerRebuildRequested();
}

int TCalMainForm::selectedDate() const { return Cal_->CalendarDate(); }

void TCalMainForm::setWeekStart(int startOfWeek) { Cal_->SetStartOfWeek(startOfWeek); }

void TCalMainForm::repaintTextures() {
    for (TexturePaintBox* box : pb_) box->repaint();
}

}  // namespace orv
