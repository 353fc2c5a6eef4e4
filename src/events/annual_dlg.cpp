#include "events/annual_dlg.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "common/app_context.h"
#include "common/button_glyphs.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/wait_cursor.h"
#include "common/widgets.h"
#include "events/birthday_grid_delegate.h"
#include "events/birthday_grid_header.h"
#include "events/birthday_table_model.h"
#include "events/check_dlg.h"
#include "events/ds_dlg.h"
#include "events/entry_stamper.h"
#include "program/program.h"

namespace orv {
namespace {

using B = BirthdayList;

// Window and page layout, in pixels.
constexpr int kWidth = 560;
constexpr int kHeight = 452;
constexpr int kRowHeight = 20;  // header and data rows of the grid
constexpr int kButtonTop = 404;
constexpr int kButtonHeight = 32;
// Room in an option's caption for its spin box: "Repeat every" + 21 blanks + the unit.
const QString kRepeatEvery = QStringLiteral("Repeat every") + QString(21, QChar(' '));
const QColor kGrey(128, 128, 128);
const QColor kBlue(0, 0, 255);

const QDate kDayZero(1899, 12, 30);
QDate toQDate(int day) { return kDayZero.addDays(day); }
int fromQDate(const QDate& date) { return static_cast<int>(kDayZero.daysTo(date)); }

// Options, their spin boxes and lists show their state in the text colour.
void setOptionColour(QWidget* w, const QColor& colour) {
    setTextColour(w, colour, {QPalette::WindowText, QPalette::ButtonText, QPalette::Text});
}

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                    const QIcon& glyph) {
    auto* b = named(new QPushButton(glyph, caption, parent), name);
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

bool isCheckColumn(int column) { return column == B::colCard || column == B::colGift; }

}  // namespace

TAnnualDlg::TAnnualDlg(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), eventsFile_(context.program().eventsFile()) {
    setWindowTitle(QStringLiteral("Repeating Events"));
    setFont(sansSerifFont(13));
    setFixedSize(kWidth, kHeight);

    model_ = new BirthdayTableModel(list_, this);
    delegate_ = new BirthdayGridDelegate(this);
    // The list is read now: the ticker and the notice of the day use it from the start. The pages wait
    // for the first showing or question (ensureBuilt): they took a good part of the program's start.
    LoadEventsFile();
}

void TAnnualDlg::setVisible(bool visible) {
    if (visible) ensureBuilt();
    QDialog::setVisible(visible);
}

void TAnnualDlg::ensureBuilt() {
    if (Notebook_) return;
    // The pages are switched by the callers only; there are no tabs. Page 1 is never shown. Each page is
    // built inside the notebook: one filled first and put in afterwards re-resolves every child's font.
    Notebook_ = named(new QStackedWidget(this), "Notebook");
    Notebook_->setGeometry(0, 0, kWidth, kHeight);
    Notebook_->addWidget(buildBirthdaysPage());
    Notebook_->addWidget(new QWidget);
    Notebook_->addWidget(buildRepeatingPage());
    applyWidths();
}

QWidget* TAnnualDlg::buildBirthdaysPage() {
    auto* page = new QWidget(Notebook_);
    lHeading_ =
        named(label(page, QStringLiteral("Adding Birthdays and Anniversaries"), {12, 8, kWidth - 24, 26}), "lHeading");
    lHeading_->setFont(arialFont(18, true));
    lHeading_->setAlignment(Qt::AlignCenter);
    lInstructions_ =
        named(label(page,
                    QStringLiteral("Type the name of the person or the occasion and the event, such as a "
                                   "birthday or a wedding anniversary; tick Card or Gift to remind yourself "
                                   "to send a card or buy a present. Please enter the month and day as "
                                   "numbers. Eg August 14th is entered as 8 then 14."),
                    {12, 38, kWidth - 24, 48}),
              "lInstructions");
    lInstructions_->setWordWrap(true);

    sg1_ = named(new QTableView(page), "sg1");
    sg1_->setHorizontalHeader(new BirthdayGridHeader(sg1_));
    sg1_->setModel(model_);
    // The cursor's moves reach sg1SelectCell before the grid opens its editor: "Birthday" put into an
    // empty Event cell is then in the editor, selected like any other text, and typing replaces it.
    auto* cursor = new QItemSelectionModel(model_, sg1_);
    connect(cursor, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { sg1SelectCell(current); });
    QItemSelectionModel* gridOwn = sg1_->selectionModel();
    sg1_->setSelectionModel(cursor);
    delete gridOwn;
    sg1_->setItemDelegate(delegate_);
    sg1_->setFont(arialFont(BirthdayTableModel::kDataFontPixels));
    sg1_->setSelectionMode(QAbstractItemView::SingleSelection);
    sg1_->setSelectionBehavior(QAbstractItemView::SelectItems);
    // The editor is always shown: it opens as soon as a text cell takes the cursor.
    sg1_->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
                          QAbstractItemView::SelectedClicked | QAbstractItemView::AnyKeyPressed);
    sg1_->setTabKeyNavigation(true);
    sg1_->setWordWrap(false);
    sg1_->setCornerButtonEnabled(false);
    sg1_->verticalHeader()->hide();
    sg1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sg1_->verticalHeader()->setMinimumSectionSize(kRowHeight);
    sg1_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView* header = sg1_->horizontalHeader();
    header->setFixedHeight(kRowHeight);
    header->setMinimumSectionSize(B::kMinWidth);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    header->setFont(arialFont(BirthdayTableModel::kDataFontPixels, true));
    header->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: rgb(192, 220, 192); color: black;"
                       " font-weight: bold; border: 0px; border-right: 1px solid grey;"
                       " border-bottom: 1px solid grey; padding: 0px 2px; }"));
    sg1_->setStyleSheet(QStringLiteral("QTableView { gridline-color: silver; }"));
    sg1_->installEventFilter(this);
    // As wide as the default columns and a vertical scroll bar, in the middle of the page.
    int gridWidth = 2 * sg1_->frameWidth() + sg1_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (const int w : B::kDefaultWidths) gridWidth += w;
    sg1_->setGeometry((kWidth - gridWidth) / 2, 92, gridWidth, 302);

    delegate_->setValidator(
        [this](const QModelIndex& index, const QString& text) { return sg1CellValidate(index, text); });
    connect(delegate_, &BirthdayGridDelegate::enterPressed, this, &TAnnualDlg::sg1MoveRight);
    connect(delegate_, &BirthdayGridDelegate::editRefused, this, [this](const QModelIndex& index) {
        // The cursor goes back to the refused cell once the click that left it is done.
        QTimer::singleShot(0, this, [this, cell = QPersistentModelIndex(index)] {
            if (!cell.isValid()) return;
            setCursorCell(cell.row(), cell.column());
        });
    });
    connect(sg1_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (isCheckColumn(index.column())) model_->toggleCheck(index);
    });
    connect(header, &QHeaderView::sectionClicked, this, &TAnnualDlg::sg1HeaderClick);
    connect(header, &QHeaderView::sectionResized, this,
            [this](int column, int, int size) { list_.setWidth(column, size); });

    pmGrid_ = named(new QMenu(this), "pmGrid");
    miClearChecks_ = named(pmGrid_->addAction(QStringLiteral("Clear All Checkboxes")), "miClearChecks");
    miDeleteRow_ = named(pmGrid_->addAction(QStringLiteral("Delete the selected row")), "miDeleteRow");
    miInsertRow_ =
        named(pmGrid_->addAction(QStringLiteral("Insert a row before the selected position")), "miInsertRow");
    connect(miClearChecks_, &QAction::triggered, this, &TAnnualDlg::ClearChecksClick);
    connect(miDeleteRow_, &QAction::triggered, this, &TAnnualDlg::BitBtn8Click);
    connect(miInsertRow_, &QAction::triggered, this, &TAnnualDlg::InsertRowClick);
    sg1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sg1_, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& pos) { pmGrid_->popup(sg1_->viewport()->mapToGlobal(pos)); });

    BitBtn3_ = button(page, "BitBtn3", QStringLiteral("Add Row"), {22, kButtonTop, 100, kButtonHeight}, addRowGlyph());
    BitBtn8_ =
        button(page, "BitBtn8", QStringLiteral("Delete Row"), {128, kButtonTop, 106, kButtonHeight}, deleteRowGlyph());
    BitBtn9_ = button(page, "BitBtn9", QStringLiteral("Add These Items To Calendar"),
                      {240, kButtonTop, 200, kButtonHeight}, applyGlyph());
    setHint(BitBtn9_, QStringLiteral("Add these items to the currently selected user's calendar"));
    BitBtn2_ = button(page, "BitBtn2", QStringLiteral("Close"), {446, kButtonTop, 92, kButtonHeight}, closeGlyph());
    connect(BitBtn3_, &QPushButton::clicked, this, &TAnnualDlg::BitBtn3Click);
    connect(BitBtn8_, &QPushButton::clicked, this, &TAnnualDlg::BitBtn8Click);
    connect(BitBtn9_, &QPushButton::clicked, this, &TAnnualDlg::BitBtn9Click);
    connect(BitBtn2_, &QPushButton::clicked, this, [this] { done(mrCancel); });
    return page;
}

QWidget* TAnnualDlg::buildRepeatingPage() {
    auto* page = new QWidget(Notebook_);
    label(page, QStringLiteral("1.  Event to be reminded of"), {12, 14, 190, 22}, true);
    eEvent_ = named(new QLineEdit(QStringLiteral("[Event]"), page), "eEvent");
    eEvent_->setGeometry(204, 12, 334, 26);
    // The entry line "<" + text + ">" + CR LF must fit into a day.
    eEvent_->setMaxLength(kMaxDayTextLength - 4);
    setHint(eEvent_, QStringLiteral("Description of event to repeat."));

    QLabel* from = label(page, QStringLiteral("2. Start reminders from "), {12, 50, 200, 22}, true);
    const int fromWidth = QFontMetrics(from->font()).horizontalAdvance(from->text());
    lStartDate_ = named(label(page, QString(), {12 + fromWidth, 50, 300, 22}, true), "lStartDate");
    setOptionColour(lStartDate_, kBlue);
    QLabel* note =
        label(page, QStringLiteral("To change this date, click Cancel and choose the new date in the calendar"),
              {30, 72, 508, 18});
    note->setFont(sansSerifFont(11));

    label(page, QStringLiteral("3.  Select the period to use and how often the reminder should be repeated"),
          {12, 102, 526, 22}, true);

    options_ = new QButtonGroup(this);
    const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                          style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    const QFontMetrics fm(font());
    for (int i = 0; i < 4; ++i) {
        const int top = 130 + 30 * i;
        rb_[i] = new QRadioButton(page);
        rb_[i]->setObjectName(QStringLiteral("rb%1").arg(i + 1));
        rb_[i]->setGeometry(30, top, 300, 24);
        options_->addButton(rb_[i], i + 1);
        s_[i] = new QSpinBox(page);
        s_[i]->setObjectName(QStringLiteral("s%1").arg(i + 1));
        // Over the blanks of the caption, just after "Repeat every ".
        s_[i]->setGeometry(30 + indicator + fm.horizontalAdvance(QStringLiteral("Repeat every ")), top, 64, 24);
        s_[i]->setRange(1, i == 0 ? 365 : 999);
        s_[i]->setValue(1);
    }
    rb_[4] = named(new QRadioButton(QStringLiteral("Repeat on the"), page), "rb5");
    rb_[4]->setGeometry(30, 250, 124, 24);
    options_->addButton(rb_[4], 5);
    rb_[0]->setChecked(true);

    cb1_ = named(new QComboBox(page), "cb1");
    cb1_->setGeometry(156, 250, 64, 24);
    cb1_->addItems({QStringLiteral("1st"), QStringLiteral("2nd"), QStringLiteral("3rd"), QStringLiteral("4th")});
    cb2_ = named(new QComboBox(page), "cb2");
    cb2_->setGeometry(226, 250, 108, 24);
    cb2_->addItems({QStringLiteral("Sunday"), QStringLiteral("Monday"), QStringLiteral("Tuesday"),
                    QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                    QStringLiteral("Saturday")});
    label(page, QStringLiteral("of every"), {342, 250, 60, 24});
    cb3_ = named(new QComboBox(page), "cb3");
    cb3_->setGeometry(404, 250, 112, 24);
    cb3_->addItems({QStringLiteral("month"), QStringLiteral("2nd month"), QStringLiteral("3rd month"),
                    QStringLiteral("4th month"), QStringLiteral("6th month")});

    label(page, QStringLiteral("4.  Repeat for the next"), {12, 296, 162, 24}, true);
    s_[4] = named(new QSpinBox(page), "s5");
    s_[4]->setGeometry(176, 296, 64, 24);
    s_[4]->setRange(1, 999);
    s_[4]->setValue(1);
    lYear_ = named(label(page, QStringLiteral("year,"), {246, 296, 48, 24}), "lYear");
    label(page, QStringLiteral("or until"), {296, 296, 56, 24});
    cDate_ = named(new QDateEdit(page), "cDate");
    cDate_->setGeometry(354, 296, 130, 24);
    cDate_->setCalendarPopup(true);
    cDate_->setDateRange(QDate(kMinYear, 1, 1), QDate(kMaxYear, 12, 31));
    // The system's short date form, always with four-digit years.
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    cDate_->setDisplayFormat(format);

    label(page, QStringLiteral("Click Done to add reminders to the current calendar"), {12, 344, 526, 20})
        ->setFont(sansSerifFont(11));

    bRepDone_ = button(page, "bRepDone", QStringLiteral("Done"), {340, kButtonTop, 96, kButtonHeight}, okGlyph());
    bRepCancel_ =
        button(page, "bRepCancel", QStringLiteral("Cancel"), {442, kButtonTop, 96, kButtonHeight}, cancelGlyph());
    connect(bRepDone_, &QPushButton::clicked, this, &TAnnualDlg::BitBtn6Click);
    connect(bRepCancel_, &QPushButton::clicked, this, [this] { done(mrCancel); });

    for (int i = 0; i < 4; ++i) {
        connect(rb_[i], &QRadioButton::clicked, this, [this, i] { rb1Click(i + 1); });
        connect(s_[i], &QSpinBox::valueChanged, this, [this, i] { rb1Click(i + 1); });
    }
    connect(rb_[4], &QRadioButton::clicked, this, &TAnnualDlg::s5Change);
    connect(s_[4], &QSpinBox::valueChanged, this, &TAnnualDlg::s5Change);
    for (QSpinBox* box : s_) {
        box->installEventFilter(this);
        if (auto* edit = box->findChild<QLineEdit*>()) edit->installEventFilter(this);
    }
    for (QComboBox* list : {cb1_, cb2_, cb3_})
        connect(list, &QComboBox::currentIndexChanged, this, &TAnnualDlg::cb1Change);

    updateCaptions();
    updateHighlight();
    return page;
}

void TAnnualDlg::setStart(int page, int startDate) {
    Page_ = page;
    StartDate_ = startDate;
}

int TAnnualDlg::ShowBirthdays(int startDate) {
    setStart(kPageBirthdays, startDate);
    return context_.ui().execModal(this);
}

int TAnnualDlg::ShowRepeating(int startDate) {
    setStart(kPageRepeating, startDate);
    return context_.ui().execModal(this);
}

void TAnnualDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (Page_ == kPageRepeating) {
        Notebook_->setCurrentIndex(kPageRepeating);
        bRepDone_->setDefault(true);
        updateCaptions();
        {
            const QSignalBlocker b1(cb1_), b2(cb2_), b3(cb3_);
            cb1_->setCurrentIndex(0);
            cb2_->setCurrentIndex(0);
            cb3_->setCurrentIndex(0);
        }
        resetUntilDate();
        lStartDate_->setText(fromText(formatDate("ddd d mmmm yyyy", StartDate_, systemDateNames())));
        eEvent_->setFocus();
        eEvent_->selectAll();
        updateHighlight();
    } else {
        Notebook_->setCurrentIndex(kPageBirthdays);
        bRepDone_->setDefault(false);
        const QModelIndex current = sg1_->currentIndex();
        setCursorCell(current.isValid() ? current.row() : 0, current.isValid() ? current.column() : B::colName);
    }
}

void TAnnualDlg::done(int result) {
    // Whatever closes the window, the list is written.
    delegate_->commitOpenEdit();
    SaveEventsFile();
    QDialog::done(result);
}

void TAnnualDlg::reject() { done(mrCancel); }

bool TAnnualDlg::eventFilter(QObject* object, QEvent* event) {
    if (object == sg1_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            sg1MoveRight();
            return true;
        }
        if (key == Qt::Key_Space && isCheckColumn(sg1_->currentIndex().column())) {
            model_->toggleCheck(sg1_->currentIndex());
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < 5; ++i) {
            if (object != s_[i] && object->parent() != s_[i]) continue;
            if (i < 4) rb1Click(i + 1);
            else s5Change();
            break;
        }
    }
    return QDialog::eventFilter(object, event);
}

// ---------------------------------------------------------------------------------------------------------
// Page 0: the birthday list

void TAnnualDlg::LoadEventsFile() {
    const auto failure = list_.LoadEventsFile(eventsFile_);
    model_->reset();
    if (!failure) return;
    const QString kept = QString::fromStdString(BirthdayList::damagedCopyOf(eventsFile_));
    context_.ui().error(this, QString::fromStdString(*failure) +
                                  QStringLiteral("\rThe file is left as it is. If you change the list, the file is "
                                                 "kept as \"%1\" and the list is saved in its place.")
                                      .arg(kept.mid(kept.lastIndexOf(u'/') + 1)));
}

void TAnnualDlg::SaveEventsFile() {
    model_->purgeIncomplete();
    guarded(context_.ui(), this, [this] { list_.SaveEventsFile(eventsFile_); });
}

void TAnnualDlg::applyWidths() {
    const QSignalBlocker block(sg1_->horizontalHeader());
    for (int c = 0; c < B::kColumnCount; ++c) sg1_->horizontalHeader()->resizeSection(c, list_.width(c));
}

int TAnnualDlg::cursorRow() const {
    const QModelIndex current = sg1_->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void TAnnualDlg::setCursorCell(int row, int column) {
    // The grid takes the focus first: an open editor that loses the focus afterwards would close.
    sg1_->setFocus();
    const QModelIndex index = model_->index(std::clamp(row, 0, list_.rowCount() - 1), column);
    if (sg1_->currentIndex() != index) sg1_->setCurrentIndex(index);
    else if ((model_->flags(index) & Qt::ItemIsEditable) && !delegate_->openEditor()) sg1_->edit(index);
    sg1_->scrollTo(index);
}

void TAnnualDlg::sg1SelectCell(const QModelIndex& index) {
    if (!index.isValid()) return;
    if (index.column() == B::colNo) {
        // The fixed column never holds the cursor.
        QTimer::singleShot(0, this, [this, row = index.row()] { setCursorCell(row, B::colName); });
        return;
    }
    if (index.column() == B::colEvent && list_.cell(B::colEvent, index.row() + 1).empty())
        model_->setData(index, QStringLiteral("Birthday"), Qt::EditRole);
}

bool TAnnualDlg::sg1CellValidate(const QModelIndex& index, const QString& newText) {
    if ((index.column() == B::colMonth || index.column() == B::colDay) && !parseWholeNumber(toText(newText))) {
        context_.ui().warning(this, QStringLiteral("This entry must be a whole number."));
        return false;
    }
    return true;
}

void TAnnualDlg::sg1AutoInsertRow() { model_->appendRow(); }

void TAnnualDlg::sg1MoveRight() {
    const QModelIndex current = sg1_->currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    const int column = current.isValid() ? current.column() : B::colNo;
    if (column < B::colGift) {
        setCursorCell(row, column + 1);
        return;
    }
    if (row == list_.rowCount() - 1) sg1AutoInsertRow();
    setCursorCell(row + 1, B::colName);
}

bool TAnnualDlg::sg1CanSort(int column) const { return list_.canSort(column); }

void TAnnualDlg::sg1HeaderClick(int column) {
    QHeaderView* header = sg1_->horizontalHeader();
    const auto showDirection = [this, header] {
        header->setSortIndicatorShown(list_.sortColumn() >= 0);
        header->setSortIndicator(list_.sortColumn(), list_.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    };
    if (!sg1CanSort(column) || !delegate_->commitOpenEdit()) {
        showDirection();
        return;
    }
    model_->sortBy(column);
    showDirection();
    setCursorCell(0, B::colName);
}

void TAnnualDlg::BitBtn3Click() {
    delegate_->commitOpenEdit();
    model_->appendRow();
    setCursorCell(list_.rowCount() - 1, B::colName);
}

void TAnnualDlg::BitBtn8Click() {
    delegate_->commitOpenEdit();
    const int row = cursorRow();
    if (row == 0 && list_.rowCount() == 1) {
        context_.ui().beep();
        return;
    }
    if (!context_.ui().askYesNo(this, QStringLiteral("Delete selected row ?"))) return;
    model_->removeRowAt(row);
    setCursorCell(std::min(row, list_.rowCount() - 1), B::colName);
}

void TAnnualDlg::InsertRowClick() {
    delegate_->commitOpenEdit();
    const int row = cursorRow();
    model_->insertRowAt(row);
    setCursorCell(row, B::colName);
}

void TAnnualDlg::ClearChecksClick() { model_->clearAllChecks(); }

void TAnnualDlg::BitBtn9Click() {
    delegate_->commitOpenEdit();
    const int year = toYmd(StartDate_).year;
    if (!context_.ui().askYesNo(
            this, QStringLiteral("Add birthdays to calendar for ") + QString::number(year) + QStringLiteral(" ?")))
        return;
    bool close = true;
    guarded(context_.ui(), this, [this, year, &close] {
        const std::vector<StampItem> items = birthdayItems(list_, year);
        StampResult r;
        {
            WaitCursor wait;
            r = stampItems(context_.program().store, items);
        }
        if (r.refused) {
            context_.ui().error(this, QString::fromStdString(capacityMessage(r)));
            close = false;
            return;
        }
        if (!r.tooLong.empty()) {
            std::vector<int> skipped;
            for (const size_t i : r.tooLong) skipped.push_back(items[i].date);
            context_.ui().warning(this, fromText(tooLongMessage(skipped, systemDateNames())));
        }
    });
    if (close) done(mrOk);
}

// ---------------------------------------------------------------------------------------------------------
// Page 2: a repetition

int TAnnualDlg::selectedKind() const {
    for (int i = 0; i < 5; ++i)
        if (rb_[i]->isChecked()) return i + 1;
    return rkDays;
}

void TAnnualDlg::selectOption(int option) {
    if (option >= 1 && option <= 5) rb_[option - 1]->setChecked(true);
}

void TAnnualDlg::updateCaptions() {
    static const char* const kUnits[4][2] = {
        {"days", "day"}, {"weeks", "week"}, {"months", "month"}, {"years", "year"}};
    for (int i = 0; i < 4; ++i)
        rb_[i]->setText(kRepeatEvery + QString::fromLatin1(kUnits[i][s_[i]->value() > 1 ? 0 : 1]));
    lYear_->setText(s_[4]->value() > 1 ? QStringLiteral("years,") : QStringLiteral("year,"));
}

void TAnnualDlg::updateHighlight() {
    const int selected = selectedKind();
    for (int i = 0; i < 5; ++i) {
        const QColor& colour = selected == i + 1 ? kBlue : kGrey;
        setOptionColour(rb_[i], colour);
        if (i < 4) setOptionColour(s_[i], colour);
    }
    for (QComboBox* list : {cb1_, cb2_, cb3_}) setOptionColour(list, selected == rkNthWeekday ? kBlue : kGrey);
}

void TAnnualDlg::resetUntilDate() {
    const QSignalBlocker block(cDate_);
    cDate_->setDate(toQDate(context_.program().today()));
}

void TAnnualDlg::rb1Click(int option) {
    updateCaptions();
    selectOption(option);
    updateHighlight();
}

void TAnnualDlg::s5Change() {
    updateCaptions();
    resetUntilDate();
    updateHighlight();
}

void TAnnualDlg::cb1Change() {
    selectOption(rkNthWeekday);
    updateHighlight();
}

RepeatSettings TAnnualDlg::repeatSettings() const {
    const_cast<TAnnualDlg*>(this)->ensureBuilt();
    static const int kEveryMonths[] = {1, 2, 3, 4, 6};
    RepeatSettings r;
    r.StartDate = StartDate_;
    r.RepeatKind = selectedKind();
    if (r.RepeatKind == rkNthWeekday) {
        r.Interval = kEveryMonths[std::clamp(cb3_->currentIndex(), 0, 4)];
        r.NthOccurrence = std::clamp(cb1_->currentIndex(), 0, 3) + 1;
        r.Weekday = std::clamp(cb2_->currentIndex(), 0, 6) + 1;
    } else {
        r.Interval = s_[r.RepeatKind - 1]->value();
    }
    r.YearsToRepeat = s_[4]->value();
    const QDate until = cDate_->date();
    r.UntilDate = until.isValid() ? effectiveUntilDate(fromQDate(until), context_.program().today()) : 0;
    return r;
}

std::string TAnnualDlg::entryLine() const {
    const_cast<TAnnualDlg*>(this)->ensureBuilt();
    return "<" + toText(eEvent_->text()) + ">\r\n";
}

void TAnnualDlg::BitBtn6Click() {
    const QString text = eEvent_->text();
    if (text.isEmpty() || text.compare(QStringLiteral("[Event]"), Qt::CaseInsensitive) == 0) {
        context_.ui().information(this, QStringLiteral("Please enter some text in the \"Event\" box."));
        eEvent_->setFocus();
        return;
    }
    RepeatSettings settings = repeatSettings();
    if (settings.RepeatKind != rkNthWeekday && settings.Interval == 0) {
        context_.ui().error(this, QStringLiteral("Cannot locate interval"));
        return;
    }
    // A monthly repetition from the 29th to the 31st meets months without that day: ask what to do there.
    const int startDay = toYmd(StartDate_).day;
    if (settings.RepeatKind == rkMonths && startDay > 28) {
        const int answer = dsDlg_ ? dsDlg_->askFor(startDay) : mrCancel;
        if (answer == mrYes) settings.missingDay = MissingDay::Nearest;
        else if (answer == mrNo) settings.missingDay = MissingDay::SkipMonth;
        else return;
    }
    std::vector<int> dates;
    if (!guarded(context_.ui(), this, [&] {
            WaitCursor wait;
            dates = expandRepetition(settings);
        }))
        return;
    if (!checkDlg_) return;
    if (checkDlg_->checkAndStamp(std::move(dates), entryLine()) == mrOk) done(mrOk);
}

}  // namespace orv
