#include "app/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QPointer>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "app/about_dlg.h"
#include "app/agent_dlg.h"
#include "app/app_state.h"
#include "app/artwork_list.h"
#include "app/forms.h"
#include "app/image_dlg.h"
#include "app/img_holder.h"
#include "app/month_media.h"
#include "app/month_media_player.h"
#include "app/option_dlg.h"
#include "app/picture_layout.h"
#include "app/picture_loader.h"
#include "app/rx_calendar_ex.h"
#include "app/texture_paint_box.h"
#include "app/warn2_dlg.h"
#include "common/day_number.h"
#include "common/error_guard.h"
#include "common/file_util.h"
#include "common/hint_router.h"
#include "common/ini_file.h"
#include "common/io_error.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "program/settings_file.h"
#include "desk/desk_dlg1.h"
#include "desk/todo_dlg.h"
#include "store/add_user_dlg.h"
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


constexpr int kClientWidth = 474;
constexpr int kClientHeight = 541;
constexpr int kStripHeight = 47;

QFrame* panel(QWidget* parent, QFrame::Shape shape = QFrame::NoFrame, QFrame::Shadow shadow = QFrame::Plain) {
    auto* p = new QFrame(parent);
    p->setFrameShape(shape);
    p->setFrameShadow(shadow);
    return p;
}

// The small picture of the top strip: a calendar leaf.
QPixmap calendarLeaf() {
    QPixmap pm(35, 31);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(3.5, 4.5, 28, 25), 3, 3);
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(3.5, 4.5, 28, 8));
    p.setPen(QColor(40, 40, 40));
    p.setFont(arialFont(12, true));
    p.drawText(QRect(3, 12, 29, 17), Qt::AlignCenter, QStringLiteral("31"));
    return pm;
}

// The exit glyph: a door with an arrow.
QIcon exitGlyph() {
    QPixmap pm(30, 28);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 30), 2));
    p.setBrush(QColor(180, 130, 70));
    p.drawRect(QRectF(4, 3, 13, 22));
    p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 14), QPointF(27, 14));
    p.drawLine(QPointF(22, 9), QPointF(27, 14));
    p.drawLine(QPointF(22, 19), QPointF(27, 14));
    return QIcon(pm);
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

QPushButton* button(QWidget* parent, const QString& caption, const QString& hint, int x, int y, int w) {
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(x, y, w, 23);
    b->setFont(sansSerifFont(11, true));
    setHint(b, hint);
    return b;
}

}  // namespace

TCalMainForm::TCalMainForm(const std::string& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    state().setProgramFolder(programFolder.empty() ? QCoreApplication::applicationDirPath().toStdString()
                                                   : programFolder);
    FormCreate();
}

TCalMainForm::~TCalMainForm() { HintRouter::instance().popDisplay(this); }

Program& TCalMainForm::state() const { return appState(); }

void TCalMainForm::FormCreate() {
    setWindowTitle(QStringLiteral("Orvella Daymark & Personal Planner"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(sansSerifFont(13, true));
    buildTopStrip();
    buildClientPanel();
    buildMonthView();

    tFlash = new QTimer(this);
    tFlash->setInterval(400);
    connect(tFlash, &QTimer::timeout, this, [this] { tFlashTimer(); });
    tDay = new QTimer(this);
    tDay->setInterval(6000);
    connect(tDay, &QTimer::timeout, this, [this] { tDayTimer(); });

    // 1. The default status text.
    StatusLine->setText(eMessage->text());
    // 2.
    LastShownMonth = 0;
    LastShownYear = 0;
    ToDoFlashing = false;
    FirstRun = false;
    FlashCounter = 0;
    FirstActivation = true;
    LoopActive = false;
    // 3.
    HintRouter::instance().pushDisplay(this, [this](const QString& hint) { ShowHint(hint); });
    // 4.
    Program& s = state();
    s.store.onPurged = [form = QPointer<QWidget>(this)](int days, const std::string& archive) {
        showInformation(form, QString::fromStdString(purgeMessage(days, archive)));
    };
    // 5.
    ColourDepth = uiSeams().colourDepth();
    // 6.
    if (!fileExists(s.settingsFile())) checkColourDepth();
    // 7.
    s.calendars.Names.clear();
    buildPictureParts();  // also builds ArtworkList
}

void TCalMainForm::checkColourDepth() {
    if (ColourDepth > 8) return;
    TWarn2 warn(this);
    if (ColourDepth < 8) {
        warn.l1->setText(QStringLiteral("16-color mode detected."));
        warn.l2->setText(QStringLiteral("Orvella cannot operate in 16-color mode."));
        uiSeams().execModal(&warn);
        startupRefused_ = true;
        return;
    }
    warn.l1->setText(QStringLiteral("256-color mode detected."));
    warn.l2->setText(QStringLiteral("Orvella will function better with a higher color setting."));
    uiSeams().execModal(&warn);
}

void TCalMainForm::buildTopStrip() {
    Panel5 = panel(this);
    Panel5->setGeometry(0, 0, kClientWidth, kStripHeight);

    Panel4 = panel(Panel5, QFrame::Panel, QFrame::Raised);
    Panel4->setGeometry(0, 0, 47, kStripHeight);
    Image3 = new QLabel(Panel4);
    Image3->setGeometry(6, 8, 35, 31);
    Image3->setScaledContents(true);
    Image3->setPixmap(calendarLeaf());
    Image3->setCursor(Qt::PointingHandCursor);
    setHint(Image3, QStringLiteral("Contact..."));

    Panel8 = panel(Panel5, QFrame::Panel, QFrame::Sunken);
    Panel8->setGeometry(53, 6, 368, 35);
    Panel8->setAutoFillBackground(true);
    Panel8->setStyleSheet(QStringLiteral(
        "QFrame { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1c3f7a, stop:0.5 #3b6fb6, "
        "stop:1 #1c3f7a); }"));
    lTitle = new QLabel(QStringLiteral("Orvella"), Panel8);
    lTitle->setFont(arialFont(19, true));
    lTitle->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    lTitle->adjustSize();

    Panel6 = panel(Panel5, QFrame::Panel, QFrame::Raised);
    Panel6->setGeometry(kClientWidth - 47, 0, 47, kStripHeight);
    ExitBtn = new QToolButton(Panel6);
    ExitBtn->setGeometry(4, 6, 38, 35);
    ExitBtn->setIcon(exitGlyph());
    ExitBtn->setIconSize(QSize(30, 28));
    ExitBtn->setAutoRaise(true);
    setHint(ExitBtn, QStringLiteral("Close Orvella."));
    connect(ExitBtn, &QToolButton::clicked, this, [this] { ExitBtnClick(); });
}

void TCalMainForm::buildClientPanel() {
    Panel1 = panel(this, QFrame::Panel, QFrame::Raised);
    Panel1->setLineWidth(4);
    Panel1->setGeometry(0, kStripHeight, kClientWidth, kClientHeight - kStripHeight);

    ImgPanel = panel(Panel1, QFrame::Panel, QFrame::Sunken);
    ImgPanel->setGeometry(11, 10, 452, 300);
    PicMain = new QLabel(ImgPanel);
    PicMain->setGeometry(0, 0, 452, 300);
    PicMain->setScaledContents(true);
    setHint(PicMain, QStringLiteral("Double click to enlarge image. Click enlarged image to remove."));

    // The month view panel, 466 x 170, at the bottom of the 4-pixel border.
    Panel2 = panel(Panel1, QFrame::Panel, QFrame::Sunken);
    Panel2->setGeometry(4, Panel1->height() - 4 - 170, 466, 170);
    Panel2->setFont(sansSerifFont(11, true));

    TodayBtn = button(Panel2, QStringLiteral("Today"), QStringLiteral("Reset calendar to today's date."), 7, 41, 78);
    DeskBtn = button(Panel2, QStringLiteral("Calendar"), QStringLiteral("Expand calendar to full size."), 7, 75, 78);
    OptionBtn = button(Panel2, QStringLiteral("Options"), QStringLiteral("Options and additional controls."), 7, 109, 78);
    InfoBtn = button(Panel2, QStringLiteral("More Info..."),
                     QStringLiteral("About Orvella and where to find help."), 383, 41, 76);
    AboutBtn = button(Panel2, QStringLiteral("Contact..."), QStringLiteral("...Corvin"), 383, 75, 76);
    ToDoBtn = button(Panel2, QStringLiteral("To &Do"),
                     QStringLiteral("Show reminders, if any, for the date selected."), 383, 109, 76);
    connect(ToDoBtn, &QPushButton::clicked, this, [this] { ToDoBtnClick(); });
    connect(DeskBtn, &QPushButton::clicked, this, [this] { DeskBtnClick(); });
    connect(InfoBtn, &QPushButton::clicked, this, [this] { InfoBtnClick(); });

    StatusLine = new QLabel(Panel2);
    StatusLine->setGeometry(8, 143, 450, 20);
    StatusLine->setFrameShape(QFrame::Panel);
    StatusLine->setFrameShadow(QFrame::Sunken);
    StatusLine->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pButton = panel(StatusLine);
    pButton->setGeometry(450 - 2 - 17, 2, 17, 16);
    pButton->hide();
    MediaBtn = new QToolButton(pButton);
    MediaBtn->setGeometry(0, 0, 17, 16);
    setHint(MediaBtn, QStringLiteral("Click to play."));

    eMessage = new QLineEdit(this);
    eMessage->hide();
    eMessage->setText(QStringLiteral("Monthly pictures drawn by the Orvella project."));
}

void TCalMainForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!shownOnce_) {
        shownOnce_ = true;
        CalChange();
        // Without a window manager the window may never be activated; the start-up must run all the same.
        QTimer::singleShot(0, this, [this] {
            if (FirstActivation) FormActivate();
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
    if (FirstActivation) firstActivation();
    if (!abandoned_) everyActivation();
    activating_ = false;
}

void TCalMainForm::firstActivation() {
    FirstActivation = false;
    const int today = appState().today();
    // 2. The grid goes to today (the month view brings itself up to date).
    Cal->SetCalendarDate(today);
    LastDaySeen = today;
    try {
        LoadSettings();
    } catch (const std::exception& e) {
        // Without a data folder, or with a settings or calendar list file that cannot be read, nothing
        // can be kept safely: say which file or folder, then end without writing anything.
        abandoned_ = true;
        showError(this, QString::fromUtf8(e.what()) + QStringLiteral("\n\nOrvella will now close."));
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    guarded(this, [&] {
        appState().store.OpenCurrentCalendar();
        if (today > state().settings.LastAcceptedDate) ToDoFlashing = state().store.FindDay(today);
        tFlash->setInterval(400);
        if (ToDoFlashing || FirstRun) tFlash->start();
        else tFlash->stop();
        RefreshDayMarks();
    });
    startTicker();
    guarded(this, [&] { SaveSettings(); });
    tDay->start();
}

void TCalMainForm::everyActivation() {
    if (TDeskDlg1* desk = forms().DeskDlg1) desk->ceUser->setText(fromCp1252(state().calendars.currentName()));
    if (TOptionDlg* options = forms().OptionDlg) options->RestoreOptions();
    LayoutPicture();
}

void TCalMainForm::LoadSettings() {
    Program& s = state();
    IniFile ini;
    const bool exists = ini.load(s.settingsFile());
    readSettings(ini, s, QLocale::system().dateFormat(QLocale::LongFormat).toStdString());
    if (exists) {
        move(s.settings.Left, s.settings.Top);
        CentreTitle();
    } else {
        const QRect screen = uiSeams().screenGeometry();
        s.settings.Size = screen.height() < 500 ? 0 : 1;
        CentreTitle();
        move(screen.x() + (screen.width() - frameGeometry().width()) / 2,
             screen.y() + (screen.height() - frameGeometry().height()) / 2);
        FirstRun = true;
        tFlash->start();
    }
    ensureDataFolder(s);
    if (s.calendars.loadAtStartup(s.usersFile(), s.calendars.CurrentCalendarIndex)) askFirstCalendarName();
}

void TCalMainForm::askFirstCalendarName() {
    // The list holds "User1"; the user may give the first calendar another name.
    if (TAddUserDlg* dlg = forms().AddUserDlg) {
        dlg->askFirstName(state().calendars, this);
    } else {
        TAddUserDlg own(this);
        own.askFirstName(state().calendars, this);
    }
}

void TCalMainForm::SaveSettings() {
    Program& s = state();
    s.calendars.saveUsersFile(s.usersFile());
    s.settings.Left = x();
    s.settings.Top = y();
    saveSettingsFile(s);
}

void TCalMainForm::CentreTitle() {
    lTitle->adjustSize();
    lTitle->move((Panel8->width() - lTitle->width()) / 2, (Panel8->height() - lTitle->height()) / 2);
    CalChange();
}

void TCalMainForm::buildMonthView() {
    // Layout of the month view panel Panel2 (466 x 170).
    cbMonth = new QComboBox(Panel2);
    cbMonth->setGeometry(7, 9, 54, 21);
    cbMonth->addItems({QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
                       QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
                       QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")});
    setHint(cbMonth, QStringLiteral("Drop down list to select month (PgUp or PgDn)."));

    sMonth = panel(Panel2);
    sMonth->setGeometry(64, 9, 21, 21);
    sMonthTop = new QToolButton(sMonth);
    sMonthTop->setGeometry(0, 0, 21, 11);
    sMonthTop->setArrowType(Qt::UpArrow);
    sMonthBottom = new QToolButton(sMonth);
    sMonthBottom->setGeometry(0, 11, 21, 10);
    sMonthBottom->setArrowType(Qt::DownArrow);
    for (QWidget* w : {static_cast<QWidget*>(sMonth), static_cast<QWidget*>(sMonthTop),
                       static_cast<QWidget*>(sMonthBottom)})
        setHint(w, QStringLiteral("Click buttons to change month (PgUp or PgDn)."));

    Cal = new TRxCalendarEx(Panel2);
    Cal->setGeometry(92, 10, 282, 127);
    Cal->SetStartOfWeek(0);
    Cal->SetWeekends(kSaturdayAndSunday);

    auto* year = new ReversedSpinBox(Panel2);
    seYear = year;
    seYear->setGeometry(383, 9, 78, 21);
    seYear->setRange(1800, 9999);
    seYear->setValue(std::clamp(Cal->Year(), 1800, 9999));
    setHint(seYear, QStringLiteral("Click buttons to change year (Ctrl+PgUp or Ctrl+PgDn)."));

    // The month list and the year field are blue and bold.
    for (QWidget* w : {static_cast<QWidget*>(cbMonth), static_cast<QWidget*>(seYear)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Text, monthViewBlue());
        pal.setColor(QPalette::ButtonText, monthViewBlue());
        w->setPalette(pal);
        w->setFont(sansSerifFont(11, true));
    }

    // The invisible "Keys" menu: its shortcuts reach the window whatever control has the focus.
    Keys = new QMenu(QStringLiteral("Keys"), this);
    auto key = [this](const char* name, const QString& caption, const QKeySequence& keys) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        Keys->addAction(a);
        addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { Up1Click(a); });
        return a;
    };
    MnthDn1 = key("MnthDn1", QStringLiteral("MnthDn"), QKeySequence(Qt::Key_PageDown));
    MnthUp1 = key("MnthUp1", QStringLiteral("MnthUp"), QKeySequence(Qt::Key_PageUp));
    YearDn1 = key("YearDn1", QStringLiteral("YearDn"), QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    YearUp1 = key("YearUp1", QStringLiteral("YearUp"), QKeySequence(Qt::CTRL | Qt::Key_PageUp));

    connect(Cal, &TRxCalendarEx::OnChange, this, [this] { CalChange(); });
    connect(Cal, &TRxCalendarEx::doubleClicked, this, [this] { ToDoBtnClick(); });
    connect(cbMonth, &QComboBox::currentIndexChanged, this, [this] { cbMonthChange(); });
    // Every keystroke counts, also those that leave the field below its range for a moment; the field's
    // own steps and values put into it change its text without a keystroke.
    connect(year->editor(), &QLineEdit::textChanged, this, [this] { seYearChange(); });
    connect(seYear, &QSpinBox::textChanged, this, [this] { seYearChange(); });
    connect(sMonthTop, &QToolButton::clicked, this, [this] { sMonthTopClick(); });
    connect(sMonthBottom, &QToolButton::clicked, this, [this] { sMonthBottomClick(); });
    connect(TodayBtn, &QPushButton::clicked, this, [this] { TodayBtnClick(); });
    connect(AboutBtn, &QPushButton::clicked, this, [this] { AboutBtnClick(); });
    Image3->installEventFilter(this);
}

bool TCalMainForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Image3 && e->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton && Image3->rect().contains(me->position().toPoint())) Image3Click();
    }
    return QWidget::eventFilter(watched, e);
}

void TCalMainForm::CalChange() {
    RefreshDayMarks();
    // A change of day within the shown month only moves the selection.
    if (Cal->Month() == LastShownMonth && Cal->Year() == LastShownYear) return;
    cbMonth->setCurrentIndex(Cal->Month() - 1);
    // A year outside the field's range becomes the nearer bound, and that change moves the grid there.
    seYear->setValue(std::clamp(Cal->Year(), seYear->minimum(), seYear->maximum()));
    // A field already at the bound shows it again without a change of value: move the grid all the same.
    if (seYear->value() != Cal->Year()) seYearChange();
    if (Cal->Month() == LastShownMonth && Cal->Year() == LastShownYear) return;  // brought up to date meanwhile
    if (loadMonthPicture) loadMonthPicture(Cal->Month());
    LastShownMonth = Cal->Month();
    LastShownYear = Cal->Year();
}

void TCalMainForm::RefreshDayMarks() {
    for (int j = 1; j <= 31; ++j) Cal->SetMark(j, TRxCalendarEx::kNoMark);
    if (state().settings.ShowUsage) {
        guarded(this, [&] {
            int date = dayNumber(Cal->Year(), Cal->Month(), 1);
            // Days past the end of a shorter month fall in the next one; their marks are never drawn.
            for (int j = 1; j <= 31 && isRepresentableDay(date); ++j, ++date) {
                int mark = TRxCalendarEx::kNoMark;
                if (const auto text = state().store.readDay(date))
                    mark = text->find('\xAB') != std::string::npos ? TRxCalendarEx::kRedMark  // «
                                                                    : TRxCalendarEx::kGreenMark;
                Cal->SetMark(j, mark);
            }
        });
    }
    Cal->update();
}

void TCalMainForm::cbMonthChange() {
    const int month = cbMonth->currentIndex() + 1;
    if (month >= 1 && Cal->Month() != month) Cal->SetDatePart(kPartMonth, month);
}

void TCalMainForm::seYearChange() {
    const QString text = seYear->text();
    if (text.size() <= 3) return;  // still typing
    bool ok = false;
    int y = text.trimmed().toInt(&ok);
    if (!ok) y = 1800;
    if (y == Cal->Year()) return;
    if (Cal->SetDatePart(kPartYear, y) == DateMove::NoSuchDate && Cal->Month() == 2 && Cal->Day() == 29) {
        Cal->SetDatePart(kPartDay, 28);
        Cal->SetDatePart(kPartYear, y);
    }
}

QString TCalMainForm::lastDateNote() { return QStringLiteral("There are no dates after 31 December 9999."); }

void TCalMainForm::stepResult(DateMove move) {
    if (move == DateMove::OutOfRange) StatusLine->setText(QStringLiteral(" ") + lastDateNote());
}

void TCalMainForm::sMonthTopClick() { stepResult(Cal->PrevMonth()); }

void TCalMainForm::sMonthBottomClick() { stepResult(Cal->NextMonth()); }

void TCalMainForm::Up1Click(QAction* item) {
    if (item == MnthDn1) stepResult(Cal->NextMonth());
    else if (item == MnthUp1) stepResult(Cal->PrevMonth());
    else if (item == YearDn1) stepResult(Cal->NextYear());
    else if (item == YearUp1) stepResult(Cal->PrevYear());
}

void TCalMainForm::TodayBtnClick() { Cal->SetCalendarDate(appState().today()); }

void TCalMainForm::AboutBtnClick() {
    guarded(this, [&] {
        TfrmAbout1* dlg = forms().frmAbout1 ? forms().frmAbout1 : new TfrmAbout1(this);
        uiSeams().execModal(dlg);
        RefreshWindow();
    });
}

void TCalMainForm::Image3Click() { AboutBtnClick(); }

void TCalMainForm::RefreshWindow() {
    RefreshDayMarks();
    const QPoint at = pos();
    move(at.x(), at.y() + 1);
    QCoreApplication::processEvents();
    move(at);
    PicMain->repaint();
}

void TCalMainForm::ShowHint(const QString& hint) {
    QString shown = hint;
    if (shown.isEmpty() && !eMessage->text().isEmpty()) shown = eMessage->text();
    StatusLine->setText(QStringLiteral(" ") + shown);
}

void TCalMainForm::tFlashTimer() {
    FlashCounter = FlashCounter >= 99 ? 0 : FlashCounter + 1;
    const bool odd = FlashCounter % 2 == 1;
    if (ToDoFlashing) ToDoBtn->setText(odd ? QString() : QStringLiteral("To &Do"));
    if (FirstRun) InfoBtn->setStyleSheet(odd ? QStringLiteral("color: rgb(255, 0, 0);") : QStringLiteral("color: black;"));
}

void TCalMainForm::tDayTimer() {
    const int today = appState().today();
    // A new day: the ticker's list is rebuilt unless the reminders switch says otherwise.
    if (today > LastDaySeen && !state().settings.RemindersEnabled)
        if (TRemindDlg* remind = forms().RemindDlg) guarded(this, [&] { remind->BuildTicker(); });
    LastDaySeen = today;
}

void TCalMainForm::acknowledgeToDoFlash() {
    if (!tFlash->isActive() || !ToDoFlashing) return;
    tFlash->stop();
    ToDoFlashing = false;
    state().settings.LastAcceptedDate = appState().today();
    guarded(this, [&] { SaveSettings(); });
}

void TCalMainForm::acknowledgeInfoFlash() {
    if (!tFlash->isActive() || !FirstRun) return;
    FirstRun = false;
    if (!ToDoFlashing) tFlash->stop();
    InfoBtn->setStyleSheet(QStringLiteral("color: black;"));
}

void TCalMainForm::ToDoBtnClick() {
    acknowledgeToDoFlash();
    TToDoDlg* todo = forms().ToDoDlg;
    if (openToDoWindow || todo) {
        guarded(this, [&] {
            if (openToDoWindow) openToDoWindow();
            else todo->editDay(dayNumber(Cal->Year(), Cal->Month(), Cal->Day()), frameGeometry());
        });
        RefreshDayMarks();
        RefreshWindow();
    }
    ToDoBtn->setText(QStringLiteral("To &Do"));
}

void TCalMainForm::DeskBtnClick() {
    TDeskDlg1* desk = forms().DeskDlg1;
    if (!desk) return;
    desk->page.PageYear = Cal->Year();
    desk->page.PageMonth = Cal->Month();
    desk->page.SelectedDay = Cal->Day();
    desk->setPageColour(state().settings.Background);
    desk->ceUser->setText(fromCp1252(state().calendars.currentName()));
    uiSeams().execModal(desk);
    state().settings.Background = desk->pageColour();
    guarded(this, [&] {
        RefreshDayMarks();
        SaveSettings();
    });
}

void TCalMainForm::InfoBtnClick() {
    acknowledgeInfoFlash();
    guarded(this, [&] {
        TAgentDlg* dlg = forms().AgentDlg ? forms().AgentDlg : new TAgentDlg(this);
        uiSeams().execModal(dlg);
    });
}

void TCalMainForm::ExitBtnClick() { close(); }

void TCalMainForm::closeEvent(QCloseEvent* e) {
    if (!abandoned_) {
        FormCloseQuery();
        FormClose();
    }
    HintRouter::instance().popDisplay(this);
    e->accept();
}

void TCalMainForm::FormCloseQuery() {
    // A failing step skips the steps after it; the window closes all the same.
    swallowed([&] {
        SaveSettings();
        appState().store.FlushCurrentCalendar();
    });
    ArtworkList.clear();
}

void TCalMainForm::FormClose() {
    if (MediaPlayer1) MediaPlayer1->closeDevice();
    appState().store.FreeStore();
}

void TCalMainForm::buildPictureParts() {
    // The six paint boxes lie under every other control of their panels.
    QWidget* under[6] = {Panel1, Panel2, Panel4, Panel6, Panel8, Panel5};
    for (int k = 0; k < 6; ++k) pb[k] = new TexturePaintBox(under[k], under[k] == Panel8);

    MediaPlayer1 = new MonthMediaPlayer(MediaBtn, pButton, ImgPanel, PicMain, MediaPlaying, LoopSetting, LoopActive,
                                        this);
    PicMain->installEventFilter(new DoubleClickFilter(this, [this] { PictBtnClick(); }));
    connect(OptionBtn, &QPushButton::clicked, this, [this] { OptionBtnClick(); });
    loadMonthPicture = [this](int month) { loadPicture(month); };

    ArtworkList = BuildArtworkList(state().artworkFolder());
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
    if (const auto r = orv::LayoutPicture(natural.width(), natural.height(), sizeGroupIndex(state().settings.Size),
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
        guarded(this, [&] { appState().store.FlushCurrentCalendar(); });
        int answer = mrCancel;
        if (backupRestoreHook)
            guarded(this, [&] { answer = backupRestoreHook(state().calendars.DataFolder, "*.dbx"); });
        if (answer == TOptionDlg::mrBackup) {
            showInformation(this, QStringLiteral("Orvella will now have to close to\rcomplete the Restore process."));
            guarded(this, [&] { appState().store.OpenCurrentCalendar(); });
            close();
            return;
        }
        guarded(this, [&] { appState().store.OpenCurrentCalendar(); });
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
