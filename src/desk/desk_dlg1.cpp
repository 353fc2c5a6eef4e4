#include "desk/desk_dlg1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/app_state.h"
#include "app/forms.h"
#include "common/day_number.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/qt_colours.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "desk/entry_removal.h"
#include "desk/explain_dlg.h"
#include "events/annual_dlg.h"
#include "desk/reminder_editor.h"
#include "store/cal_db.h"
#include "store/edit_user_dlg.h"

namespace orv {
namespace {

// Window and top bar.
constexpr int kPageWidth = 800;
constexpr int kPageHeight = 578;
constexpr int kBackHeight = 50;
constexpr int kBtnPanelWidth = 421;
constexpr int kSpinSize = 32;
// The page below it: header row and four week rows inside a margin.
constexpr int kSideMargin = 10;
constexpr int kTopMargin = 5;
constexpr int kRowsWidth = kPageWidth - 2 * kSideMargin;  // 780
constexpr int kHeaderHeight = 20;
constexpr int kRowHeight = 126;      // rows 2 and 3
constexpr int kLastRowHeight = 123;  // row 4, and row 1 takes its height
constexpr int kRowsHeight = kLastRowHeight + 2 * kRowHeight + kLastRowHeight;
// Cells.
constexpr int kDayWidthWithWeekends = 129;
constexpr int kDayWidthWithoutWeekends = 156;
constexpr int kNumberLeftWithWeekends = 108;
constexpr int kNumberLeftWithoutWeekends = 135;
constexpr int kNumberWidth = 18;
constexpr int kNumberHeight = 16;

const QColor kGreyNumber(128, 128, 128);
const QColor kYellow(255, 255, 0);

const char* const kDayNames[6] = {"", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};

QFrame* panel(QWidget* parent, QFrame::Shape shape = QFrame::NoFrame, QFrame::Shadow shadow = QFrame::Plain) {
    auto* p = new QFrame(parent);
    p->setFrameShape(shape);
    p->setFrameShadow(shadow);
    return p;
}

void setBackground(QWidget* w, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

// Button glyphs, drawn rather than shipped.
QIcon glyph(int w, int h, const std::function<void(QPainter&)>& draw) {
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pm);
}

QIcon userGlyph() {
    return glyph(20, 20, [](QPainter& p) {
        p.setPen(QPen(QColor(40, 60, 120), 1));
        p.setBrush(QColor(90, 130, 210));
        p.drawEllipse(QRectF(6.5, 2.5, 7, 7));
        QPainterPath body;
        body.moveTo(2.5, 18.5);
        body.cubicTo(2.5, 11, 17.5, 11, 17.5, 18.5);
        body.closeSubpath();
        p.drawPath(body);
    });
}

QIcon printGlyph() {
    return glyph(20, 20, [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 2.5, 9, 6));
        p.setBrush(QColor(170, 170, 170));
        p.drawRoundedRect(QRectF(2.5, 8.5, 15, 6), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 12.5, 9, 5));
    });
}

QIcon weekendGlyph() {
    return glyph(20, 20, [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 3.5, 17, 14));
        p.setBrush(QColor(200, 60, 60));
        p.drawRect(QRectF(12.5, 3.5, 6, 7));
        p.setBrush(QColor(60, 90, 200));
        p.drawRect(QRectF(12.5, 10.5, 6, 7));
    });
}

QIcon repeatGlyph() {
    return glyph(20, 20, [](QPainter& p) {
        p.setPen(QPen(QColor(20, 120, 40), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(3, 3, 14, 14), 30 * 16, 300 * 16);
        p.drawLine(QPointF(16, 4), QPointF(16.5, 8.5));
        p.drawLine(QPointF(16.5, 8.5), QPointF(12, 8));
    });
}

QIcon deleteGlyph() {
    return glyph(20, 20, [](QPainter& p) {
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(15, 15));
        p.drawLine(QPointF(15, 5), QPointF(5, 15));
    });
}

QIcon exitGlyph() {
    return glyph(30, 30, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 2));
        p.setBrush(QColor(180, 130, 70));
        p.drawRect(QRectF(4, 3, 13, 24));
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 15), QPointF(27, 15));
        p.drawLine(QPointF(22, 10), QPointF(27, 15));
        p.drawLine(QPointF(22, 20), QPointF(27, 15));
    });
}

QToolButton* toolButton(QWidget* parent, const QIcon& icon, const QString& hint, QRect geometry) {
    auto* b = new QToolButton(parent);
    b->setGeometry(geometry);
    b->setIcon(icon);
    b->setIconSize(geometry.size() - QSize(5, 5));
    b->setFocusPolicy(Qt::NoFocus);
    setHint(b, hint);
    return b;
}

bool isPageKey(const QKeyEvent* k) {
    const auto mods = k->modifiers() & ~Qt::KeypadModifier;
    return (k->key() == Qt::Key_PageUp || k->key() == Qt::Key_PageDown) &&
           (mods == Qt::NoModifier || mods == Qt::ControlModifier);
}

// The page's own actions change cells and focus; the highlight keeps still meanwhile.
class BusyScope {
public:
    BusyScope() : was_(TDeskDlg1::Busy) { TDeskDlg1::Busy = true; }
    ~BusyScope() { TDeskDlg1::Busy = was_; }

private:
    bool was_;
};

}  // namespace

bool TDeskDlg1::Busy = true;

TDeskDlg1::TDeskDlg1(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("Reminder Calendar"));
    setFixedSize(kPageWidth, kPageHeight);
    setFont(sansSerifFont(11));
    buildTopBar();
    buildPage();

    PageUp1 = new QAction(QStringLiteral("PageUp"), this);
    PageUp1->setShortcut(QKeySequence(Qt::Key_PageUp));
    connect(PageUp1, &QAction::triggered, this, [this] { WeekBtnTopClick(); });
    PageDown1 = new QAction(QStringLiteral("PageDown"), this);
    PageDown1->setShortcut(QKeySequence(Qt::Key_PageDown));
    connect(PageDown1, &QAction::triggered, this, [this] { WeekBtnBottomClick(); });
    MnthUp1 = new QAction(QStringLiteral("MnthUp"), this);
    MnthUp1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    connect(MnthUp1, &QAction::triggered, this, [this] { MonthBtnTopClick(); });
    MnthDn1 = new QAction(QStringLiteral("MnthDn"), this);
    MnthDn1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    connect(MnthDn1, &QAction::triggered, this, [this] { MonthBtnBottomClick(); });
    addActions({PageUp1, PageDown1, MnthUp1, MnthDn1});

    FocusedCell = m[1];
    forms().DeskDlg1 = this;
}

TDeskDlg1::~TDeskDlg1() {
    // The cells outlive this part of the window: their focus changes must no longer reach it.
    for (int i = 1; i <= kPageCells; ++i) {
        m[static_cast<size_t>(i)]->disconnect(this);
        m[static_cast<size_t>(i)]->removeEventFilter(this);
    }
    HintRouter::instance().popDisplay(this);
    if (forms().DeskDlg1 == this) forms().DeskDlg1 = nullptr;
}

void TDeskDlg1::buildTopBar() {
    BackPanel = panel(this, QFrame::Panel, QFrame::Raised);
    BackPanel->setGeometry(0, 0, kPageWidth, kBackHeight);

    Panel3 = new QLabel(BackPanel);
    Panel3->setGeometry(0, 0, kPageWidth - kBtnPanelWidth, kBackHeight);
    Panel3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel3->setIndent(kSpinSize + 20);

    RxSpinButton1 = panel(Panel3);
    RxSpinButton1->setGeometry(9, (kBackHeight - kSpinSize) / 2, kSpinSize, kSpinSize);
    const QString weekHint = QStringLiteral("Forward/backward by one week (PgDn/PgUp).");
    setHint(RxSpinButton1, weekHint);
    WeekBtnTop = new QToolButton(RxSpinButton1);
    WeekBtnTop->setArrowType(Qt::UpArrow);
    WeekBtnTop->setGeometry(0, 0, kSpinSize, kSpinSize / 2);
    WeekBtnTop->setFocusPolicy(Qt::NoFocus);
    setHint(WeekBtnTop, weekHint);
    connect(WeekBtnTop, &QToolButton::clicked, this, [this] { WeekBtnTopClick(); });
    WeekBtnBottom = new QToolButton(RxSpinButton1);
    WeekBtnBottom->setArrowType(Qt::DownArrow);
    WeekBtnBottom->setGeometry(0, kSpinSize / 2, kSpinSize, kSpinSize / 2);
    WeekBtnBottom->setFocusPolicy(Qt::NoFocus);
    setHint(WeekBtnBottom, weekHint);
    connect(WeekBtnBottom, &QToolButton::clicked, this, [this] { WeekBtnBottomClick(); });

    BtnPanel = panel(BackPanel);
    BtnPanel->setGeometry(kPageWidth - kBtnPanelWidth, 0, kBtnPanelWidth, kBackHeight);

    ceUser = new QLineEdit(BtnPanel);
    ceUser->setGeometry(4, 4, 225, 23);
    ceUser->setReadOnly(true);
    ceUser->setFocusPolicy(Qt::NoFocus);
    setHint(ceUser, QStringLiteral("Current User. To change click the \"User\" button."));
    RxSpeedButton1 = toolButton(BtnPanel, userGlyph(), QStringLiteral("User|Add, remove, change or edit User."),
                                QRect(231, 3, 25, 25));
    PrintBtn = toolButton(BtnPanel, printGlyph(), QStringLiteral("Print calendar."), QRect(262, 3, 25, 25));
    WEndBtn = toolButton(BtnPanel, weekendGlyph(), QStringLiteral("Hide/show weekends."), QRect(289, 3, 25, 25));
    RepeatBtn = toolButton(BtnPanel, repeatGlyph(), QStringLiteral("Set up a repeating event."), QRect(316, 3, 25, 25));
    DelBtn = toolButton(BtnPanel, deleteGlyph(), QStringLiteral("Delete a repeating event."), QRect(343, 3, 25, 25));
    ExitBtn = toolButton(BtnPanel, exitGlyph(), QStringLiteral("Close full size calendar."), QRect(378, 5, 38, 40));
    ExitBtn->setAutoRaise(true);
    connect(RxSpeedButton1, &QToolButton::clicked, this, [this] { ceUserButtonClick(); });
    connect(PrintBtn, &QToolButton::clicked, this, [this] { PrintBtnClick(); });
    connect(WEndBtn, &QToolButton::clicked, this, [this] { WEndBtnClick(); });
    connect(RepeatBtn, &QToolButton::clicked, this, [this] { RepeatBtnClick(); });
    connect(DelBtn, &QToolButton::clicked, this, [this] { DelBtnClick(); });
    connect(ExitBtn, &QToolButton::clicked, this, [this] { ExitBtnClick(); });

    HintPanel = new QLabel(BtnPanel);
    HintPanel->setGeometry(4, 30, 292, 17);
    HintPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    cb4week = new QCheckBox(QStringLiteral("4 weeks"), BtnPanel);
    cb4week->setGeometry(302, 30, 72, 17);
    cb4week->setFont(arialFont(11, true));
    setTextColour(cb4week, QColor(0, 0, 255));
    cb4week->setChecked(true);
    cb4week->setFocusPolicy(Qt::NoFocus);
    setHint(cb4week, QStringLiteral("Shows 4 weeks when checked, 1 week unchecked"));
    connect(cb4week, &QCheckBox::toggled, this, [this] { cb4weekClick(); });
}

void TDeskDlg1::buildPage() {
    Panel1 = panel(this);
    Panel1->setGeometry(0, kBackHeight, kPageWidth, kPageHeight - kBackHeight);

    Panel2 = panel(Panel1);
    Panel2->setGeometry(kSideMargin, kTopMargin, kRowsWidth, kHeaderHeight);
    const auto headerLabel = [this](const QString& text) {
        auto* l = new QLabel(text, Panel2);
        l->setFont(arialFont(11, true));
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    for (int c = 1; c <= 5; ++c) dp[static_cast<size_t>(c)] = headerLabel(QString::fromLatin1(kDayNames[c]));
    bp0 = headerLabel(QStringLiteral("Sat/Sun"));

    Panel5 = panel(Panel1);
    Panel12 = panel(Panel1);
    Panel18 = panel(Panel1);
    Panel24 = panel(Panel1);
    for (int r = 0; r < kPageRows; ++r) bp[static_cast<size_t>(r + 1)] = panel(rowPanel(r));

    for (int i = 1; i <= kPageCells; ++i) {
        const size_t k = static_cast<size_t>(i);
        const int row = DeskPage::rowOf(i);
        QWidget* holder = DeskPage::isWeekendCell(i) ? static_cast<QWidget*>(bp[static_cast<size_t>(row + 1)])
                                                     : rowPanel(row);
        b[k] = panel(holder, QFrame::Panel, QFrame::Raised);
        m[k] = new ReminderEditor(b[k]);
        m[k]->setObjectName(QStringLiteral("m%1").arg(i));
        m[k]->setFrameStyle(QFrame::NoFrame);
        m[k]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m[k]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m[k]->setTabChangesFocus(true);
        m[k]->setFont(arialPointFont(8));
        m[k]->installEventFilter(this);
        connect(m[k], &ReminderEditor::changed, this, [this, i] { m1Change(i); });
        connect(m[k], &ReminderEditor::entered, this, [this, i] { m1Enter(i); });
        connect(m[k], &ReminderEditor::left, this, [this, i] { m1Exit(i); });
        p[k] = new QLabel(b[k]);
        p[k]->setFont(arialFont(11, true));
        p[k]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    }
    LayOutPage();
}

QFrame* TDeskDlg1::rowPanel(int row) const {
    switch (row) {
        case 0: return Panel5;
        case 1: return Panel12;
        case 2: return Panel18;
        default: return Panel24;
    }
}

int TDeskDlg1::cellOf(const QObject* editor) const {
    for (int i = 1; i <= kPageCells; ++i)
        if (m[static_cast<size_t>(i)] == editor) return i;
    return 0;
}

int TDeskDlg1::focusedCellNumber() const {
    const int n = cellOf(FocusedCell);
    return n > 0 ? n : 1;
}

void TDeskDlg1::setPageColour(WinColor colour) {
    pageColour_ = colour;
    setBackground(BackPanel, toQColor(colour));
    setBackground(Panel1, toQColor(colour));
}

void TDeskDlg1::colourCell(int cell, const QColor& colour) {
    // The frame round the editor, with the day number in its corner, is part of the cell.
    m[static_cast<size_t>(cell)]->setColours(colour, toQColor(appState().settings.TextColour));
    setBackground(b[static_cast<size_t>(cell)], colour);
}

QColor TDeskDlg1::highlightColour() const {
    return toQColor(appState().settings.Foreground) == QColor(Qt::white) ? kYellow : QColor(Qt::white);
}

// ---------------------------------------------------------------------------------------------------------
// Page operations

void TDeskDlg1::LayOutPage() {
    const bool weekends = appState().settings.ShowWeekends;
    const bool fourWeeks = cb4week->isChecked();
    const int dayWidth = weekends ? kDayWidthWithWeekends : kDayWidthWithoutWeekends;
    const int numberLeft = weekends ? kNumberLeftWithWeekends : kNumberLeftWithoutWeekends;
    const int weekendLeft = 5 * dayWidth;
    const int weekendWidth = kRowsWidth - weekendLeft;
    const int rowsTop = kTopMargin + kHeaderHeight;

    for (int c = 1; c <= 5; ++c)
        dp[static_cast<size_t>(c)]->setGeometry((c - 1) * dayWidth, 0, dayWidth, kHeaderHeight);
    bp0->setGeometry(weekendLeft, 0, weekendWidth, kHeaderHeight);

    if (fourWeeks) {
        Panel24->setGeometry(kSideMargin, rowsTop + kRowsHeight - kLastRowHeight, kRowsWidth, kLastRowHeight);
        Panel5->setGeometry(kSideMargin, rowsTop, kRowsWidth, Panel24->height());
        Panel12->setGeometry(kSideMargin, Panel5->geometry().bottom() + 1, kRowsWidth, kRowHeight);
        Panel18->setGeometry(kSideMargin, Panel12->geometry().bottom() + 1, kRowsWidth, kRowHeight);
    } else {
        Panel5->setGeometry(kSideMargin, rowsTop, kRowsWidth, kRowsHeight);
    }
    Panel12->setVisible(fourWeeks);
    Panel18->setVisible(fourWeeks);
    Panel24->setVisible(fourWeeks);

    for (int r = 0; r < kPageRows; ++r) {
        const int rowHeight = rowPanel(r)->height();
        QFrame* weekend = bp[static_cast<size_t>(r + 1)];
        weekend->setGeometry(weekendLeft, 0, weekendWidth, rowHeight);
        const int halfHeight = (weekend->height() - 3) / 2;
        for (int c = 0; c < kCellsPerRow; ++c) {
            const int i = r * kCellsPerRow + c + 1;
            const size_t k = static_cast<size_t>(i);
            int left = numberLeft;
            if (c < 5) {
                b[k]->setGeometry(c * dayWidth, 0, dayWidth, rowHeight);
            } else {
                // Saturday on top, Sunday below it.
                const int top = c == 5 ? 1 : weekend->height() - 1 - halfHeight;
                b[k]->setGeometry(0, top, weekendWidth, halfHeight);
                left = weekendWidth - (kDayWidthWithWeekends - kNumberLeftWithWeekends);
            }
            p[k]->setGeometry(left, 2, kNumberWidth, kNumberHeight);
            m[k]->setGeometry(2, 2, left - 3, b[k]->height() - 4);
        }
    }
}

void TDeskDlg1::setWeekendsShown(bool shown) {
    bp0->setVisible(shown);
    for (int r = 1; r <= kPageRows; ++r) bp[static_cast<size_t>(r)]->setVisible(shown);
}

void TDeskDlg1::ApplyCalendarLook() {
    const Settings& s = appState().settings;
    ceUser->setText(fromCp1252(appState().calendars.currentName()));
    Panel3->setFont(arialPointFont(12, true));
    setTextColour(Panel3, toQColor(s.TitleColour));
    for (int i = 1; i <= kPageCells; ++i) {
        ReminderEditor* e = m[static_cast<size_t>(i)];
        e->clear();
        colourCell(i, toQColor(s.Foreground));
        e->setFont(arialPointFont(8));
    }
    setPageColour(s.Background);
}

void TDeskDlg1::AssignCellDates() {
    page.AssignCellDates();
    for (int i = 1; i <= kPageCells; ++i) {
        const size_t k = static_cast<size_t>(i);
        m[k]->clear();
        p[k]->setText(QString::number(page.dayOfMonth(i)));
        setTextColour(p[k], page.inPageMonth(i) ? QColor(Qt::black) : kGreyNumber);
    }
}

void TDeskDlg1::FocusSelectedDay() {
    FocusedCell = m[1];
    const int n = page.focusCell(appState().settings.ShowWeekends);
    if (n == 0) {
        if (QWidget* w = focusWidget()) w->clearFocus();
        return;
    }
    ReminderEditor* cell = m[static_cast<size_t>(n)];
    cell->setFocus();
    colourCell(n, highlightColour());
    FocusedCell = cell;
}

void TDeskDlg1::UpdateTitle() {
    Panel3->setText(fromCp1252(page.title(cb4week->isChecked(), appState().settings.ShowWeekends, systemDateNames())));
}

void TDeskDlg1::FillCells() {
    CalDb& store = appState().store;
    for (int i = 1; i <= kPageCells; ++i) {
        loaded_[static_cast<size_t>(i)] = false;
        m[static_cast<size_t>(i)]->clear();
    }
    // A cell whose day could not be read stays empty and locked: saving it would delete the day.
    struct Lock {
        TDeskDlg1* page;
        ~Lock() {
            for (int i = 1; i <= kPageCells; ++i)
                page->m[static_cast<size_t>(i)]->setReadOnly(!page->loaded_[static_cast<size_t>(i)]);
        }
    } lock{this};
    for (int i = 1; i <= kPageCells; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (!page.cellUsable(i)) continue;
        if (const auto text = store.readDay(page.CellDates[k])) m[k]->setStoredText(*text);
        loaded_[k] = true;
    }
}

void TDeskDlg1::SaveCells() {
    CalDb& store = appState().store;
    for (int i = 1; i <= kPageCells; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (loaded_[k]) store.writeDay(page.CellDates[k], m[k]->storedText());
    }
}

void TDeskDlg1::Navigate(StepDirection direction, StepSize size) {
    BusyScope busy;
    ++actions_;
    bool moved = true;
    const bool ok = guarded(this, [&] {
        SaveCells();
        moved = page.Navigate(direction, size);
        if (!moved) return;
        AssignCellDates();
        UpdateTitle();
        FillCells();
    });
    if (!ok) {
        // Show what the store holds for the days the page now stands on.
        AssignCellDates();
        UpdateTitle();
        swallowed([&] { FillCells(); });
        suppressActivation_ = true;
    } else if (!moved) {
        uiSeams().beep();
    }
    --actions_;
}

// ---------------------------------------------------------------------------------------------------------
// Opening, activation and closing

bool TDeskDlg1::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && isVisible() && !closing_) {
        // The first activation of a showing finds the page built by the showing itself.
        const bool rebuild = activatedSinceShow_ || !builtSinceShow_;
        activatedSinceShow_ = true;
        if (rebuild) {
            QTimer::singleShot(0, this, [this] {
                if (isVisible() && !closing_) FormActivate();
            });
        }
    }
    return QDialog::event(e);
}

void TDeskDlg1::showEvent(QShowEvent* e) {
    const QRect screen = uiSeams().screenGeometry();
    move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2);
    QDialog::showEvent(e);
    builtSinceShow_ = false;
    activatedSinceShow_ = false;
    // Built when shown, whether or not the window system ever activates the window.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !closing_ && !builtSinceShow_) FormActivate();
    });
}

void TDeskDlg1::FormActivate() {
    if (actions_ > 0 || building_) return;
    if (suppressActivation_) {
        // The activation that follows our own error message: rebuilding would only repeat it.
        suppressActivation_ = false;
        return;
    }
    building_ = true;
    builtSinceShow_ = true;
    Busy = true;
    if (!hintShown_) {
        HintRouter::instance().pushDisplay(this, [this](const QString& hint) { HintPanel->setText(" " + hint); });
        hintShown_ = true;
    }
    const bool ok = guarded(this, [this] {
        // A rebuild may put other days into the cells: what was typed is kept first.
        SaveCells();
        setWeekendsShown(appState().settings.ShowWeekends);
        LayOutPage();
        ApplyCalendarLook();
        page.open(appState().settings.ShowWeekends);
        AssignCellDates();
        FocusSelectedDay();
        UpdateTitle();
        FillCells();
    });
    if (!ok) suppressActivation_ = true;
    Busy = false;
    building_ = false;
}

void TDeskDlg1::keyPressEvent(QKeyEvent* e) {
    // Escape does not close the page; ExitBtn does.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TDeskDlg1::eventFilter(QObject* watched, QEvent* e) {
    // The page keys step the page even while a cell, which would scroll with them, has the focus.
    if (e->type() == QEvent::ShortcutOverride && cellOf(watched) > 0 && isPageKey(static_cast<QKeyEvent*>(e))) {
        e->ignore();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TDeskDlg1::ExitBtnClick() { done(mrOk); }

void TDeskDlg1::reject() { done(mrCancel); }

void TDeskDlg1::done(int result) {
    if (closing_) return;
    closing_ = true;
    FormCloseQuery();
    QDialog::done(result);
    FormClose();
    closing_ = false;
}

void TDeskDlg1::FormCloseQuery() {
    // The page always closes; a store failure here must not keep it open.
    BusyScope busy;
    CalDb& store = appState().store;
    swallowed([&] { SaveCells(); });
    if (FocusedCell) setBackground(b[static_cast<size_t>(focusedCellNumber())], toQColor(wincolor::BtnFace));
    swallowed([&] { store.FlushCurrentCalendar(); });
    swallowed([&] { store.OpenCurrentCalendar(); });
    // Until the next opening the cells stand for nothing in the store.
    loaded_.fill(false);
}

void TDeskDlg1::FormClose() {
    HintRouter::instance().popDisplay(this);
    hintShown_ = false;
    suppressActivation_ = false;
}

// ---------------------------------------------------------------------------------------------------------
// Toggles

void TDeskDlg1::WEndBtnClick() {
    Settings& s = appState().settings;
    s.ShowWeekends = !s.ShowWeekends;
    setWeekendsShown(s.ShowWeekends);
    LayOutPage();
}

void TDeskDlg1::cb4weekClick() {
    LayOutPage();
    UpdateTitle();
}

// ---------------------------------------------------------------------------------------------------------
// Editing

void TDeskDlg1::m1Change(int cell) { m[static_cast<size_t>(cell)]->enforceLimit(); }

void TDeskDlg1::m1Enter(int cell) {
    if (Busy) return;
    FocusedCell = m[static_cast<size_t>(cell)];
    colourCell(cell, highlightColour());
}

void TDeskDlg1::m1Exit(int cell) {
    if (Busy) return;
    colourCell(cell, toQColor(appState().settings.Foreground));
}

void TDeskDlg1::reopenStore() {
    CalDb& store = appState().store;
    store.FlushCurrentCalendar();
    store.OpenCurrentCalendar();
}

void TDeskDlg1::PrintBtnClick() {
    // The landscape printout of the page is not built yet.
}

void TDeskDlg1::showRepeatingEventsPage(double startDate) {
    // The window is made once at start; a page shown on its own (tests) makes it on first use.
    TAnnualDlg* annual = forms().AnnualDlg ? forms().AnnualDlg : new TAnnualDlg(this);
    annual->ShowRepeating(static_cast<int>(startDate));
}

void TDeskDlg1::RepeatBtnClick() {
    ++actions_;
    guarded(this, [this] {
        SaveCells();
        showRepeatingEventsPage(page.CellDates[static_cast<size_t>(focusedCellNumber())]);
        BusyScope busy;
        reopenStore();
        FillCells();
    });
    --actions_;
}

TExplainDlg* TDeskDlg1::explainDlg() {
    if (explainDlg_) return explainDlg_;
    if (forms().ExplainDlg) return forms().ExplainDlg;
    if (!ownExplainDlg_) ownExplainDlg_ = new TExplainDlg(this);
    return ownExplainDlg_;
}

void TDeskDlg1::DelBtnClick() {
    ++actions_;
    guarded(this, [this] {
        SaveCells();
        ReminderEditor* cell = m[static_cast<size_t>(focusedCellNumber())];
        const double start = page.CellDates[static_cast<size_t>(focusedCellNumber())];
        const auto marker = entryMarkerOf(cell->selectedStoredText());
        if (!marker) {
            uiSeams().execModal(explainDlg());
            return;
        }
        if (!askYesNo(this, QStringLiteral("Remove ") + fromCp1252(*marker) + QStringLiteral(" from calendar ?")))
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct RestoreCursor {
            ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
        } restore;
        BusyScope busy;
        reopenStore();
        FillCells();
        removeEntryLines(appState().store, start, *marker);
        reopenStore();
        FillCells();
    });
    --actions_;
}

TEditUserDlg* TDeskDlg1::editUserDlg() const { return editUserDlg_ ? editUserDlg_ : forms().EditUserDlg; }

void TDeskDlg1::ceUserButtonClick() {
    TEditUserDlg* users = editUserDlg();
    if (!users) return;
    ++actions_;
    CalDb& store = appState().store;
    if (guarded(this, [&] {
            SaveCells();
            store.FlushCurrentCalendar();
        })) {
        const int result = uiSeams().execModal(users);
        // Reopened on either answer: a rename of the current calendar has moved its file.
        guarded(this, [&] {
            BusyScope busy;
            store.OpenCurrentCalendar();
            if (result == mrOk) {
                ApplyCalendarLook();
                FocusSelectedDay();
            } else {
                ceUser->setText(fromCp1252(appState().calendars.currentName()));
            }
            FillCells();
        });
    } else {
        BusyScope busy;
        swallowed([&] {
            store.OpenCurrentCalendar();
            FillCells();
        });
    }
    --actions_;
}

}  // namespace orv
