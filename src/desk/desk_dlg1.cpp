#include "desk/desk_dlg1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFontInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "common/app_context.h"
#include "common/contact_addresses.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/painted_glyph.h"
#include "common/print_target.h"
#include "common/printer_seam.h"
#include "common/qt_colours.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/wait_cursor.h"
#include "common/widgets.h"
#include "desk/day_save.h"
#include "desk/entry_removal.h"
#include "desk/reminder_editor.h"
#include "desk/week_printout.h"
#include "program/program.h"

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

// Button glyphs, drawn rather than shipped.
QIcon glyph(int w, int h, const std::function<void(QPainter&)>& draw) { return PaintedGlyph::icon(QSize(w, h), draw); }

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

QToolButton* toolButton(QWidget* parent, const char* name, const QIcon& icon, const QString& hint, QRect geometry) {
    auto* b = named(new QToolButton(parent), name);
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

}  // namespace

// Puts the page into a state for the length of a step and back into the one it was in.
class TDeskDlg1::StateScope {
public:
    StateScope(TDeskDlg1* page, PageState state) : page_(page), was_(page->state_) { page->state_ = state; }
    ~StateScope() { page_->state_ = was_; }
    StateScope(const StateScope&) = delete;
    StateScope& operator=(const StateScope&) = delete;

private:
    TDeskDlg1* page_;
    PageState was_;
};

TDeskDlg1::TDeskDlg1(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      context_(context) {
    setWindowTitle(QStringLiteral("Reminder Calendar"));
    setFixedSize(kPageWidth, kPageHeight);
    setFont(sansSerifFont(11));
    buildTopBar();

    PageUp1_ = named(new QAction(QStringLiteral("PageUp"), this), "PageUp1");
    PageUp1_->setShortcut(QKeySequence(Qt::Key_PageUp));
    connect(PageUp1_, &QAction::triggered, this, [this] { Navigate(StepDirection::Back, StepSize::Week); });
    PageDown1_ = named(new QAction(QStringLiteral("PageDown"), this), "PageDown1");
    PageDown1_->setShortcut(QKeySequence(Qt::Key_PageDown));
    connect(PageDown1_, &QAction::triggered, this, [this] { Navigate(StepDirection::Forward, StepSize::Week); });
    MnthUp1_ = named(new QAction(QStringLiteral("MnthUp"), this), "MnthUp1");
    MnthUp1_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    connect(MnthUp1_, &QAction::triggered, this, [this] { Navigate(StepDirection::Back, StepSize::Month); });
    MnthDn1_ = named(new QAction(QStringLiteral("MnthDn"), this), "MnthDn1");
    MnthDn1_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    connect(MnthDn1_, &QAction::triggered, this, [this] { Navigate(StepDirection::Forward, StepSize::Month); });
    addActions({PageUp1_, PageDown1_, MnthUp1_, MnthDn1_});

    // Typed text reaches the file within moments, not only at a step or the closing: a crash loses little,
    // and other programs see it.
    tSave_ = named(new QTimer(this), "tSave");
    tSave_->setSingleShot(true);
    tSave_->setInterval(kSavePauseMs);
    connect(tSave_, &QTimer::timeout, this, [this] { saveTyping(); });
}

TDeskDlg1::~TDeskDlg1() {
    // The cells outlive this part of the window: their focus changes must no longer reach it.
    for (int i = 1; Panel1_ && i <= kPageCells; ++i) {
        m_[static_cast<size_t>(i)]->disconnect(this);
        m_[static_cast<size_t>(i)]->removeEventFilter(this);
        m_[static_cast<size_t>(i)]->viewport()->removeEventFilter(this);
    }
    context_.hints().popDisplay(this);
}

void TDeskDlg1::buildTopBar() {
    BackPanel_ = named(panel(this, QFrame::Panel, QFrame::Raised), "BackPanel");
    BackPanel_->setGeometry(0, 0, kPageWidth, kBackHeight);

    Panel3_ = named(new QLabel(BackPanel_), "Panel3");
    Panel3_->setGeometry(0, 0, kPageWidth - kBtnPanelWidth, kBackHeight);
    Panel3_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel3_->setIndent(kSpinSize + 20);

    RxSpinButton1_ = named(panel(Panel3_), "RxSpinButton1");
    RxSpinButton1_->setGeometry(9, (kBackHeight - kSpinSize) / 2, kSpinSize, kSpinSize);
    const QString weekHint = QStringLiteral("Forward/backward by one week (PgDn/PgUp).");
    setHint(RxSpinButton1_, weekHint);
    WeekBtnTop_ = named(new QToolButton(RxSpinButton1_), "WeekBtnTop");
    WeekBtnTop_->setArrowType(Qt::UpArrow);
    WeekBtnTop_->setGeometry(0, 0, kSpinSize, kSpinSize / 2);
    WeekBtnTop_->setFocusPolicy(Qt::NoFocus);
    setHint(WeekBtnTop_, weekHint);
    connect(WeekBtnTop_, &QToolButton::clicked, this, [this] { Navigate(StepDirection::Back, StepSize::Week); });
    WeekBtnBottom_ = named(new QToolButton(RxSpinButton1_), "WeekBtnBottom");
    WeekBtnBottom_->setArrowType(Qt::DownArrow);
    WeekBtnBottom_->setGeometry(0, kSpinSize / 2, kSpinSize, kSpinSize / 2);
    WeekBtnBottom_->setFocusPolicy(Qt::NoFocus);
    setHint(WeekBtnBottom_, weekHint);
    connect(WeekBtnBottom_, &QToolButton::clicked, this, [this] { Navigate(StepDirection::Forward, StepSize::Week); });

    BtnPanel_ = named(panel(BackPanel_), "BtnPanel");
    BtnPanel_->setGeometry(kPageWidth - kBtnPanelWidth, 0, kBtnPanelWidth, kBackHeight);

    ceUser_ = named(new QLineEdit(BtnPanel_), "ceUser");
    ceUser_->setGeometry(4, 4, 225, 23);
    ceUser_->setReadOnly(true);
    ceUser_->setFocusPolicy(Qt::NoFocus);
    setHint(ceUser_, QStringLiteral("Current User. To change click the \"User\" button."));
    RxSpeedButton1_ = toolButton(BtnPanel_, "RxSpeedButton1", userGlyph(),
                                 QStringLiteral("User|Add, remove, change or edit User."), QRect(231, 3, 25, 25));
    PrintBtn_ =
        toolButton(BtnPanel_, "PrintBtn", printGlyph(), QStringLiteral("Print calendar."), QRect(262, 3, 25, 25));
    WEndBtn_ =
        toolButton(BtnPanel_, "WEndBtn", weekendGlyph(), QStringLiteral("Hide/show weekends."), QRect(289, 3, 25, 25));
    RepeatBtn_ = toolButton(BtnPanel_, "RepeatBtn", repeatGlyph(), QStringLiteral("Set up a repeating event."),
                            QRect(316, 3, 25, 25));
    DelBtn_ = toolButton(BtnPanel_, "DelBtn", deleteGlyph(), QStringLiteral("Delete a repeating event."),
                         QRect(343, 3, 25, 25));
    ExitBtn_ = toolButton(BtnPanel_, "ExitBtn", exitGlyph(30), QStringLiteral("Close full size calendar."),
                          QRect(378, 5, 38, 40));
    ExitBtn_->setAutoRaise(true);
    connect(RxSpeedButton1_, &QToolButton::clicked, this, [this] { ceUserButtonClick(); });
    connect(PrintBtn_, &QToolButton::clicked, this, [this] { PrintBtnClick(); });
    connect(WEndBtn_, &QToolButton::clicked, this, [this] { WEndBtnClick(); });
    connect(RepeatBtn_, &QToolButton::clicked, this, [this] { RepeatBtnClick(); });
    connect(DelBtn_, &QToolButton::clicked, this, [this] { DelBtnClick(); });
    connect(ExitBtn_, &QToolButton::clicked, this, [this] { ExitBtnClick(); });

    HintPanel_ = named(new QLabel(BtnPanel_), "HintPanel");
    HintPanel_->setGeometry(4, 30, 292, 17);
    HintPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    cb4week_ = named(new QCheckBox(QStringLiteral("4 weeks"), BtnPanel_), "cb4week");
    cb4week_->setGeometry(302, 30, 72, 17);
    cb4week_->setFont(arialFont(11, true));
    setTextColour(cb4week_, QColor(0, 0, 255));
    cb4week_->setChecked(true);
    cb4week_->setFocusPolicy(Qt::NoFocus);
    setHint(cb4week_, QStringLiteral("Shows 4 weeks when checked, 1 week unchecked"));
    connect(cb4week_, &QCheckBox::toggled, this, [this] { cb4weekClick(); });
}

void TDeskDlg1::ensurePageBuilt() {
    // Most of the cost of making this window is its 28 editors, and it is made at every start while few
    // starts open it: the page is built when first shown, printed or acted on instead. Built later or
    // not, it is the same page (the top bar, made first, keeps its place before it in the focus order).
    if (Panel1_) return;
    buildPage();
    focusedCell_ = m_[1];
}

void TDeskDlg1::buildPage() {
    Panel1_ = named(panel(this), "Panel1");
    Panel1_->setGeometry(0, kBackHeight, kPageWidth, kPageHeight - kBackHeight);

    Panel2_ = named(panel(Panel1_), "Panel2");
    Panel2_->setGeometry(kSideMargin, kTopMargin, kRowsWidth, kHeaderHeight);
    const auto headerLabel = [this](const QString& text) {
        auto* l = new QLabel(text, Panel2_);
        l->setFont(arialFont(11, true));
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    for (int c = 1; c <= 5; ++c) {
        dp_[static_cast<size_t>(c)] = headerLabel(QString::fromLatin1(kDayNames[c]));
        dp_[static_cast<size_t>(c)]->setObjectName(QStringLiteral("dp%1").arg(c));
    }
    bp0_ = named(headerLabel(QStringLiteral("Sat/Sun")), "bp0");

    Panel5_ = named(panel(Panel1_), "Panel5");
    Panel12_ = named(panel(Panel1_), "Panel12");
    Panel18_ = named(panel(Panel1_), "Panel18");
    Panel24_ = named(panel(Panel1_), "Panel24");
    for (int r = 0; r < kPageRows; ++r) {
        bp_[static_cast<size_t>(r + 1)] = panel(rowPanel(r));
        bp_[static_cast<size_t>(r + 1)]->setObjectName(QStringLiteral("bp%1").arg(r + 1));
    }

    for (int i = 1; i <= kPageCells; ++i) {
        const size_t k = static_cast<size_t>(i);
        const int row = DeskPage::rowOf(i);
        QWidget* holder =
            DeskPage::isWeekendCell(i) ? static_cast<QWidget*>(bp_[static_cast<size_t>(row + 1)]) : rowPanel(row);
        b_[k] = panel(holder, QFrame::Panel, QFrame::Raised);
        b_[k]->setObjectName(QStringLiteral("b%1").arg(i));
        m_[k] = new ReminderEditor(context_.ui(), b_[k]);
        m_[k]->setObjectName(QStringLiteral("m%1").arg(i));
        m_[k]->setFrameStyle(QFrame::NoFrame);
        m_[k]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_[k]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_[k]->setTabChangesFocus(true);
        m_[k]->setFont(arialPointFont(8));
        m_[k]->installEventFilter(this);
        m_[k]->viewport()->installEventFilter(this);
        connect(m_[k], &ReminderEditor::changed, this, [this, i] { m1Change(i); });
        connect(m_[k], &ReminderEditor::entered, this, [this, i] { m1Enter(i); });
        connect(m_[k], &ReminderEditor::left, this, [this, i](Qt::FocusReason reason) { m1Exit(i, reason); });
        p_[k] = new QLabel(b_[k]);
        p_[k]->setObjectName(QStringLiteral("p%1").arg(i));
        p_[k]->setFont(arialFont(11, true));
        p_[k]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    }
    LayOutPage();
}

QFrame* TDeskDlg1::rowPanel(int row) const {
    switch (row) {
        case 0: return Panel5_;
        case 1: return Panel12_;
        case 2: return Panel18_;
        default: return Panel24_;
    }
}

int TDeskDlg1::cellOf(const QObject* editor) const {
    for (int i = 1; i <= kPageCells; ++i)
        if (m_[static_cast<size_t>(i)] == editor) return i;
    return 0;
}

int TDeskDlg1::focusedCellNumber() const {
    const int n = cellOf(focusedCell_);
    return n > 0 ? n : 1;
}

void TDeskDlg1::setPageColour(WinColor colour) {
    pageColour_ = colour;
    setBackground(BackPanel_, toQColor(colour));
    setBackground(Panel1_, toQColor(colour));
}

void TDeskDlg1::colourCell(int cell, const QColor& colour) {
    // The frame round the editor, with the day number in its corner, is part of the cell.
    m_[static_cast<size_t>(cell)]->setColours(colour, toQColor(context_.program().settings.TextColour));
    setBackground(b_[static_cast<size_t>(cell)], colour);
}

void TDeskDlg1::highlightCell(int cell) {
    if (highlighted_ > 0 && highlighted_ != cell)
        colourCell(highlighted_, toQColor(context_.program().settings.Foreground));
    if (cell > 0) colourCell(cell, highlightColour());
    highlighted_ = cell;
}

QColor TDeskDlg1::highlightColour() const {
    return toQColor(context_.program().settings.Foreground) == QColor(Qt::white) ? kYellow : QColor(Qt::white);
}

// ---------------------------------------------------------------------------------------------------------
// Page operations

void TDeskDlg1::LayOutPage() {
    const bool weekends = context_.program().settings.ShowWeekends;
    const bool fourWeeks = cb4week_->isChecked();
    const int dayWidth = weekends ? kDayWidthWithWeekends : kDayWidthWithoutWeekends;
    const int numberLeft = weekends ? kNumberLeftWithWeekends : kNumberLeftWithoutWeekends;
    const int weekendLeft = 5 * dayWidth;
    const int weekendWidth = kRowsWidth - weekendLeft;
    const int rowsTop = kTopMargin + kHeaderHeight;

    for (int c = 1; c <= 5; ++c)
        dp_[static_cast<size_t>(c)]->setGeometry((c - 1) * dayWidth, 0, dayWidth, kHeaderHeight);
    bp0_->setGeometry(weekendLeft, 0, weekendWidth, kHeaderHeight);

    // Rows 2 to 4 keep their places while one week is shown, and their cells the sizes a printout of all
    // four weeks wraps the text at, whichever way the page was first laid out.
    Panel5_->setGeometry(kSideMargin, rowsTop, kRowsWidth, fourWeeks ? kLastRowHeight : kRowsHeight);
    Panel12_->setGeometry(kSideMargin, rowsTop + kLastRowHeight, kRowsWidth, kRowHeight);
    Panel18_->setGeometry(kSideMargin, rowsTop + kLastRowHeight + kRowHeight, kRowsWidth, kRowHeight);
    Panel24_->setGeometry(kSideMargin, rowsTop + kRowsHeight - kLastRowHeight, kRowsWidth, kLastRowHeight);
    Panel12_->setVisible(fourWeeks);
    Panel18_->setVisible(fourWeeks);
    Panel24_->setVisible(fourWeeks);

    for (int r = 0; r < kPageRows; ++r) {
        const int rowHeight = rowPanel(r)->height();
        QFrame* weekend = bp_[static_cast<size_t>(r + 1)];
        weekend->setGeometry(weekendLeft, 0, weekendWidth, rowHeight);
        const int halfHeight = (weekend->height() - 3) / 2;
        for (int c = 0; c < kCellsPerRow; ++c) {
            const int i = r * kCellsPerRow + c + 1;
            const size_t k = static_cast<size_t>(i);
            int left = numberLeft;
            if (c < 5) {
                b_[k]->setGeometry(c * dayWidth, 0, dayWidth, rowHeight);
            } else {
                // Saturday on top, Sunday below it.
                const int top = c == 5 ? 1 : weekend->height() - 1 - halfHeight;
                b_[k]->setGeometry(0, top, weekendWidth, halfHeight);
                left = weekendWidth - (kDayWidthWithWeekends - kNumberLeftWithWeekends);
            }
            p_[k]->setGeometry(left, 2, kNumberWidth, kNumberHeight);
            m_[k]->setGeometry(2, 2, left - 3, b_[k]->height() - 4);
        }
    }
}

void TDeskDlg1::setWeekendsShown(bool shown) {
    bp0_->setVisible(shown);
    for (int r = 1; r <= kPageRows; ++r) bp_[static_cast<size_t>(r)]->setVisible(shown);
}

void TDeskDlg1::ApplyCalendarLook() {
    const Settings& s = context_.program().settings;
    showCurrentCalendarName();
    Panel3_->setFont(arialPointFont(12, true));
    setTextColour(Panel3_, toQColor(s.TitleColour));
    for (int i = 1; i <= kPageCells; ++i) {
        ReminderEditor* e = m_[static_cast<size_t>(i)];
        e->clear();
        colourCell(i, toQColor(s.Foreground));
        e->setFont(arialPointFont(8));
    }
    highlighted_ = 0;
    setPageColour(s.Background);
}

void TDeskDlg1::AssignCellDates() {
    page_.AssignCellDates();
    const DateNames names = systemDateNames();
    for (int i = 1; i <= kPageCells; ++i) {
        const size_t k = static_cast<size_t>(i);
        m_[k]->clear();
        // A screen reader names each cell by its day, as the number over it shows a sighted reader.
        m_[k]->setAccessibleName(
            fromText(formatDate("dddd d mmmm yyyy", static_cast<int>(page_.CellDates[k]), names)));
        p_[k]->setText(QString::number(page_.dayOfMonth(i)));
        setTextColour(p_[k], page_.inPageMonth(i) ? QColor(Qt::black) : kGreyNumber);
    }
}

void TDeskDlg1::FocusSelectedDay() {
    focusedCell_ = m_[1];
    const int n = page_.focusCell(context_.program().settings.ShowWeekends);
    highlightCell(n);
    if (n == 0) {
        // The page itself keeps the focus, so that the window system's activation does not hand it to a
        // cell nobody sees chosen.
        setFocus(Qt::OtherFocusReason);
        return;
    }
    ReminderEditor* cell = m_[static_cast<size_t>(n)];
    cell->setFocus();
    focusedCell_ = cell;
}

void TDeskDlg1::UpdateTitle() {
    Panel3_->setText(
        fromText(page_.title(cb4week_->isChecked(), context_.program().settings.ShowWeekends, systemDateNames())));
}

void TDeskDlg1::FillCells() {
    CalDb& store = context_.program().store;
    for (int i = 1; i <= kPageCells; ++i) {
        loaded_[static_cast<size_t>(i)] = false;
        m_[static_cast<size_t>(i)]->clear();
    }
    // A cell whose day could not be read stays empty and locked: saving it would delete the day.
    struct Lock {
        TDeskDlg1* dlg;
        ~Lock() {
            for (int i = 1; i <= kPageCells; ++i)
                dlg->m_[static_cast<size_t>(i)]->setReadOnly(!dlg->loaded_[static_cast<size_t>(i)]);
        }
    } lock{this};
    for (int i = 1; i <= kPageCells; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (!page_.cellUsable(i)) continue;
        m_[k]->setStoredText(store.readDay(page_.CellDates[k]).value_or(std::string()));
        loaded_[k] = true;
    }
}

void TDeskDlg1::SaveCells() {
    CalDb& store = context_.program().store;
    tSave_->stop();
    for (int i = 1; i <= kPageCells; ++i) {
        const size_t k = static_cast<size_t>(i);
        // A day nobody changed keeps its bytes.
        if (!loaded_[k] || !m_[k]->isChanged()) continue;
        const QString notice =
            savedDayNotice(page_.CellDates[k], saveEditedDay(store, page_.CellDates[k], *m_[k]), store);
        if (!notice.isEmpty()) context_.ui().information(this, notice);
    }
}

void TDeskDlg1::saveTyping() {
    if (!isVisible() || state_ != PageState::Ready) return;
    // A message about a day another program changed is answered before the page goes on.
    StateScope saving(this, PageState::Asking);
    guarded(context_.ui(), this, [this] { SaveCells(); });
}

void TDeskDlg1::showStoredTexts() {
    if (!isVisible() || state_ != PageState::Ready || !Panel1_) return;
    StateScope refilling(this, PageState::Refilling);
    CalDb& store = context_.program().store;
    guarded(context_.ui(), this, [&] {
        const CalDb::Hold cells = store.holdForReading();
        for (int i = 1; i <= kPageCells; ++i) {
            const size_t k = static_cast<size_t>(i);
            if (!loaded_[k] || m_[k]->isChanged()) continue;
            const std::string text = store.readDay(page_.CellDates[k]).value_or(std::string());
            if (text != m_[k]->shownText()) m_[k]->replaceStoredText(text, ReminderEditor::CaretFrom::Start);
        }
    });
}

void TDeskDlg1::Navigate(StepDirection direction, StepSize size) {
    ensurePageBuilt();
    bool moved = true;
    bool ok = true;
    {
        StateScope moving(this, PageState::Refilling);
        ok = guarded(context_.ui(), this, [&] {
            SaveCells();
            moved = page_.Navigate(direction, size);
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
        }
    }
    if (ok && !moved) context_.ui().beep();
}

// ---------------------------------------------------------------------------------------------------------
// Opening, activation and closing

void TDeskDlg1::setPageDate(int year, int month, int day) {
    page_.PageYear = year;
    page_.PageMonth = month;
    page_.SelectedDay = day;
}

void TDeskDlg1::openOn(int year, int month, int day) {
    ensurePageBuilt();
    setPageDate(year, month, day);
    Settings& settings = context_.program().settings;
    setPageColour(settings.Background);
    showCurrentCalendarName();
    context_.ui().execModal(this);
    settings.Background = pageColour_;
}

void TDeskDlg1::showCurrentCalendarName() { ceUser_->setText(fromText(context_.program().calendars.currentName())); }

void TDeskDlg1::setVisible(bool visible) {
    // Before the showing: widgets added to a shown window would stay hidden.
    if (visible) ensurePageBuilt();
    QDialog::setVisible(visible);
}

void TDeskDlg1::showEvent(QShowEvent* e) {
    const QRect screen = context_.ui().screenGeometry();
    move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2);
    QDialog::showEvent(e);
    // Built once for each showing, whether or not the window system ever activates the window. A window
    // or a message box over the page leaves it as it was: the user goes on where they were.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && state_ != PageState::Closing) FormActivate();
    });
}

void TDeskDlg1::FormActivate() {
    switch (state_) {
        case PageState::NotYetOpened:
        case PageState::Ready: break;
        default: return;  // a step of the page is running
    }
    state_ = PageState::Building;
    if (!hintShown_) {
        context_.hints().pushDisplay(this, [this](const QString& hint) { HintPanel_->setText(" " + hint); });
        hintShown_ = true;
    }
    const Settings& settings = context_.program().settings;
    guarded(context_.ui(), this, [&] {
        setWeekendsShown(settings.ShowWeekends);
        LayOutPage();
        ApplyCalendarLook();
        page_.open(settings.ShowWeekends);
        AssignCellDates();
        FocusSelectedDay();
        UpdateTitle();
        FillCells();
    });
    state_ = PageState::Ready;
}

bool TDeskDlg1::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && state_ == PageState::Ready) emit activated();
        });
    }
    return QDialog::event(e);
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
    // A page that is not the active window (no window manager gives it back after a message box) still
    // gets clicks and, through the window system, keys. Either makes it the active one: the clicked cell
    // gets the caret and the highlight, and a cell typed into while the page was inactive does not keep a
    // caret of its own beside the one the next click makes.
    if (!isActiveWindow() && (e->type() == QEvent::KeyPress || e->type() == QEvent::MouseButtonPress)) {
        for (int i = 1; i <= kPageCells; ++i) {
            const ReminderEditor* cell = m_[static_cast<size_t>(i)];
            if (watched == cell || watched == cell->viewport()) activateWindow();
        }
    }
    // The page keys step the page from every cell, which would scroll its text with them. They are taken
    // here rather than as shortcuts: a page the window system has not made the active window (no window
    // manager, a message box just closed) gets its keys all the same, but no shortcuts.
    const bool key = e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress;
    if (key && cellOf(watched) > 0 && isPageKey(static_cast<QKeyEvent*>(e))) {
        e->accept();
        if (e->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(e);
            const bool back = k->key() == Qt::Key_PageUp;
            QAction* step = k->modifiers().testFlag(Qt::ControlModifier) ? (back ? MnthUp1_ : MnthDn1_)
                                                                         : (back ? PageUp1_ : PageDown1_);
            step->trigger();
        }
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TDeskDlg1::ExitBtnClick() { done(mrOk); }

void TDeskDlg1::reject() { done(mrCancel); }

void TDeskDlg1::done(int result) {
    if (state_ == PageState::Closing) return;
    ensurePageBuilt();
    {
        StateScope closing(this, PageState::Closing);
        FormCloseQuery();
        QDialog::done(result);
        FormClose();
    }
}

void TDeskDlg1::FormCloseQuery() {
    // The page always closes; a store failure here must not keep it open.
    CalDb& store = context_.program().store;
    swallowed([&] { SaveCells(); });
    tSave_->stop();
    if (focusedCell_) setBackground(b_[static_cast<size_t>(focusedCellNumber())], toQColor(wincolor::BtnFace));
    swallowed([&] { store.FlushCurrentCalendar(); });
    swallowed([&] { store.OpenCurrentCalendar(); });
    // Until the next opening the cells stand for nothing in the store.
    loaded_.fill(false);
}

void TDeskDlg1::FormClose() {
    context_.hints().popDisplay(this);
    hintShown_ = false;
}

// ---------------------------------------------------------------------------------------------------------
// Toggles

void TDeskDlg1::WEndBtnClick() {
    ensurePageBuilt();
    Settings& settings = context_.program().settings;
    settings.ShowWeekends = !settings.ShowWeekends;
    setWeekendsShown(settings.ShowWeekends);
    LayOutPage();
}

void TDeskDlg1::cb4weekClick() {
    ensurePageBuilt();
    LayOutPage();
    UpdateTitle();
}

// ---------------------------------------------------------------------------------------------------------
// Editing

bool TDeskDlg1::highlightKeepsStill() const {
    switch (state_) {
        case PageState::Ready:
        case PageState::Asking: return false;
        default: return true;
    }
}

void TDeskDlg1::m1Change(int cell) {
    ReminderEditor* editor = m_[static_cast<size_t>(cell)];
    editor->enforceLimit();
    // Only the user's typing waits to be saved, not a text the page loads.
    if (state_ == PageState::Ready && loaded_[static_cast<size_t>(cell)] && editor->isChanged())
        tSave_->start(kSavePauseMs);
}

void TDeskDlg1::m1Enter(int cell) {
    if (highlightKeepsStill()) return;
    focusedCell_ = m_[static_cast<size_t>(cell)];
    highlightCell(cell);
}

void TDeskDlg1::m1Exit(int cell, Qt::FocusReason reason) {
    // A cell left, for another cell or another program's window, is saved as soon as the focus has moved.
    if (state_ == PageState::Ready && m_[static_cast<size_t>(cell)]->isChanged()) tSave_->start(0);
    // A window over the page (a message box, the Users window) takes the focus only for a while: the
    // cell stays the page's focused one, highlighted, and gets the focus back when that window closes.
    if (highlightKeepsStill() || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    if (highlighted_ == cell) highlightCell(0);
}

void TDeskDlg1::reopenStore() {
    CalDb& store = context_.program().store;
    store.FlushCurrentCalendar();
    store.OpenCurrentCalendar();
}

WeekSheet TDeskDlg1::printSheet() {
    ensurePageBuilt();
    const Program& program = context_.program();
    WeekSheet sheet;
    sheet.withWeekends = program.settings.ShowWeekends;
    sheet.calendarName = fromText(program.calendars.currentName());
    sheet.title = Panel3_->text();
    for (int i = 1; i <= kPageCells; ++i) {
        const size_t k = static_cast<size_t>(i);
        sheet.dayNumbers[k] = p_[k]->text();
        sheet.lines[k] = m_[k]->visualLines();
    }
    sheet.footer1 =
        QStringLiteral("Printed ") + fromText(formatDate("d mmmm yyyy", program.today(), systemDateNames()));
    sheet.footer2 = projectMailAddress().path() + QStringLiteral("    ") + projectWebAddress().host();
    sheet.titlePixels = QFontInfo(Panel3_->font()).pixelSize();
    sheet.numberPixels = QFontInfo(p_[1]->font()).pixelSize();
    sheet.textPixels = QFontInfo(m_[1]->font()).pixelSize();
    sheet.titleColour = toQColor(program.settings.TitleColour);
    sheet.textColour = toQColor(program.settings.TextColour);
    return sheet;
}

void TDeskDlg1::PrintBtnClick() {
    ensurePageBuilt();
    guarded(context_.ui(), this, [this] {
        const auto target =
            context_.printer().askPrinter(this, QPageLayout::Landscape, context_.program().settings.PrintFile);
        if (target) printWeekSheet(*target, printSheet());
    });
}

void TDeskDlg1::printUnshown(PrintTarget& target) {
    ensurePageBuilt();
    StateScope building(this, PageState::Building);
    const Settings& settings = context_.program().settings;
    setWeekendsShown(settings.ShowWeekends);
    LayOutPage();
    ApplyCalendarLook();
    page_.open(settings.ShowWeekends);
    AssignCellDates();
    UpdateTitle();
    FillCells();
    printWeekSheet(target, printSheet());
}

void TDeskDlg1::RepeatBtnClick() {
    ensurePageBuilt();
    StateScope asking(this, PageState::Asking);
    guarded(context_.ui(), this, [this] {
        SaveCells();
        emit repeatRequested(static_cast<int>(page_.CellDates[static_cast<size_t>(focusedCellNumber())]));
        StateScope refilling(this, PageState::Refilling);
        reopenStore();
        FillCells();
    });
}

void TDeskDlg1::DelBtnClick() {
    ensurePageBuilt();
    StateScope asking(this, PageState::Asking);
    UiSeams& ui = context_.ui();
    guarded(ui, this, [&] {
        SaveCells();
        ReminderEditor* cell = m_[static_cast<size_t>(focusedCellNumber())];
        const double start = page_.CellDates[static_cast<size_t>(focusedCellNumber())];
        const auto marker = entryMarkerOf(cell->selectedStoredText());
        if (!marker) {
            if (explainWindow_) ui.execModal(explainWindow_);
            return;
        }
        if (!ui.askYesNo(this, QStringLiteral("Remove ") + fromText(*marker) + QStringLiteral(" from calendar ?")))
            return;
        WaitCursor wait;
        StateScope refilling(this, PageState::Refilling);
        reopenStore();
        FillCells();
        removeEntryLines(context_.program().store, start, *marker);
        reopenStore();
        FillCells();
    });
}

void TDeskDlg1::ceUserButtonClick() {
    if (!usersWindow_) return;
    ensurePageBuilt();
    StateScope asking(this, PageState::Asking);
    UiSeams& ui = context_.ui();
    CalDb& store = context_.program().store;
    if (guarded(ui, this, [&] {
            SaveCells();
            store.FlushCurrentCalendar();
        })) {
        const int result = ui.execModal(usersWindow_);
        // Reopened on either answer: a rename of the current calendar has moved its file.
        guarded(ui, this, [&] {
            StateScope refilling(this, PageState::Refilling);
            store.OpenCurrentCalendar();
            if (result == mrOk) {
                ApplyCalendarLook();
                FocusSelectedDay();
            } else {
                showCurrentCalendarName();
            }
            FillCells();
        });
        // The month grid behind the page shows the new calendar's dots at once, not when the page closes.
        if (result == mrOk) emit calendarSwitched();
    } else {
        StateScope refilling(this, PageState::Refilling);
        swallowed([&] {
            store.OpenCurrentCalendar();
            FillCells();
        });
    }
}

}  // namespace orv
